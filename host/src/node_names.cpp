// Node names and paths: the name index the scene keeps up to date as nodes
// are made, renamed, reparented and deleted; free default names ("curve1",
// "curveShape1") and names unique among siblings; full and shortest unique
// path names; and the nodes a name, a partial or a full path names, with
// '*' and '?' wildcards.
#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model.h"

namespace khost {
namespace detail {
namespace {

// Every node in the scene by name, and where the search for a free
// numbered name starts after each base name.
struct NameTable {
    std::unordered_multimap<std::string, Node*> byName;
    // Lowest number that may still be free after each base name ("curve" ->
    // 5 when curve1..curve4 are taken). Lowered again when a name is
    // released. Only a starting point for the search: byName stays the truth.
    std::unordered_map<std::string, long> hints;
};

// "curve12" -> ("curve", 12); "curve" -> ("curve", -1).
std::pair<std::string, long> splitNumber(const std::string& name) {
    std::size_t end = name.size();
    while (end > 0 && std::isdigit(static_cast<unsigned char>(name[end - 1]))) {
        --end;
    }
    if (end == name.size() || end == 0 || name.size() - end > 9) {
        return {name, -1};
    }
    return {name.substr(0, end), std::stol(name.substr(end))};
}

// base + the lowest number >= start for which `taken` is false.
template <class Taken>
std::pair<std::string, long> numberedName(const std::string& base, long start, Taken taken) {
    long n = start;
    std::string candidate = base + std::to_string(n);
    while (taken(candidate)) {
        ++n;
        candidate = base + std::to_string(n);
    }
    return {candidate, n};
}

// One per process, never destroyed (like the scene).
NameTable& nameTable() {
    static NameTable* table = new NameTable();
    return *table;
}

bool nameTaken(const std::string& name) {
    return nameTable().byName.count(name) != 0;
}

// base + the lowest number >= 1 that no node in the scene uses.
std::string globalNumberedName(const std::string& base) {
    long& hint = nameTable().hints[base];
    const auto found = numberedName(base, std::max(hint, 1L), nameTaken);
    hint = found.second + 1;
    return found.first;
}

bool siblingHasName(const Node* parent, const std::string& name, const Node* except) {
    const auto range = nameTable().byName.equal_range(name);
    return std::any_of(range.first, range.second, [&](const auto& entry) {
        return entry.second != except && entry.second->parent == parent;
    });
}

// "a|b" -> "a", "b"; empty segments kept ("a||b", "|a").
std::vector<std::string> splitPath(const std::string& path) {
    std::vector<std::string> parts(1);
    for (char c : path) {
        if (c == '|') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

// Glob match with '*' (any run) and '?' (any one character).
bool glob(const char* p, const char* s) {
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*s != '\0') {
        if (*p == '?' || (*p != '*' && *p == *s)) {
            ++p;
            ++s;
        } else if (*p == '*') {
            star = p++;
            resume = s;
        } else if (star != nullptr) {
            p = star + 1;
            s = ++resume;
        } else {
            return false;
        }
    }
    while (*p == '*') {
        ++p;
    }
    return *p == '\0';
}

bool hasWildcard(const std::string& s) {
    return s.find_first_of("*?") != std::string::npos;
}

// Calls visit(node) for every node whose path ends in the segments of
// `path` (each a glob pattern), in no particular order; for none when a
// segment is empty.
template <class Visit>
void forEachMatch(const std::string& path, Visit visit) {
    const bool absolute = !path.empty() && path[0] == '|';
    const std::vector<std::string> segments = splitPath(absolute ? path.substr(1) : path);
    if (std::any_of(segments.begin(), segments.end(), [](const std::string& p) { return p.empty(); })) {
        return;
    }
    const auto matches = [&](const Node* p) {
        for (std::size_t i = segments.size() - 1; i-- > 0;) {
            p = p->parent;
            if (p == nullptr || !glob(segments[i].c_str(), p->name.c_str())) {
                return false;
            }
        }
        return !absolute || p->parent == nullptr;
    };
    const std::string& last = segments.back();
    if (hasWildcard(last)) {
        for (const auto& n : Scene::get().nodes) {
            if (glob(last.c_str(), n->name.c_str()) && matches(n.get())) {
                visit(n.get());
            }
        }
        return;
    }
    const auto range = nameTable().byName.equal_range(last);
    for (auto it = range.first; it != range.second; ++it) {
        if (matches(it->second)) {
            visit(it->second);
        }
    }
}

}  // namespace

void indexName(Node& node) {
    nameTable().byName.emplace(node.name, &node);
}

void unindexName(Node& node) {
    auto& byName = nameTable().byName;
    const auto range = byName.equal_range(node.name);
    const auto it =
        std::find_if(range.first, range.second, [&](const auto& entry) { return entry.second == &node; });
    if (it != range.second) {
        byName.erase(it);
    }
    const auto split = splitNumber(node.name);
    auto hint = nameTable().hints.find(split.first);
    if (split.second >= 1 && hint != nameTable().hints.end() && split.second < hint->second) {
        hint->second = split.second;
    }
}

std::string siblingUniqueName(const Node* parent, const std::string& name, const Node* except) {
    if (!siblingHasName(parent, name, except)) {
        return name;
    }
    const auto split = splitNumber(name);
    return numberedName(split.first, 1,
                        [&](const std::string& n) { return siblingHasName(parent, n, except); })
        .first;
}

void clearNames() {
    nameTable().byName.clear();
    nameTable().hints.clear();
}

bool isValidNodeName(const std::string& name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == ':';
    });
}

std::string uniqueNodeName(const std::string& requested, const std::string& defaultBase) {
    if (!requested.empty() && !nameTaken(requested)) {
        return requested;
    }
    return globalNumberedName(requested.empty() ? defaultBase : splitNumber(requested).first);
}

std::string shapeNameFor(const std::string& transformName) {
    const auto split = splitNumber(transformName);
    return uniqueNodeName(split.second < 0 ? transformName + "Shape"
                                           : split.first + "Shape" + transformName.substr(split.first.size()),
                          "");
}

std::string fullPathName(const Node& node) {
    std::size_t size = 0;
    for (const Node* p = &node; p != nullptr; p = p->parent) {
        size += p->name.size() + 1;
    }
    std::string out(size, '|');
    std::size_t end = size;
    for (const Node* p = &node; p != nullptr; p = p->parent) {
        end -= p->name.size();
        out.replace(end, p->name.size(), p->name);
        --end;  // the separator, already '|'
    }
    return out;
}

std::string partialPathName(const Node& node) {
    auto range = nameTable().byName.equal_range(node.name);
    if (range.first == range.second || std::next(range.first) == range.second) {
        return node.name;  // the usual case: the name alone is unique
    }
    std::vector<const Node*> rivals;  // other nodes matching the suffix built so far
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second != &node) {
            rivals.push_back(it->second);
        }
    }
    std::string suffix = node.name;
    const Node* cur = &node;
    while (!rivals.empty()) {
        cur = cur->parent;
        if (cur == nullptr) {
            return "|" + suffix;  // only the full path is unique
        }
        suffix = cur->name + "|" + suffix;
        std::vector<const Node*> next;
        for (const Node* r : rivals) {
            const Node* rp = r->parent;
            if (rp != nullptr && rp->name == cur->name) {
                next.push_back(rp);
            }
        }
        rivals.swap(next);
    }
    return suffix;
}

std::vector<Node*> matchPath(const std::string& path) {
    std::vector<Node*> out;
    forEachMatch(path, [&](Node* n) { out.push_back(n); });
    std::sort(out.begin(), out.end(), [](const Node* a, const Node* b) { return a->uid < b->uid; });
    return out;
}

Node* findNode(const std::string& nameOrPath) {
    if (hasWildcard(nameOrPath)) {
        return nullptr;  // node names hold no wildcards
    }
    Node* found = nullptr;
    int count = 0;
    forEachMatch(nameOrPath, [&](Node* n) {
        found = n;
        ++count;
    });
    return count == 1 ? found : nullptr;
}

}  // namespace detail
}  // namespace khost
