#pragma once
// Embedded host: the function types a plug-in hands to the host.
#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>

// Makes a new node object on the heap; the host takes ownership.
typedef void* (*MCreatorFunction)();
// Adds a node type's attributes when the type is registered.
typedef MStatus (*MInitializeFunction)();
