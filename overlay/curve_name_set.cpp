#include "overlay/curve_name_set.h"

#include <cstring>

namespace {

// Eight bytes at a time, each word folded in by a multiply, then a final
// mix so that the low bits (the ones that pick the slot) depend on every
// byte: path names of one scene differ only in a few digits.
uint32_t hashName(const char* name, std::size_t length) {
    constexpr uint64_t kMultiplier = 0x9e3779b97f4a7c15ull;
    uint64_t hash = length * kMultiplier;
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t word = 0;
        std::memcpy(&word, name + i, 8);
        hash = (hash ^ word) * kMultiplier;
        hash ^= hash >> 29;
    }
    if (i < length) {
        uint64_t word = 0;
        std::memcpy(&word, name + i, length - i);
        hash = (hash ^ word) * kMultiplier;
    }
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    return static_cast<uint32_t>(hash);
}

}  // namespace

void CurveNameSet::clear() {
    chars_.swap(previousChars_);
    walked_.swap(previousWalked_);
    chars_.clear();
    walked_.clear();
    replaying_ = true;
    count_ = 0;
}

bool CurveNameSet::replays(const char* name, std::size_t length) const {
    const std::size_t at = walked_.size();
    if (at >= previousWalked_.size()) {
        return false;
    }
    const Walked& previous = previousWalked_[at];
    return previous.length == length &&
           (length == 0 || std::memcmp(previousChars_.data() + previous.offset, name, length) == 0);
}

bool CurveNameSet::insert(const char* name, std::size_t length) {
    const auto index = static_cast<uint32_t>(walked_.size());
    bool added = false;
    if (replaying_ && replays(name, length)) {
        // Every name so far equals the previous walk's, so this one is new
        // exactly when it was new then.
        added = previousWalked_[index].added;
    } else {
        if (replaying_) {
            startHashing();
        }
        added = insertHashed(name, length, index);
    }
    Walked walked;
    walked.offset = static_cast<uint32_t>(chars_.size());
    walked.length = static_cast<uint32_t>(length);
    walked.added = added;
    chars_.insert(chars_.end(), name, name + length);
    walked_.push_back(walked);
    count_ += added ? 1 : 0;
    return added;
}

// Leaves replay: the names added so far go into an emptied table.
void CurveNameSet::startHashing() {
    replaying_ = false;
    ++generation_;
    if (generation_ == 0) {
        // Wrapped around: stale stamps could now look current.
        for (Slot& slot : slots_) {
            slot.generation = 0;
        }
        generation_ = 1;
    }
    std::size_t inTable = 0;
    for (uint32_t i = 0; i < walked_.size(); ++i) {
        const Walked& walked = walked_[i];
        if (!walked.added) {
            continue;
        }
        if (2 * (inTable + 1) > slots_.size()) {
            grow();
        }
        const char* name = chars_.data() + walked.offset;
        const uint32_t hash = hashName(name, walked.length);
        const std::size_t mask = slots_.size() - 1;
        std::size_t at = hash & mask;
        while (used(slots_[at])) {
            at = (at + 1) & mask;
        }
        slots_[at] = Slot{hash, i, generation_};
        ++inTable;
    }
}

bool CurveNameSet::insertHashed(const char* name, std::size_t length, uint32_t walkedIndex) {
    // At most half full, so probe sequences stay short.
    if (2 * (count_ + 1) > slots_.size()) {
        grow();
    }
    const uint32_t hash = hashName(name, length);
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = hash & mask;
    while (used(slots_[at])) {
        const Slot& slot = slots_[at];
        const Walked& walked = walked_[slot.walked];
        if (slot.hash == hash && walked.length == length &&
            (length == 0 || std::memcmp(chars_.data() + walked.offset, name, length) == 0)) {
            return false;
        }
        at = (at + 1) & mask;
    }
    slots_[at] = Slot{hash, walkedIndex, generation_};
    return true;
}

void CurveNameSet::grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(old.empty() ? 64 : 2 * old.size(), Slot());
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (!used(slot)) {
            continue;
        }
        std::size_t at = slot.hash & mask;
        while (used(slots_[at])) {
            at = (at + 1) & mask;
        }
        slots_[at] = slot;
    }
}
