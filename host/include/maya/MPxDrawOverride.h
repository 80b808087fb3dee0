#pragma once
// Embedded host: base class of Viewport 2.0 draw overrides. The host makes
// one override per object whose classification matches, calls
// prepareForDraw on every refresh and addUIDrawables when hasUIDrawables()
// is true, and deletes the override through its virtual destructor.
//
// Culling: a bounded override (isBounded, true by default) whose
// boundingBox, taken to world space through transform, lies wholly outside a
// view's frustum is neither prepared nor drawn in that view. The default box
// is the empty box at the object's origin.
#include <maya/MApiNamespace.h>
#include <maya/MBoundingBox.h>
#include <maya/MDagPath.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MString.h>
#include <maya/MUserData.h>
#include <maya/MViewport2Renderer.h>

namespace MHWRender {

class MDrawContext;

class MPxDrawOverride {
public:
    typedef void (*GeometryDrawOverrideCb)(const MDrawContext& context, const MUserData* data);

    MPxDrawOverride(const MObject& obj, GeometryDrawOverrideCb callback, bool isAlwaysDirty = true);
    virtual ~MPxDrawOverride();

    virtual DrawAPI supportedDrawAPIs() const;
    virtual bool hasUIDrawables() const;
    virtual MMatrix transform(const MDagPath& objPath, const MDagPath& cameraPath) const;
    virtual MBoundingBox boundingBox(const MDagPath& objPath, const MDagPath& cameraPath) const;
    virtual bool isBounded(const MDagPath& objPath, const MDagPath& cameraPath) const;
    virtual bool disableInternalBoundingBoxDraw() const;
    virtual bool excludedFromPostEffects() const;
    virtual bool isTransparent() const;
    virtual bool wantUserSelection() const;
    virtual bool traceCallSequence() const;
    virtual void handleTraceMessage(const MString& message) const;

    virtual MUserData* prepareForDraw(const MDagPath& objPath, const MDagPath& cameraPath,
                                      const MFrameContext& frameContext, MUserData* oldData) = 0;
    virtual void addUIDrawables(const MDagPath& objPath, MUIDrawManager& drawManager,
                                const MFrameContext& frameContext, const MUserData* data);

protected:
    static bool pointSnappingActive();

private:
    friend struct MHostAccess;
    MPxDrawOverride(const MPxDrawOverride&);
    MPxDrawOverride& operator=(const MPxDrawOverride&);
    MObject obj_;
    GeometryDrawOverrideCb callback_ = nullptr;
    bool alwaysDirty_ = true;
};

}  // namespace MHWRender
