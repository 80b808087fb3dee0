// Node names: the name index, free default names ("curve1", "curveShape1")
// and names unique among siblings.
#include <algorithm>
#include <cctype>
#include <string>
#include <unordered_map>
#include <utility>

#include "model.h"
#include "node_names.h"

namespace khost {
namespace detail {
namespace {

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
    auto range = nameTable().byName.equal_range(name);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second != except && it->second->parent == parent) {
            return true;
        }
    }
    return false;
}

}  // namespace

NameTable& nameTable() {
    static NameTable* table = new NameTable();
    return *table;
}

void indexName(Node& node) {
    nameTable().byName.emplace(node.name, &node);
}

void unindexName(Node& node) {
    auto& byName = nameTable().byName;
    auto range = byName.equal_range(node.name);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == &node) {
            byName.erase(it);
            break;
        }
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
    if (requested.empty()) {
        return globalNumberedName(defaultBase);
    }
    if (!nameTaken(requested)) {
        return requested;
    }
    return globalNumberedName(splitNumber(requested).first);
}

std::string shapeNameFor(const std::string& transformName) {
    const auto split = splitNumber(transformName);
    return uniqueNodeName(split.second < 0 ? transformName + "Shape"
                                           : split.first + "Shape" + transformName.substr(split.first.size()),
                          "");
}

}  // namespace detail
}  // namespace khost
