// DrawOverride::prepareForDraw: the per-frame driver of the overlay. It turns
// the tracked selection and the node's settings into one frame's draw data:
// CV records in depth order, CV points and first-CV markers with their
// colours, and the curve and hull segment lists.
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MFnComponent.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MItSelectionList.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MPxNode.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MWeight.h>

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "node/node_attributes.h"
#include "node/selection_tracker.h"
#include "overlay/curve_lines.h"
#include "overlay/curve_sampling.h"
#include "overlay/cv_occlusion.h"
#include "overlay/depth_order.h"
#include "overlay/draw_override.h"
#include "overlay/hull_lines.h"
#include "overlay/marker_projection.h"
#include "overlay/point_colors.h"

namespace {

CvRecord makeRecord(uint32_t curveIndex, uint32_t cvIndex, const MPoint& position, bool selected,
                    float weight) {
    CvRecord record;
    record.curveIndex = curveIndex;
    record.cvIndex = cvIndex;
    record.position = position;
    record.selected = selected;
    record.weight = weight;
    return record;
}

void appendUnselectedRecords(std::vector<CvRecord>& records, uint32_t curveIndex,
                             const MPointArray& cvPositions, const std::vector<char>& isSelected) {
    for (unsigned int i = 0; i < cvPositions.length(); ++i) {
        if (isSelected.empty() || !isSelected[i]) {
            records.push_back(makeRecord(curveIndex, i, cvPositions[i], false, 1.0f));
        }
    }
}

// Records of a curve selected through a CV component: the selected CVs in
// component order, then every other CV in ascending index order. Indices
// outside the curve's CV range (a selection that outlived a rebuild of the
// curve) get no record.
void appendComponentRecords(std::vector<CvRecord>& records, uint32_t curveIndex,
                            const MPointArray& cvPositions, MFnSingleIndexedComponent& component) {
    const bool hasWeights = component.hasWeights();
    std::vector<int> indices;
    std::vector<float> weights;
    for (int k = 0; k < component.elementCount(); ++k) {
        weights.push_back(hasWeights ? component.weight(k).influence() : 1.0f);
        indices.push_back(component.element(k));
    }

    const unsigned int cvCount = cvPositions.length();
    // Marks instead of a search of the index list keep this linear in the CV count.
    std::vector<char> isSelected(cvCount, 0);
    for (std::size_t k = 0; k < indices.size(); ++k) {
        if (indices[k] < 0 || static_cast<unsigned int>(indices[k]) >= cvCount) {
            continue;
        }
        const auto cvIndex = static_cast<unsigned int>(indices[k]);
        isSelected[cvIndex] = 1;
        records.push_back(makeRecord(curveIndex, cvIndex, cvPositions[cvIndex], true, weights[k]));
    }
    appendUnselectedRecords(records, curveIndex, cvPositions, isSelected);
}

// The concatenated selection strings of the tracked selection.
std::string selectionKey() {
    MStringArray strings;
    trackedSelection.getSelectionStrings(strings);
    std::string key;
    for (unsigned int i = 0; i < strings.length(); ++i) {
        key += strings[i].asChar();
    }
    return key;
}

void emptyCaches(DrawOverride& drawOverride) {
    drawOverride.cvPositionCache.clear();
    drawOverride.curveSampleCache.clear();
}

// The camera's world-space position: the translation of the camera path's
// inclusive matrix, so a camera under a moved group is placed correctly.
MPoint cameraWorldPoint(const MDagPath& cameraPath) {
    const MMatrix matrix = cameraPath.inclusiveMatrix();
    return MPoint(matrix(3, 0), matrix(3, 1), matrix(3, 2), 1.0);
}

}  // namespace

MUserData* DrawOverride::prepareForDraw(const MDagPath& /*objPath*/, const MDagPath& cameraPath,
                                        const MHWRender::MFrameContext& frameContext, MUserData* oldData) {
    // The previous frame's record, or a new one, emptied.
    auto* data = dynamic_cast<UserData*>(oldData);
    if (data == nullptr) {
        data = new UserData();
    }
    data->reset();

    // Selection refresh, unless lazy and already fetched once.
    const bool lazyUpdate = MPlug(nodeObject, attr::lazyUpdate).asBool();
    if (!selectionPrimed || !lazyUpdate) {
        refreshTrackedSelection(nullptr);
        selectionPrimed = true;
    }

    // Nothing tracked: nothing to draw, and nothing worth caching.
    if (trackedSelection.isEmpty()) {
        emptyCaches(*this);
        return data;
    }

    // A node in any state but normal draws nothing.
    lastNodeState = MPlug(nodeObject, MPxNode::state).asInt();
    data->nodeState = lastNodeState;
    if (lastNodeState != 0) {
        return data;
    }

    // The node's drawing settings, copied once per frame.
    snapshotSettings(*data);

    // A changed selection invalidates the curve caches.
    if (data->showCurve) {
        std::string key = selectionKey();
        if (key != lastSelectionKey) {
            emptyCaches(*this);
            lastSelectionKey = std::move(key);
        }
    }

    // Walk the tracked selection: each curve shape once, through the first
    // item that names it.
    std::set<std::string> seenCurves;
    uint32_t curveCounter = 0;
    for (MItSelectionList item(trackedSelection, MFn::kInvalid); !item.isDone(); item.next()) {
        MDagPath path;
        MObject component;
        item.getDagPath(path, component);
        path.extendToShape();
        if (path.apiType() != MFn::kNurbsCurve) {
            continue;
        }
        std::string pathName = path.fullPathName().asChar();
        if (seenCurves.count(pathName) != 0) {
            continue;
        }

        MFnNurbsCurve curve(path);
        CurveGeometry geometry = sampleCurve(*this, curve, pathName, *data, curveCounter);
        if (data->showCurve) {
            data->curveSamples.insert(data->curveSamples.end(), geometry.samples.begin(),
                                      geometry.samples.end());
        }
        seenCurves.insert(std::move(pathName));

        // Only curves shown dormant or hilited get CV records; a curve
        // selected as an object (active, lead) shows only its curve line.
        const M3dView::DisplayStatus status = M3dView::displayStatus(path);
        if (status == M3dView::kDormant || status == M3dView::kHilite) {
            if (component.isNull()) {
                appendUnselectedRecords(data->cvRecords, curveCounter, geometry.cvPositions, {});
            } else {
                MFnSingleIndexedComponent cvComponent(component);
                if (cvComponent.componentType() != MFn::kCurveCVComponent) {
                    // Edit points, knots and the like: the frame is abandoned.
                    data->reset();
                    return data;
                }
                appendComponentRecords(data->cvRecords, curveCounter, geometry.cvPositions, cvComponent);
            }
        }
        ++curveCounter;
    }

    // Camera point, CV distances from it, and depth order (farthest first).
    const MPoint cameraPoint = cameraWorldPoint(cameraPath);
    for (CvRecord& record : data->cvRecords) {
        record.cameraDistance = record.position.distanceTo(cameraPoint);
    }
    sortByDepth(data->cvRecords);

    // Occlusion, then the distance-colour settings.
    if (MPlug(nodeObject, attr::useCVOcclusion).asBool()) {
        applyCvOcclusion(*this, *data, cameraPoint);
    }
    const bool useCVDistanceColor = MPlug(nodeObject, attr::useCVDistanceColor).asBool();
    const bool useHullDistanceColor = MPlug(nodeObject, attr::useHullDistanceColor).asBool();
    const bool useCurveDistanceColor = MPlug(nodeObject, attr::useCurveDistanceColor).asBool();
    const float distanceColorMin = MPlug(nodeObject, attr::distanceColorMin).asFloat();
    const float distanceColorMax = MPlug(nodeObject, attr::distanceColorMax).asFloat();
    const float top = rampTop(distanceColorMin, distanceColorMax);

    // Ramp positions by depth rank.
    assignRampPositions(data->cvRecords, softSelectionActive,
                        useCVDistanceColor || useHullDistanceColor || useCurveDistanceColor);

    // Curve overlay.
    if (data->showCurve) {
        buildCurveLines(*data, cameraPoint, useCurveDistanceColor, distanceColorMin, top);
    }

    // CV points, and a marker at each curve's first CV, projected into
    // the view being prepared.
    const RampSettings cvRamp{useCVDistanceColor, distanceColorMin, top};
    bool haveView = false;
    ViewProjection view;
    for (const CvRecord& record : data->cvRecords) {
        data->cvPoints.append(record.position);
        if (record.cvIndex == 0) {
            if (!haveView) {
                view = viewProjectionOf(frameContext);
                haveView = true;
            }
            data->markerPoints.append(markerPosition(view, record.position));
            data->markerColors.append(markerColor(record, *data, cvRamp));
        }
        data->cvColors.append(pointColor(record, *data, cvRamp));
    }

    // Hull overlay.
    if (data->showHull) {
        buildHullLines(*data, useHullDistanceColor, distanceColorMin, top);
    } else {
        data->hullLinePoints.clear();
        data->hullLineColors.clear();
    }

    return data;
}
