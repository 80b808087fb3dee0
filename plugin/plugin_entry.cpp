// The plug-in's entry points. This is the only translation unit that
// includes <maya/MFnPlugin.h>, which defines the exported MApiVersion and
// ADSK_PLUGIN_SIGNATURE data.
#include <maya/MDrawRegistry.h>
#include <maya/MFnPlugin.h>
#include <maya/MMessage.h>
#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>

#include "node/draw_manager_node.h"
#include "node/selection_tracker.h"
#include "overlay/draw_override.h"
#include "plugin/registration.h"

// Registers the node type first, then its draw override, then the artist's
// menu (scripts/knotlensCreateUI.mel and knotlensDeleteUI.mel; none in batch
// mode). A failed step is reported and returned; nothing done before it is
// undone.
PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    MFnPlugin plugin(obj, kPluginVendor, kPluginVersion, kPluginRequiredApiVersion);

    MStatus status =
        plugin.registerNode(kDrawManagerNodeTypeName, drawManagerNodeTypeId, DrawManagerNode::creator,
                            DrawManagerNode::initialize, MPxNode::kLocatorNode, &drawDbClassification);
    if (!status) {
        status.perror("registerNode");
        return status;
    }

    status = MHWRender::MDrawRegistry::registerDrawOverrideCreator(drawDbClassification, drawRegistrantId,
                                                                   DrawOverride::creator);
    if (!status) {
        status.perror("registerDrawOverrideCreator");
        return status;
    }

    status = plugin.registerUI(kUiCreationProc, kUiDeletionProc);
    if (!status) {
        status.perror("registerUI");
    }
    return status;
}

// Removes the draw override first and the node type second. Selection
// callbacks of nodes that outlive the unload (kept by the host's undo queue)
// are removed too, so the host never calls into an unloaded library.
PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj);

    MStatus status =
        MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(drawDbClassification, drawRegistrantId);
    if (!status) {
        status.perror("deregisterDrawOverrideCreator");
        return status;
    }

    status = plugin.deregisterNode(drawManagerNodeTypeId);
    if (!status) {
        status.perror("deregisterNode");
        return status;
    }

    if (selectionCallbackIds.length() > 0) {
        MMessage::removeCallbacks(selectionCallbackIds);
        selectionCallbackIds.clear();
    }
    return status;
}
