#pragma once
// Embedded host: base class of the per-object draw data a draw override
// returns from prepareForDraw. The host keeps the object, hands it back on
// the next frame and deletes it through the virtual destructor. Declared in
// the global namespace, not in MHWRender.
#include <maya/MApiNamespace.h>

class MUserData {
public:
    MUserData();
    [[deprecated("Use MUserData() and let the host manage the lifetime")]] MUserData(bool deleteAfterUse);
    virtual ~MUserData();

    [[deprecated("Use MUserData() and let the host manage the lifetime")]] bool deleteAfterUse();
    [[deprecated("Use MUserData() and let the host manage the lifetime")]] void setDeleteAfterUse(
        bool shouldDelete);

    static const char* className();

private:
    friend struct MHostAccess;
    MUserData(const MUserData&);
    MUserData& operator=(const MUserData&);
    // True when the host deletes the data right after drawing it.
    bool deleteAfterUse_ = false;
};
