// Path names of nodes (full and shortest unique partial paths) and the
// nodes a name, a partial or a full path names, with '*' and '?' wildcards.
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

namespace {

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

}  // namespace

std::vector<Node*> matchPath(const std::string& path) {
    const bool absolute = !path.empty() && path[0] == '|';
    const std::vector<std::string> segments = splitPath(absolute ? path.substr(1) : path);
    if (std::any_of(segments.begin(), segments.end(), [](const std::string& p) { return p.empty(); })) {
        return {};
    }
    std::vector<Node*> candidates;
    const std::string& last = segments.back();
    if (hasWildcard(last)) {
        for (const auto& n : Scene::get().nodes) {
            if (glob(last.c_str(), n->name.c_str())) {
                candidates.push_back(n.get());
            }
        }
    } else {
        auto range = nameTable().byName.equal_range(last);
        for (auto it = range.first; it != range.second; ++it) {
            candidates.push_back(it->second);
        }
        std::sort(candidates.begin(), candidates.end(),
                  [](const Node* a, const Node* b) { return a->uid < b->uid; });
    }
    std::vector<Node*> out;
    for (Node* c : candidates) {
        const Node* p = c;
        bool match = true;
        for (std::size_t i = segments.size() - 1; match && i-- > 0;) {
            p = p->parent;
            match = p != nullptr && glob(segments[i].c_str(), p->name.c_str());
        }
        if (match && (!absolute || p->parent == nullptr)) {
            out.push_back(c);
        }
    }
    return out;
}

Node* findNode(const std::string& nameOrPath) {
    if (hasWildcard(nameOrPath)) {
        return nullptr;  // node names hold no wildcards
    }
    const std::vector<Node*> found = matchPath(nameOrPath);
    return found.size() == 1 ? found[0] : nullptr;
}

}  // namespace detail
}  // namespace khost
