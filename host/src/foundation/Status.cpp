#include <maya/MStatus.h>
#include <maya/MString.h>

#include <string>

#include "foundation/Output.h"

MString MStatus::errorString() const {
    switch (code_) {
        case kSuccess:
            return MString("(kSuccess): No error");
        case kFailure:
            return MString("(kFailure): Unexpected Internal Failure");
        case kInsufficientMemory:
            return MString("(kInsufficientMemory): Insufficient memory");
        case kInvalidParameter:
            return MString("(kInvalidParameter): Object is incompatible with this method");
        case kLicenseFailure:
            return MString("(kLicenseFailure): License failure");
        case kUnknownParameter:
            return MString("(kUnknownParameter): Unknown parameter");
        case kNotImplemented:
            return MString("(kNotImplemented): Not implemented");
        case kNotFound:
            return MString("(kNotFound): Object not found");
        case kEndOfFile:
            return MString("(kEndOfFile): End of file");
    }
    return MString("(unknown status)");
}

void MStatus::perror(const char* text) const {
    std::string line = (text && *text) ? std::string(text) + ": " : std::string();
    line += errorString().asChar();
    kxh::output().perror(line);
}

void MStatus::perror(const MString& text) const {
    perror(text.asChar());
}

namespace kxh {

void reportStatusFailure(const MStatus& status, const char* file, int line) {
    output().perror("API error detected in " + std::string(file) + " at line " + std::to_string(line));
    status.perror("");
}

}  // namespace kxh
