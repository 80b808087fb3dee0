#pragma once
// Embedded host: the version data every plug-in module exports. These are
// definitions, so exactly one translation unit of a module may include this
// header; any other defines MNoVersionString first.
#include <maya/MTypes.h>

#ifndef MNoVersionString
#define MAPI_VERSION_TEXT_(v) #v
#define MAPI_VERSION_TEXT(v) MAPI_VERSION_TEXT_(v)
extern "C" {
// The host API version the module was built against, e.g. "20250000".
PLUGIN_EXPORT char MApiVersion[] = MAPI_VERSION_TEXT(MAYA_API_VERSION);
// Opaque signature block; 128 placeholder bytes in the embedded host.
PLUGIN_EXPORT char ADSK_PLUGIN_SIGNATURE[] =
    "embedded-host-placeholder-signature-0123456789abcdef0123456789abcdef"
    "0123456789abcdef0123456789abcdef0123456789abcdef012345678901";
}
#undef MAPI_VERSION_TEXT
#undef MAPI_VERSION_TEXT_
#endif
