// Embedded host: MStatus descriptions and error printing.
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <iostream>

namespace {

const char* codeName(MStatus::MStatusCode code) {
    switch (code) {
        case MStatus::kSuccess:
            return "kSuccess";
        case MStatus::kFailure:
            return "kFailure";
        case MStatus::kInsufficientMemory:
            return "kInsufficientMemory";
        case MStatus::kInvalidParameter:
            return "kInvalidParameter";
        case MStatus::kLicenseFailure:
            return "kLicenseFailure";
        case MStatus::kUnknownParameter:
            return "kUnknownParameter";
        case MStatus::kNotImplemented:
            return "kNotImplemented";
        case MStatus::kNotFound:
            return "kNotFound";
        case MStatus::kEndOfFile:
            return "kEndOfFile";
    }
    return "kFailure";
}

const char* description(MStatus::MStatusCode code) {
    switch (code) {
        case MStatus::kSuccess:
            return "Success";
        case MStatus::kFailure:
            return "Unexpected Internal Failure";
        case MStatus::kInsufficientMemory:
            return "Insufficient Memory";
        case MStatus::kInvalidParameter:
            return "Invalid Parameter";
        case MStatus::kLicenseFailure:
            return "License Failure";
        case MStatus::kUnknownParameter:
            return "Unknown Parameter";
        case MStatus::kNotImplemented:
            return "Not Implemented";
        case MStatus::kNotFound:
            return "Object Not Found";
        case MStatus::kEndOfFile:
            return "End of File";
    }
    return "Unexpected Internal Failure";
}

// Written in one piece so that a redirected std::cerr receives whole lines.
void writeReport(const char* prefix, MStatus::MStatusCode code) {
    std::string line;
    line += prefix;
    line += ": (";
    line += codeName(code);
    line += "): ";
    line += description(code);
    line += '\n';
    std::cerr << line << std::flush;
}

}  // namespace

MString MStatus::errorString() const {
    return MString(description(code_));
}

void MStatus::perror(const char* text) const {
    writeReport(text != nullptr ? text : "", code_);
}

void MStatus::perror(const MString& text) const {
    writeReport(text.asChar(), code_);
}

void MStatus::pAPIerror(const char* file, int line) const {
    std::string where = "API error detected in ";
    where += file != nullptr ? file : "";
    where += " at line ";
    where += std::to_string(line);
    writeReport(where.c_str(), code_);
}

std::ostream& operator<<(std::ostream& os, MStatus& status) {
    return os << '(' << codeName(status.code_) << "): " << description(status.code_);
}
