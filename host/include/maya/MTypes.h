#pragma once
// Embedded host: build-level types and macros shared by every host header.
#include <maya/MApiNamespace.h>

#define MAYA_API_VERSION 20250000
#define MAYA_APP_VERSION 2025

// Marks the plug-in's entry points and version strings as exported from the
// module. Defined only if the build has not already chosen a definition.
#ifndef PLUGIN_EXPORT
#if defined(_WIN32)
#define PLUGIN_EXPORT __declspec(dllexport)
#else
#define PLUGIN_EXPORT __attribute__((visibility("default")))
#endif
#endif

// 64-bit integers as the host spells them: long on Linux, long long on
// Windows and macOS.
#if defined(_WIN32) || defined(__APPLE__)
typedef long long MInt64;
typedef unsigned long long MUint64;
#else
typedef long MInt64;
typedef unsigned long MUint64;
#endif

// Coordinate spaces for geometry queries.
class MSpace {
public:
    enum Space {
        kInvalid = 0,
        kTransform = 1,
        kPreTransform = 2,
        kPostTransform = 3,
        kWorld = 4,
        kObject = kPreTransform,
        kLast = 5
    };
};
