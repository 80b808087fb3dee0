#include "overlay/cv_occlusion.h"

#include <maya/MDagPath.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFnMesh.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MTypes.h>

void applyCvOcclusion(const MString& occluderName, std::vector<CvRecord>& records,
                      const MPoint& cameraPoint) {
    MSelectionList matches;
    matches.add(occluderName, false);
    MDagPath occluderPath;
    matches.getDagPath(0, occluderPath, MObject::kNullObj);
    MFnMesh occluder(occluderPath);
    // One acceleration structure request per frame, shared by every ray.
    MMeshIsectAccelParams accelParams = occluder.autoUniformGridParams();

    for (CvRecord& record : records) {
        const MFloatPoint raySource(static_cast<float>(cameraPoint.x), static_cast<float>(cameraPoint.y),
                                    static_cast<float>(cameraPoint.z), static_cast<float>(cameraPoint.w));
        // Not normalised: with maxParam 1 only faces between the camera point
        // and the CV count.
        const MFloatVector rayDirection = MFloatVector(record.position) - MFloatVector(cameraPoint);
        MFloatPoint hitPoint(0.0f, 0.0f, 0.0f, 1.0f);
        const bool hit = occluder.anyIntersection(
            raySource, rayDirection, nullptr, nullptr, false, MSpace::kWorld, 1.0f, false, &accelParams,
            hitPoint, nullptr, nullptr, nullptr, nullptr, nullptr, 1e-6f, nullptr);
        if (hit) {
            record.alphaScale = 0.0f;
        }
    }
}
