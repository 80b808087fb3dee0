#include "options.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace preview {

namespace {

bool startsWithBlank(const std::string& text) {
    return !text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0;
}

std::string lowerCase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::vector<std::string> splitOn(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (true) {
        const std::string::size_type end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

// The options that take a value, by their long name.
bool takesValue(const std::string& name) {
    return name == "--scene" || name == "--set" || name == "--camera" || name == "--size" ||
           name == "--views" || name == "--output" || name == "--module";
}

void applyOption(Options& options, const std::string& name, const std::string& value) {
    if (name == "--scene") {
        if (value.empty()) {
            throw UsageError("--scene needs a scene name");
        }
        options.scene = value;
    } else if (name == "--set") {
        const std::string::size_type eq = value.find('=');
        if (eq == std::string::npos || eq == 0) {
            throw UsageError("bad --set '" + value + "': expected ATTR=VALUE");
        }
        options.settings.push_back({value.substr(0, eq), value.substr(eq + 1)});
    } else if (name == "--camera") {
        if (!parseCamera(value, options.camera)) {
            throw UsageError("bad --camera '" + value + "': expected EX,EY,EZ or EX,EY,EZ:TX,TY,TZ");
        }
    } else if (name == "--size") {
        if (!parseSize(value, options.width, options.height)) {
            throw UsageError("bad --size '" + value + "': expected WxH with each side " +
                             std::to_string(kMinViewSide) + " to " + std::to_string(kMaxViewSide) +
                             " pixels");
        }
    } else if (name == "--views") {
        long long views = 0;
        if (!parseInteger(value, views) || views < 1 || views > 2) {
            throw UsageError("bad --views '" + value + "': expected 1 or 2");
        }
        options.views = static_cast<int>(views);
    } else if (name == "--output") {
        if (value.empty()) {
            throw UsageError("--output needs a file name");
        }
        options.output = value;
    } else if (name == "--module") {
        if (value.empty()) {
            throw UsageError("--module needs a path");
        }
        options.module = value;
    }
}

}  // namespace

bool parseDouble(const std::string& text, double& value) {
    if (text.empty() || startsWithBlank(text)) {
        return false;
    }
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(begin, &end);
    if (end != begin + text.size() || errno == ERANGE || !std::isfinite(parsed)) {
        return false;
    }
    value = parsed;
    return true;
}

bool parseInteger(const std::string& text, long long& value) {
    if (text.empty() || startsWithBlank(text)) {
        return false;
    }
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(begin, &end, 10);
    if (end != begin + text.size() || errno == ERANGE) {
        return false;
    }
    value = parsed;
    return true;
}

bool parseBool(const std::string& text, bool& value) {
    const std::string lower = lowerCase(text);
    if (lower == "1" || lower == "true") {
        value = true;
        return true;
    }
    if (lower == "0" || lower == "false") {
        value = false;
        return true;
    }
    return false;
}

bool parseTriple(const std::string& text, Triple& value) {
    const std::vector<std::string> parts = splitOn(text, ',');
    if (parts.size() != 3) {
        return false;
    }
    Triple parsed{};
    for (std::size_t i = 0; i < 3; ++i) {
        if (!parseDouble(parts[i], parsed[i])) {
            return false;
        }
    }
    value = parsed;
    return true;
}

bool parseSize(const std::string& text, int& width, int& height) {
    const std::string::size_type x = lowerCase(text).find('x');
    if (x == std::string::npos) {
        return false;
    }
    long long w = 0, h = 0;
    if (!parseInteger(text.substr(0, x), w) || !parseInteger(text.substr(x + 1), h)) {
        return false;
    }
    if (w < kMinViewSide || w > kMaxViewSide || h < kMinViewSide || h > kMaxViewSide) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool parseCamera(const std::string& text, CameraOption& camera) {
    const std::vector<std::string> parts = splitOn(text, ':');
    if (parts.size() > 2) {
        return false;
    }
    CameraOption parsed;
    parsed.given = true;
    if (!parseTriple(parts[0], parsed.eye)) {
        return false;
    }
    if (parts.size() == 2) {
        parsed.hasTarget = true;
        if (!parseTriple(parts[1], parsed.target)) {
            return false;
        }
    }
    camera = parsed;
    return true;
}

Options parseOptions(const std::vector<std::string>& args) {
    Options options;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        }
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string name = arg;
        std::string value;
        bool inlineValue = false;
        const std::string::size_type eq = arg.find('=');
        if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            inlineValue = true;
        }
        if (!takesValue(name)) {
            if (arg.rfind("-", 0) == 0) {
                throw UsageError("unknown option '" + name + "' (see --help)");
            }
            throw UsageError("unexpected argument '" + arg + "' (see --help)");
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                throw UsageError("option " + name + " needs a value");
            }
            value = args[++i];
        }
        applyOption(options, name, value);
    }
    return options;
}

}  // namespace preview
