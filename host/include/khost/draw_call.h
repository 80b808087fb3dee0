#pragma once
// One call a plug-in made on the host's UI draw manager, as the draw manager
// records it. The draw-manager stand-in writes these; the harness hands them
// to tests and tools (khost/harness.h includes this header).
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>

namespace khost {

struct DrawCall {
    enum Kind {
        BeginDrawable,
        EndDrawable,
        BeginDrawInXray,
        EndDrawInXray,
        SetColor,
        SetPointSize,
        SetLineWidth,
        Mesh,
        Circle2d,
    };
    Kind kind = BeginDrawable;
    int selectability = 0;           // BeginDrawable
    unsigned int selectionName = 0;  // BeginDrawable
    MColor color;                    // SetColor
    float value = 0.0f;              // SetPointSize, SetLineWidth
    int primitive = 0;               // Mesh: MUIDrawManager::Primitive
    MPointArray points;              // Mesh
    MColorArray colors;              // Mesh (empty when no colour array was passed)
    bool hasColors = false, hasNormals = false, hasIndices = false, hasTexcoords = false;
    MPoint center;        // Circle2d
    double radius = 0.0;  // Circle2d
    bool filled = false;  // Circle2d
};
const char* toString(DrawCall::Kind kind);

}  // namespace khost
