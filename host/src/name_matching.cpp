// Name and path matching for MSelectionList::add(const MString&).
#include "name_matching.h"

#include <algorithm>
#include <string>
#include <vector>

#include "node_names.h"

namespace khost {
namespace detail {

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

namespace {

bool hasWildcard(const std::string& s) {
    return s.find_first_of("*?") != std::string::npos;
}

}  // namespace

std::vector<Node*> matchNodes(const std::vector<std::string>& segments, bool absolute) {
    const Scene& s = Scene::get();
    std::vector<Node*> candidates;
    const std::string& last = segments.back();
    if (hasWildcard(last)) {
        for (const auto& n : s.nodes) {
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
        for (std::size_t i = segments.size() - 1; i-- > 0;) {
            p = p->parent;
            if (p == nullptr || !glob(segments[i].c_str(), p->name.c_str())) {
                match = false;
                break;
            }
        }
        if (match && (!absolute || p->parent == nullptr)) {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace detail
}  // namespace khost
