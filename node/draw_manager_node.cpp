#include "node/draw_manager_node.h"

#include <maya/MEventMessage.h>
#include <maya/MMessage.h>

#include <iostream>

#include "node/selection_tracker.h"

namespace {

constexpr const char* kCallbacksAddedLine = "QV_Tessark >> Draw Manager Node >> Callbacks Added";
constexpr const char* kCallbacksRemovedLine = "QV_Tessark >> Draw Manager Node >> Callbacks Removed";

// Index of `id` in selectionCallbackIds, or its length when absent.
unsigned int findCallbackId(MCallbackId id) {
    const unsigned int count = selectionCallbackIds.length();
    for (unsigned int i = 0; i < count; ++i) {
        if (selectionCallbackIds[i] == id) {
            return i;
        }
    }
    return count;
}

}  // namespace

void* DrawManagerNode::creator() {
    auto* node = new DrawManagerNode();
    node->selectionCallbackId_ = MEventMessage::addEventCallback("SelectionChanged", refreshTrackedSelection);
    node->hasSelectionCallback_ = true;
    selectionCallbackIds.append(node->selectionCallbackId_);
    std::cout << kCallbacksAddedLine << std::endl;
    return node;
}

DrawManagerNode::~DrawManagerNode() {
    // Only this node's own callback is removed: other nodes keep following
    // the selection. A callback already removed at plug-in unload is gone
    // from selectionCallbackIds and is not removed twice.
    if (!hasSelectionCallback_) {
        return;
    }
    const unsigned int index = findCallbackId(selectionCallbackId_);
    if (index == selectionCallbackIds.length()) {
        return;
    }
    MMessage::removeCallback(selectionCallbackId_);
    selectionCallbackIds.remove(index);
    std::cout << kCallbacksRemovedLine << std::endl;
}
