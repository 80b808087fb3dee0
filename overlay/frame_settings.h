#pragma once
// The node's settings as one frame uses them: each plug read once, at the
// step of the frame that first needs it, and held to what the draw manager
// can take (see frame_settings.cpp). Every per-frame algorithm takes its
// settings from here.
#include <maya/MColor.h>
#include <maya/MObject.h>
#include <maya/MString.h>

#include <cstdint>

#include "overlay/user_data.h"

struct FrameSettings {
    // Drawing settings (readDrawSettings), the ones the record keeps a copy of.
    bool drawOnTop = true;
    float pointSize = 0.0f;
    float lineWidth = 0.0f;
    float hullWidth = 0.0f;
    int32_t curveDivisions = 0;  // as read; sampling holds it to its range
    MColor selectedPointColor;
    MColor deselectedPointColor;
    MColor curveColor;
    MColor hullColor;
    bool showCurve = false;
    bool showHull = false;

    // Depth ramp settings (readDistanceColors).
    bool useCVDistanceColor = false;
    bool useHullDistanceColor = false;
    bool useCurveDistanceColor = false;
    float distanceColorMin = 0.25f;  // within the attribute's range
    float rampTop = 1.0f;            // the larger of distanceColorMin and distanceColorMax
};

// lazyUpdate of the node.
bool readLazyUpdate(const MObject& node);
// The node's built-in state attribute.
int32_t readNodeState(const MObject& node);
// Reads drawOnTop, pointSize, lineWidth, hullWidth, curveDivisions, the four
// colours (each followed by its alpha), showCurve and showHull, in this
// order. A size, width or colour component that is not finite takes the
// attribute's default.
void readDrawSettings(const MObject& node, FrameSettings& settings);
// Reads useCVOcclusion and, when it is on, occluderMeshName into
// `occluderName`; true when occlusion is on.
bool readOccluder(const MObject& node, MString& occluderName);
// Reads the three ramp switches and the two ramp bounds, in this order; a
// bound is held to the attribute's range (its default when not finite).
void readDistanceColors(const MObject& node, FrameSettings& settings);

// The divisions per span used for sampling: `curveDivisions` held to the
// attribute's range, so that no connection can hang the sampling or exhaust
// memory.
int32_t samplingDivisions(int32_t curveDivisions);

// Copies the drawing settings into the record's settings snapshot.
void copySnapshot(const FrameSettings& settings, UserData& data);
