// The plug-in's own sources (plugin/, node/, overlay/) are portable C++17
// plus the host API: no compiler builtins, attributes, pragmas or keyword
// extensions, which one of the three platform compilers would reject.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// What is not portable, as regular expressions over the source text.
const std::vector<std::string>& extensionPatterns() {
    static const std::vector<std::string> patterns{
        R"(__builtin_)",
        R"(__attribute__)",
        R"(#\s*pragma\s+(GCC|clang|warning|intrinsic|optimize))",
        R"(__declspec)",
        R"(\[\[\s*(gnu|clang|msvc)\s*::)",
        R"(\b__asm(__)?\b|\basm\s*\()",
        R"(__forceinline|__restrict|__int128|__typeof__|__extension__)",
    };
    return patterns;
}

// Every "file:line: text" of `source` (named `name`) that uses an extension.
std::vector<std::string> extensionUses(const std::string& name, const std::string& source) {
    std::vector<std::regex> regexes;
    for (const auto& p : extensionPatterns()) {
        regexes.emplace_back(p);
    }
    std::vector<std::string> hits;
    std::istringstream in(source);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        for (const auto& r : regexes) {
            if (std::regex_search(line, r)) {
                hits.push_back(name + ":" + std::to_string(number) + ": " + line);
                break;
            }
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
    };
    for (const auto& line : nonPortable) {
        EXPECT_EQ(extensionUses("x.cpp", line).size(), 1u) << line;
    }
    const std::vector<std::string> portable{
        "#pragma once",
        "[[nodiscard]] bool ok();",
        "std::vector<int> builtinSizes;",
        "PLUGIN_EXPORT MStatus initializePlugin(MObject obj);",
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
