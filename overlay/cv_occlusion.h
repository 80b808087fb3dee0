#pragma once
// Hiding the CVs that the user's occluder mesh covers, as seen from the camera.
#include <maya/MPoint.h>

#include "overlay/draw_override.h"
#include "overlay/user_data.h"

// Resolves the node's occluderMeshName to its first match and sets alphaScale
// to 0 on every CV record whose segment from the camera point to the CV
// crosses that mesh (faces behind the CV or behind the camera point do not
// count). A name that matches nothing, or no mesh, hides nothing.
void applyCvOcclusion(const DrawOverride& drawOverride, UserData& data, const MPoint& cameraPoint);
