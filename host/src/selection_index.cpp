// The object index of selection lists: open addressing with linear probing
// over a table at most half full, chains of positions in list order.
#include "selection_index.h"

#include <cstdint>

namespace khost {
namespace detail {

namespace {

std::size_t hashOf(const ObjectData* key) {
    // Fibonacci hashing of the address: objects are at least 16 bytes apart,
    // so the low bits alone would crowd into few slots.
    return static_cast<std::size_t>((reinterpret_cast<std::uintptr_t>(key) >> 4) * 0x9E3779B97F4A7C15ull >>
                                    32);
}

}  // namespace

void ItemIndex::clear() {
    slots_.clear();
    next_.clear();
    keys_ = 0;
}

void ItemIndex::reserve(std::size_t positions) {
    next_.reserve(positions);
    std::size_t slotCount = 16;
    while (slotCount < 2 * positions) {
        slotCount *= 2;
    }
    if (slotCount > slots_.size()) {
        rehash(slotCount);
    }
}

std::size_t ItemIndex::slotOf(const ObjectData* key) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t s = hashOf(key) & mask;
    while (slots_[s].first != kNone && slots_[s].key != key) {
        s = (s + 1) & mask;
    }
    return s;
}

void ItemIndex::rehash(std::size_t slotCount) {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(slotCount, Slot());
    for (const Slot& slot : old) {
        if (slot.first != kNone) {
            slots_[slotOf(slot.key)] = slot;
        }
    }
}

void ItemIndex::append(const ObjectData* key) {
    if (2 * (keys_ + 1) > slots_.size()) {
        rehash(slots_.empty() ? 16 : 2 * slots_.size());
    }
    const std::size_t position = next_.size();
    next_.push_back(kNone);
    Slot& slot = slots_[slotOf(key)];
    if (slot.first == kNone) {
        slot.key = key;
        slot.first = position;
        ++keys_;
    } else {
        next_[slot.last] = position;
    }
    slot.last = position;
}

std::size_t ItemIndex::first(const ObjectData* key) const {
    if (slots_.empty()) {
        return kNone;
    }
    return slots_[slotOf(key)].first;
}

}  // namespace detail
}  // namespace khost
