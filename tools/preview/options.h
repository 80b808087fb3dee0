#pragma once
// Command-line parsing for knotlens-preview. Nothing here touches the host:
// the parsers turn text into values and report malformed text as a
// UsageError whose message is the one-line reason shown to the user.
#include <array>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace preview {

// Bad input from the user: printed as "knotlens-preview: error: <what()>".
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using Triple = std::array<double, 3>;

struct CameraOption {
    bool given = false;
    Triple eye{{0.0, 0.0, 0.0}};
    bool hasTarget = false;
    Triple target{{0.0, 0.0, 0.0}};
};

struct Setting {
    std::string attribute;
    std::string value;
};

struct Options {
    bool help = false;
    std::string scene = "demo";
    std::vector<Setting> settings;  // in command-line order; later ones win
    CameraOption camera;
    int width = 640;
    int height = 480;
    int views = 1;
    std::string output = "knotlens-preview.svg";
    std::string module;  // empty: the module built next to the program
};

// Limits of --size: the host's view coordinates are 16-bit integers.
constexpr int kMinViewSide = 16;
constexpr int kMaxViewSide = 4096;

// Parses the arguments after the program name. Accepts "--opt VALUE" and
// "--opt=VALUE". "--help" (or "-h") anywhere wins over everything else.
// Throws UsageError on an unknown option, a missing value or a value that
// does not parse; scene names and attribute names are checked later, by
// whoever knows them.
Options parseOptions(const std::vector<std::string>& args);

// Value parsers. Each accepts the whole text or nothing: no leading or
// trailing blanks, no trailing garbage.
bool parseDouble(const std::string& text, double& value);  // finite, decimal or exponent form
bool parseInteger(const std::string& text, long long& value);
bool parseBool(const std::string& text, bool& value);              // 0, 1, true, false (any case)
bool parseTriple(const std::string& text, Triple& value);          // "a,b,c"
bool parseSize(const std::string& text, int& width, int& height);  // "WxH" within the view limits
bool parseCamera(const std::string& text, CameraOption& camera);   // "EX,EY,EZ[:TX,TY,TZ]"

}  // namespace preview
