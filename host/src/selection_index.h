#pragma once
// The positions of a selection list's items by the object they name, so
// that merging into a long list stays linear. Not installed.
#include <cstddef>
#include <vector>

#include "model.h"

namespace khost {
namespace detail {

// An open-addressing table from each object to the first and last position
// of its items, and for every position the next one naming the same object:
// two vectors, so a list of any length is indexed with a few allocations
// rather than one or two per object.
class ItemIndex {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    void clear();
    // Room for `positions` positions without growing.
    void reserve(std::size_t positions);
    // Records that position size() names `key`.
    void append(const ObjectData* key);
    std::size_t size() const { return next_.size(); }
    // The first position naming `key`, or kNone; then next(position).
    std::size_t first(const ObjectData* key) const;
    std::size_t next(std::size_t position) const { return next_[position]; }

private:
    struct Slot {
        const ObjectData* key = nullptr;
        std::size_t first = kNone;  // kNone: the slot is free
        std::size_t last = kNone;
    };
    std::size_t slotOf(const ObjectData* key) const;  // its slot, or the free one it would take
    void rehash(std::size_t slotCount);

    std::vector<Slot> slots_;  // a power of two long, at most half full
    std::vector<std::size_t> next_;
    std::size_t keys_ = 0;
};

}  // namespace detail
}  // namespace khost
