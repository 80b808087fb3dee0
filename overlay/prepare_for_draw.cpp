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
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "node/node_attributes.h"
#include "node/selection_tracker.h"
#include "overlay/curve_lines.h"
#include "overlay/curve_sampling.h"
#include "overlay/cv_occlusion.h"
#include "overlay/cv_points.h"
#include "overlay/depth_order.h"
#include "overlay/draw_override.h"
#include "overlay/hull_lines.h"
#include "overlay/marker_projection.h"
#include "overlay/point_colors.h"
#include "overlay/setting_guards.h"

namespace {

// Where the walk writes one curve's CV records: the records, and in
// parallel the depth key of each (computed while the record is being written
// anyway, so the depth order needs no further pass over the records).
struct RecordSink {
    std::vector<CvRecord>& records;
    std::vector<uint64_t>& depthKeys;
    const MPoint& cameraPoint;
    uint32_t curveIndex;

    void add(uint32_t cvIndex, const MPoint& position, bool selected, float weight) {
        // Written in place: a record assembled field by field elsewhere and
        // then copied would be read back in wider pieces than it was
        // written in, which stalls the copy on every record.
        CvRecord& record = records.emplace_back();
        record.curveIndex = curveIndex;
        record.cvIndex = cvIndex;
        record.position = position;
        record.selected = selected;
        record.weight = weight;
        record.cameraDistance = position.distanceTo(cameraPoint);
        depthKeys.push_back(depthKey(record.cameraDistance));
    }
};

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
// curve) get no record, and a CV named twice gets one. `isSelected` is
// working storage.
void appendComponentRecords(RecordSink& sink, const MPointArray& cvPositions,
                            MFnSingleIndexedComponent& component, std::vector<char>& isSelected) {
    const bool hasWeights = component.hasWeights();
    const unsigned int cvCount = cvPositions.length();
    // Marks instead of a search of the index list keep this linear in the CV count.
    isSelected.assign(cvCount, 0);
    const int elementCount = component.elementCount();
    for (int k = 0; k < elementCount; ++k) {
        const int element = component.element(k);
        if (element < 0 || static_cast<unsigned int>(element) >= cvCount) {
            continue;
        }
        const auto cvIndex = static_cast<unsigned int>(element);
        if (isSelected[cvIndex]) {
            // A CV named again in the same component: one record, through
            // its first mention.
            continue;
        }
        const float weight = hasWeights ? component.weight(k).influence() : 1.0f;
        isSelected[cvIndex] = 1;
        sink.add(cvIndex, cvPositions[cvIndex], true, weight);
    }
    appendUnselectedRecords(sink, cvPositions, &isSelected);
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
        // Compared with the key this override saw last: the process-wide
        // key is shared by every draw manager node, and the first one
        // prepared after a change would otherwise keep the others from
        // ever seeing it, so their caches would grow without bound.
        if (key != lastSeenSelectionKey) {
            emptyCaches(*this);
            lastSeenSelectionKey = key;
        }
        if (key != lastSelectionKey) {
            lastSelectionKey = std::move(key);
        }
    }

    // The camera point, which every record's distance is measured from.
    const MPoint cameraPoint = cameraWorldPoint(cameraPath);

    // Walk the tracked selection: each curve shape once, through the first
    // item that names it.
    walkedCurves.clear();
    std::vector<uint64_t>& depthKeys = depthSortScratch.keys;
    depthKeys.clear();
    uint32_t curveCounter = 0;
    MDagPath path;
    MObject component;
    for (MItSelectionList item(trackedSelection, MFn::kInvalid); !item.isDone(); item.next()) {
        item.getDagPath(path, component);
        path.extendToShape();
        if (path.apiType() != MFn::kNurbsCurve) {
            continue;
        }
        const MString pathName = path.fullPathName();
        const char* pathChars = pathName.asChar();
        if (!walkedCurves.insert(pathChars, std::strlen(pathChars))) {
            continue;
        }

        MFnNurbsCurve curve(path);
        const std::size_t samplesBefore = data->curveSamples.size();
        sampleCurveInto(*this, curve, pathChars, *data, curveCounter, curveCvs, data->curveSamples);

        // A curve deformed to non-finite positions (or overflowing in world
        // space) cannot be drawn: it keeps its place in the curve count but
        // gives no samples and no CV records.
        const bool finiteCvs = allFinite(curveCvs);
        if (!finiteCvs || !allFinite(data->curveSamples, samplesBefore)) {
            data->curveSamples.resize(samplesBefore);
        }
        if (!finiteCvs) {
            ++curveCounter;
            continue;
        }

        // Only curves shown dormant or hilited get CV records; a curve
        // selected as an object (active, lead) shows only its curve line.
        const M3dView::DisplayStatus status = M3dView::displayStatus(path);
        if (status == M3dView::kDormant || status == M3dView::kHilite) {
            RecordSink sink{data->cvRecords, depthKeys, cameraPoint, curveCounter};
            if (component.isNull()) {
                appendUnselectedRecords(sink, curveCvs, nullptr);
            } else {
                MFnSingleIndexedComponent cvComponent(component);
                if (cvComponent.componentType() != MFn::kCurveCVComponent) {
                    // Edit points, knots and the like: the frame is abandoned.
                    data->reset();
                    return data;
                }
                appendComponentRecords(sink, curveCvs, cvComponent, selectedMarks);
            }
        }
        ++curveCounter;
    }

    // Depth order (farthest first), as record indices.
    depthOrder(depthKeys, depthSortScratch);

    // Occlusion (a property of each record alone, so it is tested before the
    // records move into depth order), then the distance-colour settings.
    if (MPlug(nodeObject, attr::useCVOcclusion).asBool()) {
        applyCvOcclusion(*this, *data, cameraPoint);
    }
    const bool useCVDistanceColor = MPlug(nodeObject, attr::useCVDistanceColor).asBool();
    const bool useHullDistanceColor = MPlug(nodeObject, attr::useHullDistanceColor).asBool();
    const bool useCurveDistanceColor = MPlug(nodeObject, attr::useCurveDistanceColor).asBool();
    // Bounds beyond 0.01..1 (only a connection can deliver them) would let
    // colours overflow; they are held to the attributes' range.
    const float distanceColorMin = rampBound(MPlug(nodeObject, attr::distanceColorMin).asFloat(), 0.25f);
    const float distanceColorMax = rampBound(MPlug(nodeObject, attr::distanceColorMax).asFloat(), 1.0f);
    const float top = rampTop(distanceColorMin, distanceColorMax);

    // The records in depth order with their ramp positions by depth rank,
    // the CV points, and a marker at each curve's first CV, projected into
    // the view being prepared.
    const bool rampByRank = rampPositionsByRank(
        softSelectionActive, useCVDistanceColor || useHullDistanceColor || useCurveDistanceColor);
    const RampSettings cvRamp{useCVDistanceColor, distanceColorMin, top};
    emitDepthOrderedCvs(*data, depthSortScratch.order, depthSortScratch.records, rampByRank, cvRamp,
                        frameContext);

    // Curve overlay.
    if (data->showCurve) {
        buildCurveLines(*data, cameraPoint, useCurveDistanceColor, distanceColorMin, top);
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
