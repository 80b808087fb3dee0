#pragma once
// Registration constants of the plug-in: what the host is told at load time
// to pair the draw manager node type with its viewport draw override.
//
// The MTypeId and MString constants are process-wide objects defined in
// plugin/process_objects.cpp, where their construction order relative to the
// other process-wide objects is fixed. The plain texts are compile-time
// constants. The host interface the plug-in relies on is described in
// plugin/host_interface.md.
#include <maya/MString.h>
#include <maya/MTypeId.h>

// Node type name and id of the draw manager locator node.
constexpr const char* kDrawManagerNodeTypeName = "QVTK_Tessark_DrawManagerNode";
constexpr unsigned int kDrawManagerNodeTypeIdValue = 0x13BC40;

// Plug-in identity passed to MFnPlugin when registering.
constexpr const char* kPluginVendor = "TamsinOkraveld";
constexpr const char* kPluginVersion = "1.3.1";
constexpr const char* kPluginRequiredApiVersion = "Any";

// MEL procedures (scripts/knotlensCreateUI.mel, knotlensDeleteUI.mel) that
// add the "knotlens" menu when the plug-in loads in an interactive session
// and remove it at unload.
constexpr const char* kUiCreationProc = "knotlensCreateUI";
constexpr const char* kUiDeletionProc = "knotlensDeleteUI";

// The node type id (kDrawManagerNodeTypeIdValue).
extern const MTypeId drawManagerNodeTypeId;
// Draw classification given both to the node type and to the draw registry;
// the shared string is what ties the node type to DrawOverride.
extern const MString drawDbClassification;
// Registrant id under which the draw override creator is registered.
extern const MString drawRegistrantId;
