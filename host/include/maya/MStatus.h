#pragma once
// The result of an API call: a status code, true when it is kSuccess.
#include <maya/MTypes.h>

class MString;

class MStatus {
public:
    enum MStatusCode {
        kSuccess = 0,
        kFailure,
        kInsufficientMemory,
        kInvalidParameter,
        kLicenseFailure,
        kUnknownParameter,
        kNotImplemented,
        kNotFound,
        kEndOfFile
    };

    MStatus() : code_(kSuccess) {}
    MStatus(MStatusCode code) : code_(code) {}
    MStatus(const MStatus& other) = default;
    MStatus& operator=(const MStatus& other) = default;

    bool operator==(const MStatus& other) const { return code_ == other.code_; }
    bool operator==(MStatusCode code) const { return code_ == code; }
    bool operator!=(const MStatus& other) const { return code_ != other.code_; }
    bool operator!=(MStatusCode code) const { return code_ != code; }
    operator bool() const { return code_ == kSuccess; }

    bool error() const { return code_ != kSuccess; }
    void clear() { code_ = kSuccess; }
    MStatusCode statusCode() const { return code_; }
    // "(kFailure): Unexpected Internal Failure" style text for the code.
    MString errorString() const;

    // Writes "<text>: <errorString>" as a perror line of the script output (just the error string when the
    // text is empty), like C's perror.
    void perror(const char* text) const;
    void perror(const MString& text) const;

    friend bool operator==(MStatusCode code, const MStatus& st) { return st.code_ == code; }
    friend bool operator!=(MStatusCode code, const MStatus& st) { return st.code_ != code; }

private:
    MStatusCode code_;
};

typedef MStatus MS;

namespace kxh {
// Reports a failed status caught by one of the CHECK_MSTATUS macros: "API error detected in <file> at line
// <n>", then the status' perror.
void reportStatusFailure(const MStatus& status, const char* file, int line);
}  // namespace kxh

#define MFAIL(_status) ((_status).error())

// The checks are plain blocks, so a use with or without a trailing semicolon compiles.
#define CHECK_MSTATUS(_status)                                                                       \
    {                                                                                                \
        MStatus _kxStatus = (_status);                                                               \
        if (MStatus::kSuccess != _kxStatus) kxh::reportStatusFailure(_kxStatus, __FILE__, __LINE__); \
    }

#define CHECK_MSTATUS_AND_RETURN(_status, _retVal)                   \
    {                                                                \
        MStatus _kxStatus = (_status);                               \
        if (MStatus::kSuccess != _kxStatus) {                        \
            kxh::reportStatusFailure(_kxStatus, __FILE__, __LINE__); \
            return (_retVal);                                        \
        }                                                            \
    }

// Returns the failed status itself (evaluated once, so a call passed in runs once).
#define CHECK_MSTATUS_AND_RETURN_IT(_status)                         \
    {                                                                \
        MStatus _kxStatus = (_status);                               \
        if (MStatus::kSuccess != _kxStatus) {                        \
            kxh::reportStatusFailure(_kxStatus, __FILE__, __LINE__); \
            return _kxStatus;                                        \
        }                                                            \
    }
