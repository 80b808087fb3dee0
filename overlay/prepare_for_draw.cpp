// DrawOverride::prepareForDraw: the per-frame road of the overlay. It turns
// the tracked selection and the node's settings into one frame's draw data:
// CV records in depth order, CV points and first-CV markers with their
// colours, and the curve and hull segment lists.
#include <maya/MDagPath.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MString.h>

#include "node/selection_tracker.h"
#include "overlay/colour_rules.h"
#include "overlay/curve_overlay.h"
#include "overlay/cv_occlusion.h"
#include "overlay/cv_points.h"
#include "overlay/draw_override.h"
#include "overlay/hull_lines.h"
#include "overlay/record_sink.h"

namespace {

// The previous frame's record when it is one of ours, else a new one; emptied.
UserData* recordFor(MUserData* oldData) {
    auto* data = dynamic_cast<UserData*>(oldData);
    if (data == nullptr) {
        data = new UserData();
    }
    data->reset();
    return data;
}

// Fetches the selection again, unless lazy and already fetched once.
void refreshSelection(bool lazyUpdate) {
    if (!selectionPrimed || !lazyUpdate) {
        refreshTrackedSelection(nullptr);
        selectionPrimed = true;
    }
}

// The camera's world-space position: the translation of the camera path's
// inclusive matrix, so a camera under a moved group is placed correctly.
MPoint cameraWorldPoint(const MDagPath& cameraPath) {
    const MMatrix matrix = cameraPath.inclusiveMatrix();
    return MPoint(matrix(3, 0), matrix(3, 1), matrix(3, 2), 1.0);
}

}  // namespace

void DrawOverride::snapshotSettings(UserData& data) {
    readDrawSettings(nodeObject, settings_);
    copySnapshot(settings_, data);
}

MUserData* DrawOverride::prepareForDraw(const MDagPath& /*objPath*/, const MDagPath& cameraPath,
                                        const MHWRender::MFrameContext& frameContext, MUserData* oldData) {
    UserData* data = recordFor(oldData);
    refreshSelection(readLazyUpdate(nodeObject));

    // Early ends: nothing tracked (and nothing worth caching), or a node in
    // any state but normal. Each record keeps the state its own frame read.
    if (trackedSelection.isEmpty()) {
        curveCache_.clear();
        return data;
    }
    lastNodeState = readNodeState(nodeObject);
    data->nodeState = lastNodeState;
    if (lastNodeState != 0) {
        return data;
    }

    // The frame's settings; a changed selection invalidates the curve cache.
    snapshotSettings(*data);
    if (settings_.showCurve) {
        curveCache_.checkSelection(trackedSelection, lastSelectionKey);
    }

    // The walk: curve samples, and CV records with their distances from the
    // camera point. Another component type abandons the frame.
    const MPoint cameraPoint = cameraWorldPoint(cameraPath);
    depthSort_.keys.clear();
    RecordSink sink(data->cvRecords, depthSort_.keys, cameraPoint);
    sampledCurves_.clear();
    CurveSampling sampling;
    if (settings_.showCurve) {
        sampling = {&curveCache_, samplingDivisions(settings_.curveDivisions), &sampledCurves_};
    }
    if (!selectionWalk_.walk(trackedSelection, sampling, sink)) {
        data->reset();
        return data;
    }

    // Depth order; occlusion is a property of each record alone, so it is
    // tested before the records move into that order.
    depthOrder(depthSort_.keys, depthSort_);
    MString occluderName;
    if (readOccluder(nodeObject, occluderName)) {
        applyCvOcclusion(occluderName, data->cvRecords, cameraPoint);
    }
    readDistanceColors(nodeObject, settings_);
    const bool rampByRank = rampPositionsByRank(softSelectionActive, settings_);

    // The segment lists and points; the records take their ramp positions as they move into depth order.
    if (settings_.showCurve) {
        buildCurveOverlay(sampledCurves_, cameraPoint, settings_, *data);
    }
    emitDepthOrderedCvs(*data, depthSort_.order, depthSort_.records, rampByRank, settings_, frameContext);
    if (settings_.showHull) {
        buildHullLines(data->cvRecords, settings_, data->hullLinePoints, data->hullLineColors, &hullScratch_,
                       &data->spareHullPoints, &data->spareHullColors);
    } else {
        data->hullLinePoints.clear();
        data->hullLineColors.clear();
    }
    return data;
}
