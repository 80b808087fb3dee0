#pragma once
// The draw manager node: a locator whose attributes are the overlay's
// settings. It computes and draws nothing itself; its draw override
// (overlay/draw_override.h) does the drawing.
#include <maya/MMessage.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MStatus.h>

class DrawManagerNode : public MPxLocatorNode {
public:
    // Node creator handed to the host: makes a node and installs one
    // "SelectionChanged" callback for it.
    static void* creator();
    // Attribute initialiser handed to the host (node/node_attributes.cpp).
    static MStatus initialize();

    DrawManagerNode() = default;
    // Removes the selection callback this node installed, if it is still
    // installed, and reports the removal on the console.
    ~DrawManagerNode() override;

    DrawManagerNode(const DrawManagerNode&) = delete;
    DrawManagerNode& operator=(const DrawManagerNode&) = delete;

private:
    // The callback installed by creator(). It is still installed exactly
    // while its id is in selectionCallbackIds; unloading the plug-in may
    // remove it before this node is destroyed.
    MCallbackId selectionCallbackId_ = 0;
    bool hasSelectionCallback_ = false;
};
