// Embedded host: MStatus descriptions and error printing.
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <iostream>

namespace {

struct CodeText {
    const char* name;
    const char* description;
};

CodeText codeText(MStatus::MStatusCode code) {
    switch (code) {
        case MStatus::kSuccess:
            return {"kSuccess", "Success"};
        case MStatus::kFailure:
            break;  // as codes outside the enumeration
        case MStatus::kInsufficientMemory:
            return {"kInsufficientMemory", "Insufficient Memory"};
        case MStatus::kInvalidParameter:
            return {"kInvalidParameter", "Invalid Parameter"};
        case MStatus::kLicenseFailure:
            return {"kLicenseFailure", "License Failure"};
        case MStatus::kUnknownParameter:
            return {"kUnknownParameter", "Unknown Parameter"};
        case MStatus::kNotImplemented:
            return {"kNotImplemented", "Not Implemented"};
        case MStatus::kNotFound:
            return {"kNotFound", "Object Not Found"};
        case MStatus::kEndOfFile:
            return {"kEndOfFile", "End of File"};
    }
    return {"kFailure", "Unexpected Internal Failure"};
}

// Written in one piece so that a redirected std::cerr receives whole lines.
void writeReport(const char* prefix, MStatus::MStatusCode code) {
    const CodeText t = codeText(code);
    std::cerr << std::string(prefix) + ": (" + t.name + "): " + t.description + "\n" << std::flush;
}

}  // namespace

MString MStatus::errorString() const {
    return MString(codeText(code_).description);
}

void MStatus::perror(const char* text) const {
    writeReport(text != nullptr ? text : "", code_);
}

void MStatus::perror(const MString& text) const {
    writeReport(text.asChar(), code_);
}

void MStatus::pAPIerror(const char* file, int line) const {
    const std::string where = std::string("API error detected in ") + (file != nullptr ? file : "") +
                              " at line " + std::to_string(line);
    writeReport(where.c_str(), code_);
}

std::ostream& operator<<(std::ostream& os, MStatus& status) {
    const CodeText t = codeText(status.code_);
    return os << '(' << t.name << "): " << t.description;
}
