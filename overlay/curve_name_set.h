#pragma once
// The set of curve shape path names already walked in one frame.
//
// A steady frame walks the same names in the same order as the previous
// one, so the set first replays the previous frame: while every name so far
// equals the previous frame's name at the same position, the answer is the
// previous frame's answer, found by one sequential comparison. From the
// first difference on, names go through an open-addressing hash table of
// this frame's names. All storage is kept between frames, so a frame that
// walks as many curves as the previous one does not allocate.
#include <cstddef>
#include <cstdint>
#include <vector>

class CurveNameSet {
public:
    // Starts a new frame: forgets every name (the previous frame's walk is
    // kept for replay).
    void clear();
    // Adds the `length` bytes at `name`; false when that name is already in
    // the set (the set is then unchanged).
    bool insert(const char* name, std::size_t length);
    std::size_t size() const { return count_; }

private:
    // One name of a walk, in walk order.
    struct Walked {
        uint32_t offset = 0;  // into the walk's characters
        uint32_t length = 0;
        bool added = false;  // insert returned true
    };
    struct Slot {
        uint32_t hash = 0;
        uint32_t walked = 0;      // index into walked_
        uint32_t generation = 0;  // the slot is in use when this equals generation_
    };

    bool replays(const char* name, std::size_t length) const;
    bool insertHashed(const char* name, std::size_t length, uint32_t walkedIndex);
    void startHashing();
    void grow();
    bool used(const Slot& slot) const { return slot.generation == generation_; }

    std::vector<char> chars_;
    std::vector<Walked> walked_;
    std::vector<char> previousChars_;
    std::vector<Walked> previousWalked_;
    bool replaying_ = true;

    std::vector<Slot> slots_;  // size is 0 or a power of two
    std::size_t count_ = 0;
    // Bumped when hashing starts, which so empties every slot at once.
    uint32_t generation_ = 0;
};
