#pragma once
// Embedded host: what a draw override may ask about the frame being drawn.
// Made by the host only.
#include <maya/MApiNamespace.h>
#include <maya/MDagPath.h>
#include <maya/MMatrix.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

namespace MHWRender {

class MFrameContext {
public:
    enum MatrixType {
        kWorldMtx = 0,
        kWorldTransposeMtx = 1,
        kWorldInverseMtx = 2,
        kWorldTranspInverseMtx = 3,
        kViewMtx = 4,
        kViewTransposeMtx = 5,
        kViewInverseMtx = 6,
        kViewTranspInverseMtx = 7,
        kProjectionMtx = 8,
        kProjectionTranposeMtx = 9,
        kProjectionInverseMtx = 10,
        kProjectionTranspInverseMtx = 11,
        kViewProjMtx = 12,
        kViewProjTranposeMtx = 13,
        kViewProjInverseMtx = 14,
        kViewProjTranspInverseMtx = 15,
        kWorldViewMtx = 16,
        kWorldViewTransposeMtx = 17,
        kWorldViewInverseMtx = 18,
        kWorldViewTranspInverseMtx = 19,
        kWorldViewProjMtx = 20,
        kWorldViewProjTransposeMtx = 21,
        kWorldViewProjInverseMtx = 22,
        kWorldViewProjTranspInverseMtx = 23
    };

    virtual MMatrix getMatrix(MatrixType mtype, MStatus* ReturnStatus = nullptr) const;
    virtual MStatus getViewportDimensions(int& originX, int& originY, int& width, int& height) const;
    MDagPath getCurrentCameraPath(MStatus* ReturnStatus = nullptr) const;
    static MatrixType semanticToMatrixType(const MString& value, MStatus* ReturnStatus = nullptr);

protected:
    MFrameContext();
    virtual ~MFrameContext();

private:
    MFrameContext(const MFrameContext&);
    MFrameContext& operator=(const MFrameContext&);
};

}  // namespace MHWRender
