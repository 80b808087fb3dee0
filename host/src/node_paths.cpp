// Path names of nodes (full and shortest unique partial paths) and name
// lookup by unique name, partial or full path.
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "model.h"
#include "node_names.h"

namespace khost {
namespace detail {

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
    if (rivals.empty()) {
        return node.name;
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

std::vector<std::string> splitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t bar = path.find('|', start);
        const std::size_t end = bar == std::string::npos ? path.size() : bar;
        parts.push_back(path.substr(start, end - start));
        if (bar == std::string::npos) {
            break;
        }
        start = bar + 1;
    }
    return parts;
}

Node* findNode(const std::string& nameOrPath) {
    if (nameOrPath.empty()) {
        return nullptr;
    }
    const bool absolute = nameOrPath[0] == '|';
    std::vector<std::string> parts = splitPath(absolute ? nameOrPath.substr(1) : nameOrPath);
    if (std::any_of(parts.begin(), parts.end(), [](const std::string& p) { return p.empty(); })) {
        return nullptr;
    }
    Node* found = nullptr;
    auto range = nameTable().byName.equal_range(parts.back());
    for (auto it = range.first; it != range.second; ++it) {
        const Node* p = it->second;
        bool match = true;
        for (std::size_t i = parts.size() - 1; i-- > 0;) {
            p = p->parent;
            if (p == nullptr || p->name != parts[i]) {
                match = false;
                break;
            }
        }
        if (match && absolute && p->parent != nullptr) {
            match = false;
        }
        if (match) {
            if (found != nullptr) {
                return nullptr;  // ambiguous
            }
            found = it->second;
        }
    }
    return found;
}

}  // namespace detail
}  // namespace khost
