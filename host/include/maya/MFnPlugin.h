#pragma once
// Embedded host: function set for the plug-in object the host passes to the
// entry points. Registers node types on behalf of the module. Including this
// header defines the module's version data (see MApiVersion.h).
#include <maya/MApiNamespace.h>
#include <maya/MApiVersion.h>
#include <maya/MFnBase.h>
#include <maya/MObject.h>
#include <maya/MPlugin.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

class MFnPlugin : public MFnBase {
public:
    MFnPlugin() = default;
    // Attaches to the plug-in object and records vendor, version and the
    // required API version on the plug-in.
    MFnPlugin(MObject& object, const char* vendor = "Unknown", const char* version = "Unknown",
              const char* requiredApiVersion = "Any", MStatus* ReturnStatus = nullptr);
    ~MFnPlugin() override = default;

    MFn::Type type() const override { return MFn::kPlugin; }

    MString vendor(MStatus* ReturnStatus = nullptr) const;
    MString version(MStatus* ReturnStatus = nullptr) const;
    MString apiVersion(MStatus* ReturnStatus = nullptr) const;
    MString name(MStatus* ReturnStatus = nullptr) const;
    MString loadPath(MStatus* ReturnStatus = nullptr) const;
    MStatus setVersion(const MString& newVersion);

    MStatus registerNode(const MString& typeName, const MTypeId& typeId, MCreatorFunction creatorFunction,
                         MInitializeFunction initFunction, MPxNode::Type type = MPxNode::kDependNode,
                         const MString* classification = nullptr);
    MStatus deregisterNode(const MTypeId& typeId);

    // Names the MEL procedures that build the plug-in's UI at load and
    // remove it at unload (the batch ones in batch mode; empty: none). The
    // embedded host records the names instead of running them.
    MStatus registerUI(const MString& creationProc, const MString& deletionProc,
                       const MString& creationBatchProc = "", const MString& deletionBatchProc = "");

private:
    // The host accepts only a non-const plug-in object.
    MFnPlugin(const MObject& object, const char* vendor = "Unknown", const char* version = "Unknown",
              const char* requiredApiVersion = "Any", MStatus* ReturnStatus = nullptr);
};

PLUGIN_EXPORT MStatus initializePlugin(MObject obj);
PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj);
