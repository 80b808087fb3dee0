#include "overlay/selection_walk.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MFnComponent.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MItSelectionList.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MString.h>
#include <maya/MTypes.h>
#include <maya/MWeight.h>

#include <cmath>
#include <cstring>

namespace {

bool finitePoint(const MPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(p.w);
}

bool allFinite(const MPointArray& points) {
    const unsigned int count = points.length();
    for (unsigned int i = 0; i < count; ++i) {
        if (!finitePoint(points[i])) {
            return false;
        }
    }
    return true;
}

void appendUnselectedRecords(RecordSink& sink, const MPointArray& cvPositions,
                             const std::vector<char>* isSelected) {
    const unsigned int cvCount = cvPositions.length();
    for (unsigned int i = 0; i < cvCount; ++i) {
        if (isSelected == nullptr || !(*isSelected)[i]) {
            sink.add(i, cvPositions[i], false, 1.0f);
        }
    }
}

// Records of a curve selected through a CV component: the selected CVs in
// component order, then every other CV in ascending index order. Indices
// outside the curve's CV range (a selection that outlived a rebuild of the
// curve) get no record, and a CV named twice gets one, through its first
// mention. `isSelected` is working storage: marks instead of a search of
// the index list keep this linear in the CV count.
void appendComponentRecords(RecordSink& sink, const MPointArray& cvPositions,
                            MFnSingleIndexedComponent& component, std::vector<char>& isSelected) {
    const bool hasWeights = component.hasWeights();
    const unsigned int cvCount = cvPositions.length();
    isSelected.assign(cvCount, 0);
    const int elementCount = component.elementCount();
    for (int k = 0; k < elementCount; ++k) {
        const int element = component.element(k);
        if (element < 0 || static_cast<unsigned int>(element) >= cvCount) {
            continue;
        }
        const auto cvIndex = static_cast<unsigned int>(element);
        if (isSelected[cvIndex]) {
            continue;
        }
        const float weight = hasWeights ? component.weight(k).influence() : 1.0f;
        isSelected[cvIndex] = 1;
        sink.add(cvIndex, cvPositions[cvIndex], true, weight);
    }
    appendUnselectedRecords(sink, cvPositions, &isSelected);
}

}  // namespace

bool SelectionWalk::walk(const MSelectionList& selection, const CurveSampling& sampling, RecordSink& sink) {
    seenCurves_.clear();
    uint32_t curveIndex = 0;
    MDagPath path;
    MObject component;
    for (MItSelectionList item(selection, MFn::kInvalid); !item.isDone(); item.next()) {
        item.getDagPath(path, component);
        path.extendToShape();
        if (path.apiType() != MFn::kNurbsCurve) {
            continue;
        }
        const MString pathName = path.fullPathName();
        const char* pathChars = pathName.asChar();
        if (!seenCurves_.insert(pathChars, std::strlen(pathChars))) {
            continue;
        }
        const uint32_t thisCurve = curveIndex++;

        MFnNurbsCurve curve(path);
        curve.getCVs(curveCvs_, MSpace::kWorld);
        const bool finiteCvs = allFinite(curveCvs_);
        if (sampling.cache != nullptr) {
            const CachedCurve& entry =
                sampling.cache->samplesFor(curve, pathChars, curveCvs_, sampling.divisions, thisCurve);
            if (finiteCvs && entry.finite) {
                sampling.curves->push_back({thisCurve, &entry});
            }
        }
        if (!finiteCvs) {
            continue;
        }

        // A curve selected as an object (active, lead) shows only its curve line.
        const M3dView::DisplayStatus status = M3dView::displayStatus(path);
        if (status != M3dView::kDormant && status != M3dView::kHilite) {
            continue;
        }
        sink.setCurve(thisCurve);
        if (component.isNull()) {
            appendUnselectedRecords(sink, curveCvs_, nullptr);
            continue;
        }
        MFnSingleIndexedComponent cvComponent(component);
        if (cvComponent.componentType() != MFn::kCurveCVComponent) {
            return false;
        }
        appendComponentRecords(sink, curveCvs_, cvComponent, selectedMarks_);
    }
    return true;
}
