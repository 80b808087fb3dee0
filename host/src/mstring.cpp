// Embedded host: MString and MStringArray.
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <ostream>

namespace {

// Appends the UTF-8 encoding of one code point (invalid ones become U+FFFD).
void appendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        cp = 0xFFFD;
    }
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Converts `count` wide characters (UTF-32 where wchar_t has 32 bits, UTF-16
// where it has 16) to UTF-8.
std::string fromWide(const wchar_t* wide, std::size_t count) {
    std::string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        char32_t cp = static_cast<char32_t>(wide[i]);
        if (sizeof(wchar_t) == 2 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < count) {
            const char32_t low = static_cast<char32_t>(wide[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        appendUtf8(out, cp);
    }
    return out;
}

// Numbers are written as printf's %g writes them (six significant digits).
std::string formatNumber(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

}  // namespace

MString::MString(const char* charString) : text_(charString != nullptr ? charString : "") {}

MString::MString(const wchar_t* wideString)
    : text_(wideString != nullptr ? fromWide(wideString, std::wcslen(wideString)) : std::string()) {}

MString::MString(const char* charString, int charLength) {
    if (charString != nullptr && charLength > 0) {
        text_.assign(charString, static_cast<std::size_t>(charLength));
    }
}

MString::MString(const wchar_t* wideString, int length) {
    if (wideString != nullptr && length > 0) {
        text_ = fromWide(wideString, static_cast<std::size_t>(length));
    }
}

MString& MString::operator=(const char* other) {
    text_ = other != nullptr ? other : "";
    return *this;
}

MString& MString::operator=(double value) {
    text_ = formatNumber(value);
    return *this;
}

MString& MString::operator+=(const MString& other) {
    text_ += other.text_;
    return *this;
}

MString& MString::operator+=(const char* other) {
    if (other != nullptr) {
        text_ += other;
    }
    return *this;
}

MString& MString::operator+=(double value) {
    text_ += formatNumber(value);
    return *this;
}

MString& MString::operator+=(int value) {
    return *this += std::to_string(value).c_str();
}

MString& MString::operator+=(unsigned int value) {
    return *this += std::to_string(value).c_str();
}

MString& MString::operator+=(float value) {
    return *this += static_cast<double>(value);
}

MString MString::operator+(const MString& other) const {
    return MString(*this) += other;
}

MString MString::operator+(const char* other) const {
    return MString(*this) += other;
}

MString MString::operator+(double value) const {
    return MString(*this) += value;
}

MString operator+(const char* left, const MString& right) {
    return MString(left) += right;
}

std::ostream& operator<<(std::ostream& os, const MString& str) {
    return os << str.text_;
}

unsigned int MString::numChars() const {
    // Every byte that is not a UTF-8 continuation byte starts a character.
    return static_cast<unsigned int>(std::count_if(
        text_.begin(), text_.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

MStatus MString::split(char delimiter, MStringArray& result) const {
    result.clear();
    std::size_t start = 0;
    while (start <= text_.size()) {
        std::size_t end = text_.find(delimiter, start);
        if (end == std::string::npos) {
            end = text_.size();
        }
        if (end > start) {
            result.append(MString(text_.c_str() + start, static_cast<int>(end - start)));
        }
        start = end + 1;
    }
    return MStatus();
}

MString MString::substring(int start, int end) const {
    start = std::max(start, 0);
    end = std::min(end, static_cast<int>(text_.size()) - 1);
    if (start > end) {
        return MString();
    }
    return MString(text_.c_str() + start, end - start + 1);
}

MStringArray::MStringArray(const char* strings[], unsigned int count) : elements_(strings, strings + count) {}

int MStringArray::indexOf(const MString& element) const {
    const auto it = std::find(elements_.begin(), elements_.end(), element);
    return it == elements_.end() ? -1 : static_cast<int>(it - elements_.begin());
}
