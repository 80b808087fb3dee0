#pragma once
// Embedded host: the result of a host call. Only the status code carries
// meaning; comparisons look at nothing else.
#include <maya/MApiNamespace.h>
#include <maya/MIOStream.h>
#include <maya/MString.h>

class MStatus {
public:
    enum MStatusCode {
        kSuccess = 0,
        kFailure = 1,
        kInsufficientMemory = 2,
        kInvalidParameter = 3,
        kLicenseFailure = 4,
        kUnknownParameter = 5,
        kNotImplemented = 6,
        kNotFound = 7,
        kEndOfFile = 8
    };

    MStatus() : code_(kSuccess) {}
    MStatus(MStatusCode code) : code_(code) {}
    MStatus(const MStatus& other) = default;
    MStatus& operator=(const MStatus& other) = default;

    bool operator==(const MStatus& other) const { return code_ == other.code_; }
    bool operator==(MStatusCode code) const { return code_ == code; }
    bool operator!=(const MStatus& other) const { return code_ != other.code_; }
    bool operator!=(MStatusCode code) const { return code_ != code; }
    friend bool operator==(MStatusCode code, const MStatus& status) { return code == status.code_; }
    friend bool operator!=(MStatusCode code, const MStatus& status) { return code != status.code_; }

    // True when there is no error, so `if (!status)` tests for failure.
    operator bool() const { return code_ == kSuccess; }

    bool error() const { return code_ != kSuccess; }
    void clear() { code_ = kSuccess; }
    MStatusCode statusCode() const { return code_; }
    void setSuccess() { code_ = kSuccess; }

    // The description of the status code, e.g. "Unexpected Internal Failure".
    MString errorString() const;
    // Writes "<text>: (<code name>): <description>" and a newline to std::cerr.
    void perror(const char* text) const;
    void perror(const MString& text) const;
    // Writes "API error detected in <file> at line <line>: (<code name>): <description>".
    void pAPIerror(const char* file, int line) const;

    // Writes "(<code name>): <description>".
    friend std::ostream& operator<<(std::ostream& os, MStatus& status);

private:
    MStatusCode code_;
};

#ifndef MNoMSTypedef
typedef MStatus MS;
#endif

// Reports a failed status with the source location and carries on.
#define CHECK_MSTATUS(_status)                            \
    do {                                                  \
        MStatus _mstatus_value = (_status);               \
        if (MStatus::kSuccess != _mstatus_value) {        \
            _mstatus_value.pAPIerror(__FILE__, __LINE__); \
        }                                                 \
    } while (0)

// Reports a failed status and returns `_retVal` from the calling function.
#define CHECK_MSTATUS_AND_RETURN(_status, _retVal)        \
    do {                                                  \
        MStatus _mstatus_value = (_status);               \
        if (MStatus::kSuccess != _mstatus_value) {        \
            _mstatus_value.pAPIerror(__FILE__, __LINE__); \
            return (_retVal);                             \
        }                                                 \
    } while (0)

// Reports a failed status and returns that status from the calling function.
#define CHECK_MSTATUS_AND_RETURN_IT(_status)              \
    do {                                                  \
        MStatus _mstatus_value = (_status);               \
        if (MStatus::kSuccess != _mstatus_value) {        \
            _mstatus_value.pAPIerror(__FILE__, __LINE__); \
            return _mstatus_value;                        \
        }                                                 \
    } while (0)

// True when `_status` is not a success.
#define MFAIL(_status) (MStatus::kSuccess != (_status))
