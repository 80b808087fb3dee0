#pragma once
// Hiding the CVs that the user's occluder mesh covers, as seen from the camera.
#include <maya/MPoint.h>
#include <maya/MString.h>

#include <vector>

#include "overlay/cv_record.h"

// Resolves `occluderName` to its first match and sets alphaScale to 0 on
// every CV record whose segment from the camera point to the CV crosses
// that mesh (faces behind the CV or behind the camera point do not count).
// A name that matches nothing, or no mesh, hides nothing.
void applyCvOcclusion(const MString& occluderName, std::vector<CvRecord>& records, const MPoint& cameraPoint);
