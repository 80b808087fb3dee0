#pragma once
// The frame context the host hands to draw overrides: the matrices and
// viewport of one view, fixed when the frame starts. The frame driver makes
// one per view and frame.
#include <maya/MDagPath.h>
#include <maya/MFrameContext.h>
#include <maya/MMatrix.h>

#include "model.h"
#include "views.h"

namespace khost {
namespace detail {

struct FrameContextImpl : MHWRender::MFrameContext {
    FrameContextImpl(const View& view, int viewIndex)
        : index(viewIndex), width(view.width), height(view.height) {
        Access::node(camera) = view.cameraShape;
        viewMtx = toMMatrix(viewMatrix(view));
        projMtx = toMMatrix(projectionMatrix(view));
        viewProjMtx = toMMatrix(viewProjection(view));
    }
    ~FrameContextImpl() override = default;

    // World matrices are those of an object at the world origin: there is
    // no current object at the frame level.
    MMatrix getMatrix(MatrixType mtype, MStatus* ReturnStatus = nullptr) const override {
        if (ReturnStatus != nullptr) {
            *ReturnStatus = MStatus::kSuccess;
        }
        switch (mtype) {
            case kWorldMtx:
            case kWorldTransposeMtx:
            case kWorldInverseMtx:
            case kWorldTranspInverseMtx:
                return MMatrix();
            case kViewMtx:
            case kWorldViewMtx:
                return viewMtx;
            case kViewTransposeMtx:
            case kWorldViewTransposeMtx:
                return viewMtx.transpose();
            case kViewInverseMtx:
            case kWorldViewInverseMtx:
                return viewMtx.inverse();
            case kViewTranspInverseMtx:
            case kWorldViewTranspInverseMtx:
                return viewMtx.inverse().transpose();
            case kProjectionMtx:
                return projMtx;
            case kProjectionTranposeMtx:
                return projMtx.transpose();
            case kProjectionInverseMtx:
                return projMtx.inverse();
            case kProjectionTranspInverseMtx:
                return projMtx.inverse().transpose();
            case kViewProjMtx:
            case kWorldViewProjMtx:
                return viewProjMtx;
            case kViewProjTranposeMtx:
            case kWorldViewProjTransposeMtx:
                return viewProjMtx.transpose();
            case kViewProjInverseMtx:
            case kWorldViewProjInverseMtx:
                return viewProjMtx.inverse();
            case kViewProjTranspInverseMtx:
            case kWorldViewProjTranspInverseMtx:
                return viewProjMtx.inverse().transpose();
        }
        if (ReturnStatus != nullptr) {
            *ReturnStatus = MStatus::kInvalidParameter;
        }
        return MMatrix();
    }

    MStatus getViewportDimensions(int& originX, int& originY, int& w, int& h) const override {
        originX = 0;
        originY = 0;
        w = width;
        h = height;
        return MStatus::kSuccess;
    }

    int index;
    int width;
    int height;
    MDagPath camera;
    MMatrix viewMtx, projMtx, viewProjMtx;
};

}  // namespace detail
}  // namespace khost
