// The plug-in's own sources (plugin/, node/, overlay/) are portable C++17
// plus the host API: no compiler builtins, attributes, pragmas or keyword
// extensions, which one of the three platform compilers would reject.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

std::size_t skipSpaces(const std::string& line, std::size_t at) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) {
        ++at;
    }
    return at;
}

// True when `word` starts at `at` and is followed by a non-word character.
bool wordAt(const std::string& line, std::size_t at, const std::string& word) {
    return line.compare(at, word.size(), word) == 0 &&
           (at + word.size() >= line.size() || !isWordChar(line[at + word.size()]));
}

// Does one source line use a compiler extension: a double-underscore
// builtin, attribute or keyword, a compiler-specific pragma, a vendor
// attribute namespace, or inline assembly?
bool usesExtension(const std::string& line) {
    for (const char* token : {"__builtin_", "__attribute__", "__declspec", "__forceinline", "__restrict",
                              "__int128", "__typeof__", "__extension__", "__asm"}) {
        if (line.find(token) != std::string::npos) {
            return true;
        }
    }
    for (std::size_t at = line.find('#'); at != std::string::npos; at = line.find('#', at + 1)) {
        const std::size_t word = skipSpaces(line, at + 1);
        if (wordAt(line, word, "pragma")) {
            const std::size_t what = skipSpaces(line, word + 6);
            for (const char* vendor : {"GCC", "clang", "warning", "intrinsic", "optimize"}) {
                if (wordAt(line, what, vendor)) {
                    return true;
                }
            }
        }
    }
    for (std::size_t at = line.find("[["); at != std::string::npos; at = line.find("[[", at + 1)) {
        const std::size_t name = skipSpaces(line, at + 2);
        for (const std::string vendor : {"gnu", "clang", "msvc"}) {
            if (line.compare(name, vendor.size(), vendor) == 0 &&
                line.compare(skipSpaces(line, name + vendor.size()), 2, "::") == 0) {
                return true;
            }
        }
    }
    for (std::size_t at = line.find("asm"); at != std::string::npos; at = line.find("asm", at + 1)) {
        if ((at == 0 || !isWordChar(line[at - 1])) && wordAt(line, at, "asm") &&
            line.compare(skipSpaces(line, at + 3), 1, "(") == 0) {
            return true;
        }
    }
    return false;
}

// Every "file:line: text" of `source` (named `name`) that uses an extension.
std::vector<std::string> extensionUses(const std::string& name, const std::string& source) {
    std::vector<std::string> hits;
    std::istringstream in(source);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (usesExtension(line)) {
            hits.push_back(name + ":" + std::to_string(number) + ": " + line);
        }
    }
    return hits;
}

TEST(PortabilityTest, ScannerFindsEachKindOfExtension) {
    const std::vector<std::string> nonPortable{
        "    __builtin_prefetch(p, 0, 1);",
        "static int f() __attribute__((always_inline));",
        "#pragma GCC diagnostic ignored \"-Wshadow\"",
        "# pragma clang loop vectorize(enable)",
        "__declspec(noinline) void g();",
        "[[gnu::hot]] void h();",
        "    __asm__(\"nop\");",
        "void k(float* __restrict out);",
        "    asm (\"nop\");",
        "#pragma optimize(\"\", off)",
    };
    for (const auto& line : nonPortable) {
        EXPECT_EQ(extensionUses("x.cpp", line).size(), 1u) << line;
    }
    const std::vector<std::string> portable{
        "#pragma once",
        "[[nodiscard]] bool ok();",
        "std::vector<int> builtinSizes;",
        "PLUGIN_EXPORT MStatus initializePlugin(MObject obj);",
        "int spasm(int x);",
        "// see #pragmatic notes",
    };
    for (const auto& line : portable) {
        EXPECT_TRUE(extensionUses("x.cpp", line).empty()) << line;
    }
    EXPECT_EQ(extensionUses("x.cpp", "int a;\n__builtin_trap();\n"),
              std::vector<std::string>{"x.cpp:2: __builtin_trap();"});
}

TEST(PortabilityTest, PluginSourcesUseNoCompilerExtensions) {
    std::size_t scanned = 0;
    std::vector<std::string> hits;
    for (const char* folder : {"plugin", "node", "overlay"}) {
        const fs::path root = fs::path(KNOTLENS_SOURCE_DIR) / folder;
        ASSERT_TRUE(fs::is_directory(root)) << root;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".cpp" && ext != ".h") {
                continue;
            }
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            const auto found =
                extensionUses(fs::relative(entry.path(), KNOTLENS_SOURCE_DIR).string(), text.str());
            hits.insert(hits.end(), found.begin(), found.end());
            ++scanned;
        }
    }
    EXPECT_GT(scanned, 20u) << "the plug-in's sources were not found";
    std::string report;
    for (const auto& h : hits) {
        report += h + "\n";
    }
    EXPECT_TRUE(hits.empty()) << report;
}

}  // namespace
