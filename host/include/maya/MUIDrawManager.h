#pragma once
// Embedded host: the draw manager the host passes to
// MPxDrawOverride::addUIDrawables. Only the host constructs and destroys it.
// The embedded host records the calls of each frame so that tests can
// inspect them.
#include <maya/MApiNamespace.h>
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVectorArray.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MStatus.h>
#include <maya/MUintArray.h>
#include <maya/MVector.h>
#include <maya/MVectorArray.h>

namespace MHWRender {

class MUIDrawManager {
public:
    enum Primitive {
        kPoints = 0,
        kLines = 1,
        kLineStrip = 2,
        kClosedLine = 3,
        kTriangles = 4,
        kTriStrip = 5
    };
    enum Selectability { kNonSelectable = 0, kSelectable = 1, kAutomatic = 2 };
    enum LineStyle { kSolid = 0, kShortDotted = 1, kShortDashed = 2, kDashed = 3, kDotted = 4 };
    enum PaintStyle { kFlat = 0, kStippled = 1, kShaded = 2 };
    enum TextAlignment { kLeft = 0, kCenter = 1, kRight = 2 };
    enum FontSize { kDefaultFontSize = 12, kSmallFontSize = 9 };

    void beginDrawable(Selectability selectability = kAutomatic, unsigned int selectionName = 0);
    [[deprecated("Use beginDrawable(Selectability, unsigned int)")]] void beginDrawable(unsigned int name,
                                                                                        bool nameIsPickable);
    void endDrawable();
    void beginDrawInXray();
    void endDrawInXray();

    void setColor(const MColor& color);
    void setColorIndex(const short index);
    void setPointSize(float value);
    void setLineWidth(float value);
    void setLineStyle(LineStyle style);
    void setLineStyle(unsigned int factor, unsigned short pattern);
    void setPaintStyle(PaintStyle style);
    void setDepthPriority(unsigned int priority);
    unsigned int depthPriority() const;

    void mesh(Primitive mode, const MPointArray& position, const MVectorArray* normal = nullptr,
              const MColorArray* color = nullptr, const MUintArray* index = nullptr,
              const MPointArray* texcoord = nullptr);
    void mesh(Primitive mode, const MFloatPointArray& position, const MFloatVectorArray* normal = nullptr,
              const MColorArray* color = nullptr, const MUintArray* index = nullptr,
              const MFloatPointArray* texcoord = nullptr);
    void mesh2d(Primitive mode, const MPointArray& position, const MColorArray* color = nullptr,
                const MUintArray* index = nullptr, const MPointArray* texcoord = nullptr);

    void circle(const MPoint& center, const MVector& normal, double radius, bool filled = false);
    void circle(const MPoint& center, const MVector& normal, double radius, int numSubdivision, bool filled);
    void circle2d(const MPoint& center, double radius, bool filled = false);
    void circle2d(const MPoint& center, double radius, int numSubdivision, bool filled);

    void point(const MPoint& point);
    void point2d(const MPoint& point);
    MStatus points(const MPointArray& points, bool draw2D);
    void line(const MPoint& startPoint, const MPoint& endPoint);
    void line2d(const MPoint& startPoint, const MPoint& endPoint);
    MStatus lineList(const MPointArray& points, bool draw2D);
    MStatus lineStrip(const MPointArray& points, bool draw2D);

private:
    friend struct MHostAccess;
    // The host passes the list that receives this object's calls.
    MUIDrawManager(void* recorder);
    ~MUIDrawManager();
    MUIDrawManager(const MUIDrawManager&);
    MUIDrawManager& operator=(const MUIDrawManager&);

    void* impl_;
    unsigned int depthPriority_ = 0;
};

}  // namespace MHWRender
