// The configure step against a Maya devkit, with a stand-in devkit folder
// made by the test: headers that name a MAYA_API_VERSION and empty
// libraries. Only cmake's configure step runs; nothing is compiled.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifndef KNOTLENS_CMAKE_COMMAND
#define KNOTLENS_CMAKE_COMMAND "cmake"
#endif

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text with every run of white space made one space, since cmake wraps
// its messages.
std::string flattened(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const bool space = c == ' ' || c == '\n' || c == '\t' || c == '\r';
        if (!space) {
            out += c;
        } else if (!out.empty() && out.back() != ' ') {
            out += ' ';
        }
    }
    return out;
}

struct Configured {
    int status = -1;
    std::string output;  // flattened
    fs::path binary;
};

class DevkitConfigureTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        scratch_ = fs::temp_directory_path() /
                   ("knotlens-devkit-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(scratch_);
        fs::create_directories(scratch_);
    }
    void TearDown() override { fs::remove_all(scratch_); }

    // A devkitBase-like folder whose maya/MTypes.h names `apiVersion` (no
    // define at all when empty).
    fs::path fakeDevkit(const std::string& apiVersion) {
        const fs::path root =
            scratch_ / ("devkit-" + (apiVersion.empty() ? std::string("none") : apiVersion));
        fs::create_directories(root / "include" / "maya");
        fs::create_directories(root / "lib");
        std::ofstream(root / "include" / "maya" / "MTypes.h")
            << "#pragma once\n"
            << (apiVersion.empty() ? "" : "#define MAYA_API_VERSION " + apiVersion + "\n")
            << "#define MAYA_APP_VERSION 2025\n";
        std::ofstream(root / "include" / "maya" / "MFnPlugin.h") << "#pragma once\n";
        for (const char* lib : {"OpenMaya", "OpenMayaUI", "OpenMayaRender", "Foundation"}) {
            std::ofstream(root / "lib" / (std::string("lib") + lib + ".so"));
        }
        return root;
    }

    // Runs the configure step of the source tree into a fresh build folder.
    Configured configure(const std::string& arguments, const std::string& environment = "") {
        static int builds = 0;
        Configured c;
        c.binary = scratch_ / ("build-" + std::to_string(builds++));
        const fs::path log = c.binary.string() + ".log";
        const std::string command = "env -u MAYA_LOCATION -u DEVKIT_LOCATION " + environment + " \"" +
                                    KNOTLENS_CMAKE_COMMAND + "\" -S \"" + KNOTLENS_SOURCE_DIR + "\" -B \"" +
                                    c.binary.string() + "\" -DKNOTLENS_BUILD_BENCH=OFF " + arguments +
                                    " > \"" + log.string() + "\" 2>&1";
        c.status = std::system(command.c_str());
        c.output = flattened(readFile(log));
        return c;
    }

    static std::string modHeader(const Configured& c) {
        std::istringstream in(readFile(c.binary / "module" / "knotlens.mod"));
        std::string line;
        std::getline(in, line);
        return line;
    }

    static std::string devkitArgument(const fs::path& devkit) {
        return "-DMAYA_DEVKIT_LOCATION=\"" + devkit.string() + "\"";
    }

    fs::path scratch_;
};

TEST_F(DevkitConfigureTest, AcceptsEveryMaya2025ApiVersionAndWritesMaya2025IntoTheModule) {
    for (const std::string version : {"20250000", "20250300", "20259999"}) {
        SCOPED_TRACE(version);
        const Configured c = configure(devkitArgument(fakeDevkit(version)));
        ASSERT_EQ(c.status, 0) << c.output;
        EXPECT_NE(c.output.find("knotlens host: Maya devkit, API version " + version), std::string::npos)
            << c.output;
        EXPECT_EQ(modHeader(c), "+ MAYAVERSION:2025 PLATFORM:linux knotlens 1.3.1 .");
        EXPECT_FALSE(fs::exists(c.binary / "tests")) << "the tests need the embedded host";
    }
}

TEST_F(DevkitConfigureTest, RefusesADevkitOfAnotherMayaWithAClearMessage) {
    for (const std::string version : {"20240200", "20260000", "20220300"}) {
        SCOPED_TRACE(version);
        const Configured c = configure(devkitArgument(fakeDevkit(version)));
        EXPECT_NE(c.status, 0) << c.output;
        EXPECT_NE(c.output.find("is for Maya " + version.substr(0, 4)), std::string::npos) << c.output;
        EXPECT_NE(c.output.find("MAYA_API_VERSION " + version), std::string::npos) << c.output;
        EXPECT_NE(c.output.find("KNOTLENS_ALLOW_OTHER_MAYA=ON"), std::string::npos) << c.output;
        EXPECT_FALSE(fs::exists(c.binary / "module" / "knotlens.mod"));
    }
}

TEST_F(DevkitConfigureTest, AllowingAnotherMayaWritesThatReleaseIntoTheModule) {
    const Configured c =
        configure(devkitArgument(fakeDevkit("20240200")) + " -DKNOTLENS_ALLOW_OTHER_MAYA=ON");
    ASSERT_EQ(c.status, 0) << c.output;
    EXPECT_NE(c.output.find("Building for Maya 2024"), std::string::npos) << c.output;
    EXPECT_EQ(modHeader(c), "+ MAYAVERSION:2024 PLATFORM:linux knotlens 1.3.1 .");
}

TEST_F(DevkitConfigureTest, RefusesAFolderThatIsNoDevkit) {
    const Configured noVersion = configure(devkitArgument(fakeDevkit("")));
    EXPECT_NE(noVersion.status, 0);
    EXPECT_NE(noVersion.output.find("Cannot read MAYA_API_VERSION"), std::string::npos) << noVersion.output;

    const Configured empty = configure(devkitArgument(scratch_));
    EXPECT_NE(empty.status, 0);
    EXPECT_NE(empty.output.find("No Maya devkit headers"), std::string::npos) << empty.output;
}

TEST_F(DevkitConfigureTest, WarningsAreErrorsOnlyWhenAsked) {
    const std::string devkit = devkitArgument(fakeDevkit("20250000"));
    const Configured plain = configure(devkit);
    ASSERT_EQ(plain.status, 0) << plain.output;
    const std::string plainCommands = readFile(plain.binary / "compile_commands.json");
    EXPECT_NE(plainCommands.find("-Wall"), std::string::npos);
    EXPECT_EQ(plainCommands.find("-Werror"), std::string::npos)
        << "a plain devkit build must not stop on warnings";

    const Configured strict = configure(devkit + " -DKNOTLENS_WARNINGS_AS_ERRORS=ON");
    ASSERT_EQ(strict.status, 0) << strict.output;
    EXPECT_NE(readFile(strict.binary / "compile_commands.json").find("-Werror"), std::string::npos);
}

// A shell set up for Maya exports MAYA_LOCATION (here even pointing at a
// devkit); the default build still uses the embedded host, with its tests.
TEST_F(DevkitConfigureTest, ExportedMayaLocationKeepsTheEmbeddedHost) {
    const fs::path devkit = fakeDevkit("20250000");
    const Configured c = configure("", "MAYA_LOCATION=\"" + devkit.string() + "\"");
    ASSERT_EQ(c.status, 0) << c.output;
    EXPECT_NE(c.output.find("knotlens host: embedded"), std::string::npos) << c.output;
    EXPECT_TRUE(fs::exists(c.binary / "tests" / "CTestTestfile.cmake"));
    EXPECT_EQ(readFile(c.binary / "CMakeCache.txt").find(devkit.string()), std::string::npos);
}

// The maya preset's environment variable is required there, never guessed.
TEST_F(DevkitConfigureTest, RequiringADevkitWithoutOneStops) {
    const Configured c = configure("-DKNOTLENS_REQUIRE_DEVKIT=ON -DMAYA_DEVKIT_LOCATION=");
    EXPECT_NE(c.status, 0);
    EXPECT_NE(c.output.find("DEVKIT_LOCATION"), std::string::npos) << c.output;
}

}  // namespace
