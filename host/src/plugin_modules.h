#pragma once
// Loading and unloading plug-in modules, as the harness asks for them.
// Not installed.
#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <string>

namespace khost {
namespace detail {

// Loads a module file: dlopen, look up initializePlugin, uninitializePlugin
// and MApiVersion, call initializePlugin. False, with a reason, on refusal.
bool loadModule(const std::string& path, std::string* error);
// The same for entry points linked into the calling program.
bool loadModuleEntry(const std::string& name, MStatus (*initialize)(MObject),
                     MStatus (*uninitialize)(MObject), const char* apiVersion, std::string* error);
// Calls uninitializePlugin and unloads; refused while nodes of the module's
// types exist.
bool unloadModule(const std::string& name, std::string* error);

}  // namespace detail
}  // namespace khost
