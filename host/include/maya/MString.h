#pragma once
// Embedded host: the host's string. Text is held as UTF-8, which is also what
// asChar returns (the embedded host's local encoding is UTF-8).
#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>

#include <iosfwd>
#include <string>

class MString {
public:
    MString() = default;
    MString(const char* charString);
    MString(const wchar_t* wideString);
    MString(const char* charString, int charLength);
    MString(const wchar_t* wideString, int length);
    MString(const MString& other) = default;
    ~MString() = default;

    MString& operator=(const MString& other) = default;
    MString& operator=(const char* other);
    MString& operator=(double value);

    MString& operator+=(const MString& other);
    MString& operator+=(const char* other);
    MString& operator+=(double value);
    MString& operator+=(int value);
    MString& operator+=(unsigned int value);
    MString& operator+=(float value);

    bool operator==(const MString& other) const { return text_ == other.text_; }
    bool operator==(const char* other) const { return text_ == (other != nullptr ? other : ""); }
    bool operator!=(const MString& other) const { return !(*this == other); }
    bool operator!=(const char* other) const { return !(*this == other); }

    MString operator+(const MString& other) const;
    MString operator+(const char* other) const;
    MString operator+(double value) const;
    friend MString operator+(const char* left, const MString& right);
    friend std::ostream& operator<<(std::ostream& os, const MString& str);

    // Null-terminated text, valid until the string changes or is destroyed.
    const char* asChar() const { return text_.c_str(); }
    const char* asChar(int& charLength) const {
        charLength = static_cast<int>(text_.size());
        return text_.c_str();
    }
    const char* asUTF8() const { return text_.c_str(); }
    // Length in bytes of asChar().
    unsigned int length() const { return static_cast<unsigned int>(text_.size()); }
    // Number of characters (UTF-8 code points).
    unsigned int numChars() const;

    void clear() { text_.clear(); }
    // Splits at every `delimiter`; empty pieces are dropped. Replaces the
    // contents of `result`.
    MStatus split(char delimiter, MStringArray& result) const;
    // Bytes start..end, both inclusive; clamped to the string.
    MString substring(int start, int end) const;

private:
    std::string text_;
};
