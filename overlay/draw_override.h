#pragma once
// The Viewport 2.0 draw override of the draw manager node. The host makes one
// per node and calls prepareForDraw on every refresh (the override is always
// dirty), then addUIDrawables with the record that preparation returned.
#include <maya/MDagPath.h>
#include <maya/MFrameContext.h>
#include <maya/MObject.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MUIDrawManager.h>
#include <maya/MUserData.h>
#include <maya/MViewport2Renderer.h>

#include <vector>

#include "overlay/curve_cache.h"
#include "overlay/depth_order.h"
#include "overlay/frame_settings.h"
#include "overlay/hull_lines.h"
#include "overlay/selection_walk.h"
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

    // Turns the tracked selection and the node's settings into one frame's
    // record (overlay/prepare_for_draw.cpp).
    MUserData* prepareForDraw(const MDagPath& objPath, const MDagPath& cameraPath,
                              const MHWRender::MFrameContext& frameContext, MUserData* oldData) override;
    // Draws one frame's record (overlay/draw_ui.cpp).
    void addUIDrawables(const MDagPath& objPath, MHWRender::MUIDrawManager& drawManager,
                        const MHWRender::MFrameContext& frameContext, const MUserData* data) override;

    // The curve samples this override keeps between frames.
    const CurveCache& curveCache() const { return curveCache_; }

private:
    explicit DrawOverride(const MObject& obj);

    // Reads the node's drawing settings and copies them into the record.
    void snapshotSettings(UserData& data);

    // The draw manager node this override draws; every plug is read on it.
    MObject nodeObject;
    // The settings of the frame being prepared.
    FrameSettings settings_;
    CurveCache curveCache_;
    // Working storage of prepareForDraw, kept between frames so that a
    // steady frame does not allocate.
    SelectionWalk selectionWalk_;
    std::vector<SampledCurve> sampledCurves_;
    DepthSortScratch depthSort_;
    HullScratch hullScratch_;
};
