// What ships around the plug-in: the Attribute Editor template, the user
// documentation's attribute table and pictures, and the installed module
// folder. Every check compares against the node as the loaded plug-in
// defines it, never against a list copied into the test.
#include <gtest/gtest.h>
#include <khost/harness.h>
#include <maya/MFnData.h>
#include <maya/MFnNumericData.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#ifndef KNOTLENS_CMAKE_COMMAND
#define KNOTLENS_CMAKE_COMMAND "cmake"
#endif

namespace fs = std::filesystem;

namespace {

const char* const kNodeType = "QVTK_Tessark_DrawManagerNode";
const char* const kModuleComponent = "knotlens_module";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return "";
    }
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

std::string moduleStem() {
    return fs::path(KNOTLENS_MODULE_PATH).stem().string();
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string word; in >> word;) {
        out.push_back(word);
    }
    return out;
}

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}
bool isIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// For each occurrence of `open`, the text from there up to the next `close`.
std::vector<std::string> enclosed(const std::string& text, const std::string& open,
                                  const std::string& close) {
    std::vector<std::string> out;
    for (auto at = text.find(open); at != std::string::npos; at = text.find(open, at + 1)) {
        const auto start = at + open.size();
        const auto end = text.find(close, start);
        if (end != std::string::npos) {
            out.push_back(text.substr(start, end - start));
        }
    }
    return out;
}

// ---------------------------------------------------------------- MEL
// The editorTemplate statements of one proc body, in order.
struct TemplateEvent {
    enum Kind { BeginScroll, EndScroll, BeginLayout, EndLayout, AddControl, ExtraControls, Other };
    Kind kind = Other;
    std::string name;  // layout title or attribute name
};

// Removes // comments, keeping string literals (which may hold slashes).
std::string stripMelComments(const std::string& text) {
    std::string out;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            out += c;
            if (c == '\\' && i + 1 < text.size()) {
                out += text[++i];
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
            out += c;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            while (i < text.size() && text[i] != '\n') {
                ++i;
            }
            out += '\n';
        } else {
            out += c;
        }
    }
    return out;
}

// The body (between the braces) of `global proc <name>(...)`, or "" when absent.
std::string procBody(const std::string& mel, const std::string& name) {
    // global proc [returnType] name (
    std::size_t open = std::string::npos;
    for (auto at = mel.find("global"); at != std::string::npos && open == std::string::npos;
         at = mel.find("global", at + 1)) {
        const auto paren = mel.find('(', at);
        if (paren == std::string::npos) {
            break;
        }
        const auto head = words(mel.substr(at, paren - at));
        if (head.size() >= 3 && head.size() <= 4 && head[1] == "proc" && head.back() == name) {
            open = mel.find('{', paren);
        }
    }
    if (open == std::string::npos) {
        return "";
    }
    int depth = 0;
    bool inString = false;
    for (std::size_t i = open; i < mel.size(); ++i) {
        const char c = mel[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '{') {
            ++depth;
        } else if (c == '}' && --depth == 0) {
            return mel.substr(open + 1, i - open - 1);
        }
    }
    return "";
}

std::vector<TemplateEvent> editorTemplateEvents(const std::string& body) {
    // Split into statements at semicolons outside string literals.
    std::vector<std::string> statements;
    std::string current;
    bool inString = false;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        current += c;
        if (inString) {
            if (c == '\\' && i + 1 < body.size()) {
                current += body[++i];
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == ';') {
            statements.push_back(current);
            current.clear();
        }
    }
    // The quoted argument right after a flag, as in -addControl "name".
    const auto quotedAfter = [](const std::string& statement, const std::string& flag, std::string& value) {
        auto at = statement.find(flag);
        if (at == std::string::npos) {
            return false;
        }
        at = statement.find_first_not_of(" \t\r\n", at + flag.size());
        if (at == std::string::npos || statement[at] != '"') {
            return false;
        }
        const auto end = statement.find('"', at + 1);
        if (end == std::string::npos) {
            return false;
        }
        value = statement.substr(at + 1, end - at - 1);
        return true;
    };
    std::vector<TemplateEvent> events;
    for (const auto& statement : statements) {
        if (statement.find("editorTemplate") == std::string::npos) {
            continue;
        }
        TemplateEvent e;
        if (statement.find("-beginScrollLayout") != std::string::npos) {
            e.kind = TemplateEvent::BeginScroll;
        } else if (statement.find("-endScrollLayout") != std::string::npos) {
            e.kind = TemplateEvent::EndScroll;
        } else if (quotedAfter(statement, "-beginLayout", e.name)) {
            e.kind = TemplateEvent::BeginLayout;
        } else if (statement.find("-endLayout") != std::string::npos) {
            e.kind = TemplateEvent::EndLayout;
        } else if (quotedAfter(statement, "-addControl", e.name)) {
            e.kind = TemplateEvent::AddControl;
        } else if (statement.find("-addExtraControls") != std::string::npos) {
            e.kind = TemplateEvent::ExtraControls;
        }
        events.push_back(e);
    }
    return events;
}

// ---------------------------------------------------------------- Markdown
// Table rows (cells trimmed, backticks removed) of the level-2 section `title`.
std::vector<std::vector<std::string>> tableRows(const std::string& markdown, const std::string& title) {
    std::vector<std::vector<std::string>> rows;
    bool inSection = false;
    for (const auto& raw : lines(markdown)) {
        const std::string line = trim(raw);
        if (line.rfind("## ", 0) == 0) {
            inSection = trim(line.substr(3)) == title;
            continue;
        }
        if (!inSection || line.empty() || line[0] != '|') {
            continue;
        }
        std::vector<std::string> cells;
        std::string cell;
        for (std::size_t i = 1; i < line.size(); ++i) {
            if (line[i] == '|') {
                cells.push_back(trim(cell));
                cell.clear();
            } else if (line[i] != '`') {
                cell += line[i];
            }
        }
        if (cells.empty() || cells[0].find("---") != std::string::npos) {
            continue;
        }
        rows.push_back(cells);
    }
    return rows;
}

bool parseNumbers(const std::string& text, std::vector<double>& out) {
    // Every decimal number in the text, as in "(0.5, 0, 0.5)" or "0.01 to 1".
    out.clear();
    for (std::size_t i = 0; i < text.size();) {
        const bool negative = text[i] == '-' && i + 1 < text.size() && isDigit(text[i + 1]);
        if (!negative && !isDigit(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < text.size() && (isDigit(text[end]) || text[end] == '.')) {
            ++end;
        }
        out.push_back(std::stod(text.substr(i, end - i)));
        i = end;
    }
    return !out.empty();
}

// What the docs' Type column must say for an attribute.
std::string typeWord(const khost::AttributeInfo& info) {
    if (info.typed) {
        return info.dataType == MFnData::kString ? "string" : "?";
    }
    switch (info.numericType) {
        case MFnNumericData::kBoolean:
            return "boolean";
        case MFnNumericData::kShort:
        case MFnNumericData::kLong:
        case MFnNumericData::kInt64:
            return "integer";
        case MFnNumericData::kFloat:
        case MFnNumericData::kDouble:
            return "float";
        case MFnNumericData::k3Float:
            return info.usedAsColor ? "colour" : "?";
        default:
            return "?";
    }
}

// ---------------------------------------------------------------- fixture
class PackagingTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!khost::isPluginLoaded(moduleStem())) {
            std::string error;
            ASSERT_TRUE(khost::loadPlugin(KNOTLENS_MODULE_PATH, &error)) << error;
        }
        khost::newScene();
        node_ = khost::createNode(kNodeType);
        ASSERT_FALSE(node_.empty()) << "the loaded plug-in does not create " << kNodeType;
        attributes_ = khost::listAttributes(node_);
        ASSERT_FALSE(attributes_.empty());
    }

    const khost::AttributeInfo* attribute(const std::string& longName) const {
        for (const auto& info : attributes_) {
            if (info.longName == longName) {
                return &info;
            }
        }
        return nullptr;
    }

    std::string node_;
    std::vector<khost::AttributeInfo> attributes_;
};

// ---------------------------------------------------------------- AE template
class AttributeEditorTemplateTest : public PackagingTest {
protected:
    void SetUp() override {
        PackagingTest::SetUp();
        procName_ = std::string("AE") + kNodeType + "Template";
        path_ = fs::path(KNOTLENS_SOURCE_DIR) / "scripts" / (procName_ + ".mel");
        ASSERT_TRUE(fs::exists(path_)) << path_;
        const std::string body = procBody(stripMelComments(readFile(path_)), procName_);
        ASSERT_FALSE(body.empty()) << "no global proc " << procName_ << " in " << path_;
        events_ = editorTemplateEvents(body);
        for (const auto& e : events_) {
            if (e.kind == TemplateEvent::AddControl) {
                controls_.push_back(e.name);
            }
        }
    }

    std::string procName_;
    fs::path path_;
    std::vector<TemplateEvent> events_;
    std::vector<std::string> controls_;
};

TEST_F(AttributeEditorTemplateTest, NamesEveryAttributeOfTheNodeExactlyOnce) {
    EXPECT_EQ(attributes_.size(), 23u);
    std::map<std::string, int> count;
    for (const auto& name : controls_) {
        ++count[name];
        EXPECT_NE(attribute(name), nullptr)
            << "template names \"" << name << "\", which the node does not have";
    }
    for (const auto& info : attributes_) {
        EXPECT_EQ(count[info.longName], 1) << info.longName << " must appear exactly once in the template";
    }
    EXPECT_EQ(controls_.size(), attributes_.size());
}

TEST_F(AttributeEditorTemplateTest, LaysOutFlatSectionsInsideOneScrollLayout) {
    ASSERT_GE(events_.size(), 4u);
    EXPECT_EQ(events_.front().kind, TemplateEvent::BeginScroll);
    EXPECT_EQ(events_.back().kind, TemplateEvent::EndScroll);

    std::vector<std::string> sections;
    bool inLayout = false, sawExtra = false;
    for (std::size_t i = 1; i + 1 < events_.size(); ++i) {
        const auto& e = events_[i];
        switch (e.kind) {
            case TemplateEvent::BeginScroll:
            case TemplateEvent::EndScroll:
                ADD_FAILURE() << "nested scroll layout at statement " << i;
                break;
            case TemplateEvent::BeginLayout:
                EXPECT_FALSE(inLayout) << "section \"" << e.name << "\" opened inside another";
                EXPECT_FALSE(sawExtra) << "section \"" << e.name << "\" after the extra controls";
                inLayout = true;
                sections.push_back(e.name);
                break;
            case TemplateEvent::EndLayout:
                EXPECT_TRUE(inLayout) << "endLayout without a section";
                inLayout = false;
                break;
            case TemplateEvent::AddControl:
                EXPECT_TRUE(inLayout) << e.name << " is outside every section";
                break;
            case TemplateEvent::ExtraControls:
                EXPECT_FALSE(inLayout) << "addExtraControls inside a section";
                sawExtra = true;
                break;
            case TemplateEvent::Other:
                break;
        }
    }
    EXPECT_FALSE(inLayout) << "last section not closed";
    EXPECT_TRUE(sawExtra) << "inherited attributes need editorTemplate -addExtraControls";
    EXPECT_EQ(sections,
              (std::vector<std::string>{"Display", "Colours", "Depth ramp", "Occlusion", "Behaviour"}));
}

TEST_F(AttributeEditorTemplateTest, PutsEachColourInColoursWithItsAlphaRightAfterIt) {
    std::string section;
    std::map<std::string, std::string> sectionOf;
    for (const auto& e : events_) {
        if (e.kind == TemplateEvent::BeginLayout) {
            section = e.name;
        } else if (e.kind == TemplateEvent::AddControl) {
            sectionOf[e.name] = section;
        }
    }
    int colours = 0;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const auto* info = attribute(controls_[i]);
        if (info == nullptr || !info->usedAsColor) {
            continue;
        }
        ++colours;
        EXPECT_EQ(sectionOf[info->longName], "Colours") << info->longName;
        ASSERT_LT(i + 1, controls_.size()) << info->longName << " is last; its alpha must follow it";
        const std::string& next = controls_[i + 1];
        const auto* alpha = attribute(next);
        ASSERT_NE(alpha, nullptr) << next;
        std::string expected = info->longName;
        expected.replace(expected.rfind("Color"), 5, "Alpha");
        EXPECT_EQ(next, expected) << "the control after " << info->longName;
        EXPECT_EQ(alpha->components, 1);
        EXPECT_TRUE(alpha->hasMin && alpha->hasMax && alpha->minValue == 0.0 && alpha->maxValue == 1.0)
            << next << " is not an alpha in [0, 1]";
        EXPECT_EQ(sectionOf[next], "Colours") << next;
    }
    EXPECT_EQ(colours, 4);
}

// The Python functions of knotlens_create that a MEL body calls.
std::vector<std::string> pythonCallsIn(const std::string& melBody) {
    std::vector<std::string> calls;
    const std::string prefix = "knotlens_create.";
    for (auto at = melBody.find(prefix); at != std::string::npos; at = melBody.find(prefix, at + 1)) {
        auto end = at + prefix.size();
        while (end < melBody.size() && isIdentifierChar(melBody[end])) {
            ++end;
        }
        calls.push_back(melBody.substr(at + prefix.size(), end - at - prefix.size()));
    }
    return calls;
}

bool definesPythonFunction(const std::string& python, const std::string& name) {
    for (const auto& line : lines(python)) {
        if (line.rfind("def " + name + "(", 0) == 0) {
            return true;
        }
    }
    return false;
}

// The UI procedures the plug-in names at load and unload, and the Attribute
// Editor's button, reach code that ships: each procedure is a global proc in
// a scripts/ file of its own name (how Maya finds it), and each Python
// function they call is defined in knotlens_create.py.
TEST_F(AttributeEditorTemplateTest, MenuProceduresAndTheOccluderButtonShipWithTheirPython) {
    std::string error;
    khost::newScene();
    ASSERT_TRUE(khost::unloadPlugin(moduleStem(), &error)) << error;
    khost::clearUiProcedureLog();
    ASSERT_TRUE(khost::loadPlugin(KNOTLENS_MODULE_PATH, &error)) << error;
    khost::newScene();
    ASSERT_TRUE(khost::unloadPlugin(moduleStem(), &error)) << error;
    const std::vector<std::string> procedures = khost::uiProcedureLog();
    ASSERT_TRUE(khost::loadPlugin(KNOTLENS_MODULE_PATH, &error)) << error;
    ASSERT_EQ(procedures.size(), 2u) << "a creation procedure at load, a deletion procedure at unload";

    const fs::path scripts = fs::path(KNOTLENS_SOURCE_DIR) / "scripts";
    const std::string python = readFile(scripts / "knotlens_create.py");
    std::vector<std::string> bodies;
    for (const auto& procedure : procedures) {
        const fs::path file = scripts / (procedure + ".mel");
        ASSERT_TRUE(fs::exists(file)) << file;
        bodies.push_back(procBody(stripMelComments(readFile(file)), procedure));
        EXPECT_FALSE(bodies.back().empty()) << "no global proc " << procedure << " in " << file;
    }
    const std::string occluderButton =
        procBody(stripMelComments(readFile(path_)), "AEQVTK_Tessark_DrawManagerNodeOccluderButtonReplace");
    bodies.push_back(occluderButton);
    EXPECT_NE(occluderButton.find("use_selected_mesh_as_occluder"), std::string::npos) << occluderButton;
    for (const auto& body : bodies) {
        const auto calls = pythonCallsIn(body);
        EXPECT_EQ(calls.size(), 1u) << body;
        for (const auto& call : calls) {
            EXPECT_TRUE(definesPythonFunction(python, call))
                << "knotlens_create." << call << " is not defined";
        }
    }
}

// ---------------------------------------------------------------- docs
class UsageDocTest : public PackagingTest {
protected:
    void SetUp() override {
        PackagingTest::SetUp();
        usage_ = readFile(fs::path(KNOTLENS_SOURCE_DIR) / "docs" / "usage.md");
        ASSERT_FALSE(usage_.empty());
    }
    std::string usage_;
};

TEST_F(UsageDocTest, AttributeTablesDescribeTheNodeAsItIs) {
    const auto rows = tableRows(usage_, "Attributes");
    std::map<std::string, int> count;
    for (const auto& row : rows) {
        if (row[0] == "Attribute") {
            ASSERT_GE(row.size(), 5u);
            EXPECT_EQ(row[1], "Short name");
            EXPECT_EQ(row[2], "Type");
            EXPECT_EQ(row[3], "Default");
            EXPECT_EQ(row[4], "Range");
            continue;
        }
        SCOPED_TRACE(row[0]);
        ASSERT_GE(row.size(), 6u);
        ++count[row[0]];
        const auto* info = attribute(row[0]);
        ASSERT_NE(info, nullptr) << "documented attribute the node does not have";
        EXPECT_EQ(row[1], info->shortName);
        EXPECT_EQ(row[2], typeWord(*info));
        EXPECT_FALSE(row[5].empty()) << "no description";

        // Default: what a new node reports.
        const std::string& def = row[3];
        if (info->typed) {
            EXPECT_EQ(def, "empty");
            EXPECT_EQ(khost::getAttrString(node_, info->longName), "");
        } else if (info->numericType == MFnNumericData::kBoolean) {
            const double value = khost::getAttr(node_, info->longName);
            EXPECT_EQ(def, value != 0.0 ? "on" : "off");
        } else if (info->components == 3) {
            std::vector<double> numbers;
            ASSERT_TRUE(parseNumbers(def, numbers)) << def;
            ASSERT_EQ(numbers.size(), 3u) << def;
            const auto value = khost::getAttr3(node_, info->longName);
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(numbers[k], value[k], 1e-6) << "component " << k;
            }
        } else {
            std::vector<double> numbers;
            ASSERT_TRUE(parseNumbers(def, numbers)) << def;
            ASSERT_EQ(numbers.size(), 1u) << def;
            EXPECT_NEAR(numbers[0], khost::getAttr(node_, info->longName), 1e-6);
        }

        // Range: "a to b", or a dash for none.
        std::vector<double> bounds;
        if (info->hasMin || info->hasMax) {
            ASSERT_TRUE(info->hasMin && info->hasMax) << "one-sided ranges are not documented";
            ASSERT_TRUE(parseNumbers(row[4], bounds)) << row[4];
            ASSERT_EQ(bounds.size(), 2u) << row[4];
            EXPECT_NE(row[4].find(" to "), std::string::npos) << row[4];
            EXPECT_NEAR(bounds[0], info->minValue, 1e-9);
            EXPECT_NEAR(bounds[1], info->maxValue, 1e-9);
        } else {
            EXPECT_FALSE(parseNumbers(row[4], bounds))
                << "the attribute has no range, the docs give " << row[4];
        }
    }
    for (const auto& info : attributes_) {
        EXPECT_EQ(count[info.longName], 1) << info.longName << " must have exactly one row";
    }
}

TEST_F(UsageDocTest, EveryPictureIsMadeByTheRegenerationScript) {
    std::set<std::string> referenced;
    for (const auto& target : enclosed(usage_, "](images/", ")")) {
        const auto stem = target.size() > 4 ? target.substr(0, target.size() - 4) : "";
        EXPECT_EQ(target, stem + ".svg") << "pictures are SVG files made by the preview";
        referenced.insert(stem);
    }
    const std::string script = readFile(fs::path(KNOTLENS_SOURCE_DIR) / "tools" / "make_doc_pictures.sh");
    ASSERT_FALSE(script.empty());
    std::set<std::string> made;
    for (const auto& line : lines(script)) {
        const auto fields = words(line);
        if (line.rfind("picture ", 0) == 0 && fields.size() >= 2) {
            EXPECT_TRUE(made.insert(fields[1]).second) << "picture " << fields[1] << " is made twice";
        }
    }
    EXPECT_FALSE(referenced.empty());
    EXPECT_EQ(referenced, made);
}

TEST_F(UsageDocTest, RelativeLinksOfTheDocsResolve) {
    int checked = 0;
    for (const char* doc : {"usage.md", "building-with-maya.md"}) {
        const fs::path path = fs::path(KNOTLENS_SOURCE_DIR) / "docs" / doc;
        const std::string text = readFile(path);
        ASSERT_FALSE(text.empty()) << path;
        for (auto target : enclosed(text, "](", ")")) {
            target = target.substr(0, target.find('#'));
            if (target.find(':') != std::string::npos || target.size() < 3 ||
                target.compare(target.size() - 3, 3, ".md") != 0) {
                continue;  // a URL, an anchor in the same page, or a picture
            }
            ++checked;
            EXPECT_TRUE(fs::exists(path.parent_path() / target)) << doc << " links to " << target;
        }
    }
    EXPECT_GT(checked, 0);
}

// ---------------------------------------------------------------- install
class InstalledModuleTest : public PackagingTest {
protected:
    void SetUp() override {
        PackagingTest::SetUp();
        static int counter = 0;
        prefix_ = fs::temp_directory_path() /
                  ("knotlens-install-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(prefix_);
        const fs::path log = prefix_.string() + ".log";
        const std::string command = std::string("\"") + KNOTLENS_CMAKE_COMMAND + "\" --install \"" +
                                    KNOTLENS_BINARY_DIR + "\" --prefix \"" + prefix_.string() +
                                    "\" --component " + kModuleComponent + " > \"" + log.string() + "\" 2>&1";
        const int rc = std::system(command.c_str());
        const std::string output = readFile(log);
        fs::remove(log);
        ASSERT_EQ(rc, 0) << command << "\n" << output;
        ASSERT_TRUE(fs::exists(prefix_ / "knotlens.mod"))
            << "nothing installed for component " << kModuleComponent << "\n"
            << output;
    }

    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(prefix_, ignored);
    }

    std::set<std::string> installedFiles() const {
        std::set<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(prefix_)) {
            if (!entry.is_directory()) {
                files.insert(fs::relative(entry.path(), prefix_).generic_string());
            }
        }
        return files;
    }

    fs::path prefix_;
};

TEST_F(InstalledModuleTest, LaysOutTheModuleFolder) {
    const std::string module = fs::path(KNOTLENS_MODULE_PATH).filename().string();
    std::set<std::string> expected{"knotlens.mod", "plug-ins/" + module};
    const fs::path scripts = fs::path(KNOTLENS_SOURCE_DIR) / "scripts";
    for (const auto& entry : fs::directory_iterator(scripts)) {
        const auto ext = entry.path().extension();
        if (ext == ".mel" || ext == ".py") {
            const std::string name = entry.path().filename().string();
            expected.insert("scripts/" + name);
            EXPECT_EQ(readFile(prefix_ / "scripts" / name), readFile(entry.path())) << name;
        }
    }
    EXPECT_EQ(installedFiles(), expected);
}

TEST_F(InstalledModuleTest, ModuleFileParsesAndPointsAtTheContent) {
    const std::string mod = readFile(prefix_ / "knotlens.mod");
    std::vector<std::string> content;
    for (const auto& line : lines(mod)) {
        if (!trim(line).empty()) {
            content.push_back(trim(line));
        }
    }
    ASSERT_FALSE(content.empty());

    // + MAYAVERSION:2025 PLATFORM:<platform> <name> <version> <path>
    std::istringstream header(content[0]);
    std::vector<std::string> fields;
    for (std::string field; header >> field;) {
        fields.push_back(field);
    }
    ASSERT_EQ(fields.size(), 6u) << content[0];
    EXPECT_EQ(fields[0], "+");
    EXPECT_EQ(fields[1], "MAYAVERSION:2025");
#if defined(_WIN32)
    EXPECT_EQ(fields[2], "PLATFORM:win64");
#elif defined(__APPLE__)
    EXPECT_EQ(fields[2], "PLATFORM:mac");
#else
    EXPECT_EQ(fields[2], "PLATFORM:linux");
#endif
    EXPECT_EQ(fields[3], moduleStem());
    EXPECT_EQ(fields[4], khost::pluginVersion(moduleStem())) << "module version differs from the plug-in's";
    fs::path root = fields[5];
    if (root.is_relative()) {
        root = prefix_ / root;
    }
    ASSERT_TRUE(fs::is_directory(root)) << fields[5];
    EXPECT_TRUE(fs::equivalent(root, prefix_)) << "the module path must be the folder of the .mod file";

    // VARIABLE +:= relative-path lines, each naming a folder of the module.
    std::map<std::string, fs::path> folders;
    for (std::size_t i = 1; i < content.size(); ++i) {
        const auto parts = words(content[i]);
        ASSERT_EQ(parts.size(), 3u) << "unparsable line: " << content[i];
        const std::string& variable = parts[0];
        EXPECT_TRUE(!isDigit(variable[0]) && std::all_of(variable.begin(), variable.end(), isIdentifierChar))
            << "unparsable line: " << content[i];
        EXPECT_EQ(parts[1], "+:=") << content[i] << ": paths of the module are appended relative to it";
        const fs::path folder = root / parts[2];
        EXPECT_TRUE(fs::is_directory(folder)) << content[i];
        folders[variable] = folder;
    }
    ASSERT_TRUE(folders.count("MAYA_PLUG_IN_PATH"));
    ASSERT_TRUE(folders.count("MAYA_SCRIPT_PATH"));
    EXPECT_TRUE(fs::exists(folders["MAYA_PLUG_IN_PATH"] / fs::path(KNOTLENS_MODULE_PATH).filename()));
    EXPECT_TRUE(fs::exists(folders["MAYA_SCRIPT_PATH"] / (std::string("AE") + kNodeType + "Template.mel")));
}

TEST_F(InstalledModuleTest, InstalledBinaryLoadsAndMakesTheSameNode) {
    const fs::path installed = prefix_ / "plug-ins" / fs::path(KNOTLENS_MODULE_PATH).filename();
    const auto expected = attributes_;
    std::string error;
    khost::newScene();
    ASSERT_TRUE(khost::unloadPlugin(moduleStem(), &error)) << error;

    const bool loaded = khost::loadPlugin(installed.string(), &error);
    EXPECT_TRUE(loaded) << error;
    if (loaded) {
        const std::string node = khost::createNode(kNodeType);
        EXPECT_FALSE(node.empty());
        const auto attributes = khost::listAttributes(node);
        ASSERT_EQ(attributes.size(), expected.size());
        for (std::size_t i = 0; i < attributes.size(); ++i) {
            EXPECT_EQ(attributes[i].longName, expected[i].longName);
        }
        khost::newScene();
        EXPECT_TRUE(khost::unloadPlugin(moduleStem(), &error)) << error;
    }
    // Leave the built module loaded, as the other tests expect.
    EXPECT_TRUE(khost::loadPlugin(KNOTLENS_MODULE_PATH, &error)) << error;
}

}  // namespace
