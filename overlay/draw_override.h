#pragma once
// The Viewport 2.0 draw override of the draw manager node. The host makes one
// per node and calls prepareForDraw on every refresh (the override is always
// dirty), then addUIDrawables with the record that preparation returned.
//
// The per-frame algorithms are free functions in their own files
// (curve_sampling, curve_lines, hull_lines, depth_order, cv_occlusion,
// point_colors); the members they need are public.
#include <maya/MDagPath.h>
#include <maya/MFrameContext.h>
#include <maya/MObject.h>
#include <maya/MPointArray.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MUIDrawManager.h>
#include <maya/MUserData.h>
#include <maya/MViewport2Renderer.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "overlay/curve_name_set.h"
#include "overlay/curve_sample.h"
#include "overlay/depth_order.h"
#include "overlay/user_data.h"

class DrawOverride : public MHWRender::MPxDrawOverride {
public:
    // Creator registered with the draw registry; the host owns the result.
    static MHWRender::MPxDrawOverride* creator(const MObject& obj);

    ~DrawOverride() override;

    DrawOverride(const DrawOverride&) = delete;
    DrawOverride& operator=(const DrawOverride&) = delete;

    MHWRender::DrawAPI supportedDrawAPIs() const override;
    bool hasUIDrawables() const override;
    // The overlay draws wherever the tracked curves are, not around the
    // node, so the host must never frustum-cull it, and there is no box of
    // its own to draw in bounding-box display mode.
    bool isBounded(const MDagPath& objPath, const MDagPath& cameraPath) const override;
    bool disableInternalBoundingBoxDraw() const override;

    // The per-frame driver (overlay/prepare_for_draw.cpp).
    MUserData* prepareForDraw(const MDagPath& objPath, const MDagPath& cameraPath,
                              const MHWRender::MFrameContext& frameContext, MUserData* oldData) override;
    // Draws one frame's record (overlay/draw_ui.cpp).
    void addUIDrawables(const MDagPath& objPath, MHWRender::MUIDrawManager& drawManager,
                        const MHWRender::MFrameContext& frameContext, const MUserData* data) override;

    // Copies the node's drawing settings into the record
    // (overlay/settings_snapshot.cpp).
    void snapshotSettings(UserData& data) const;

    // Per curve (key: full DAG path name of the shape): the world-space CVs
    // the cached samples were made from, and those samples. An entry exists
    // in both maps or in neither. Hashed: nothing depends on their order,
    // and a frame looks up every drawn curve.
    std::unordered_map<std::string, MPointArray> cvPositionCache;
    std::unordered_map<std::string, std::vector<CurveSample>> curveSampleCache;
    // Working storage for the cache key of the curve being sampled.
    std::string cacheKey;
    // Divisions per span the cached samples were made with.
    int32_t cachedCurveDivisions = 0;
    // The draw manager node this override draws; every plug is read on it.
    MObject nodeObject;
    // The selection key this override last compared against, so that it
    // notices every selection change although the process-wide key is shared
    // with other draw manager nodes.
    std::string lastSeenSelectionKey;

    // Working storage of prepareForDraw, kept between frames so that a
    // steady frame does not allocate: the curves already walked, one curve's
    // CVs, the selected marks of one curve's CVs, and the depth sort's buffers.
    CurveNameSet walkedCurves;
    MPointArray curveCvs;
    std::vector<char> selectedMarks;
    DepthSortScratch depthSortScratch;

private:
    explicit DrawOverride(const MObject& obj);
};
