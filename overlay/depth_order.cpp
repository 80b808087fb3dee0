#include "overlay/depth_order.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

// Below this many keys sorting them directly is cheaper than the buckets.
constexpr std::size_t kBucketThreshold = 256;
// Buckets larger than this (keys that crowd together, such as many equal
// distances) are sorted with std::sort rather than by insertion.
constexpr std::size_t kInsertionLimit = 32;

// Number of significant bits of `value` (0 for 0).
unsigned bitLength(uint64_t value) {
    unsigned bits = 0;
    while (value != 0) {
        value >>= 1;
        ++bits;
    }
    return bits;
}

// Insertion sort of keys[0, count), carrying order[] along; stable. Linear
// when every key is at most a few places from where it belongs.
void insertionSort(uint64_t* keys, uint32_t* order, std::size_t count) {
    for (std::size_t i = 1; i < count; ++i) {
        const uint64_t key = keys[i];
        if (!(keys[i - 1] > key)) {
            continue;
        }
        const uint32_t index = order[i];
        std::size_t j = i;
        while (j > 0 && keys[j - 1] > key) {
            keys[j] = keys[j - 1];
            order[j] = order[j - 1];
            --j;
        }
        keys[j] = key;
        order[j] = index;
    }
}

// Sorts keys[0, count) ascending, carrying order[] along; `pairs` is
// working storage for the buckets too large for insertion.
void sortBucket(uint64_t* keys, uint32_t* order, std::size_t count,
                std::vector<std::pair<uint64_t, uint32_t>>& pairs) {
    if (count <= kInsertionLimit) {
        insertionSort(keys, order, count);
        return;
    }
    pairs.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        pairs[i] = {keys[i], order[i]};
    }
    std::sort(pairs.begin(), pairs.end());
    for (std::size_t i = 0; i < count; ++i) {
        keys[i] = pairs[i].first;
        order[i] = pairs[i].second;
    }
}

}  // namespace

void depthOrder(const std::vector<uint64_t>& keys, DepthSortScratch& scratch) {
    const std::size_t count = keys.size();
    scratch.sortedKeys.resize(count);
    scratch.order.resize(count);
    if (count < kBucketThreshold) {
        for (std::size_t i = 0; i < count; ++i) {
            scratch.sortedKeys[i] = keys[i];
            scratch.order[i] = static_cast<uint32_t>(i);
        }
        sortBucket(scratch.sortedKeys.data(), scratch.order.data(), count, scratch.pairs);
        return;
    }

    // The range of the non-NaN keys (NaN keys are 0 and get a bucket of
    // their own, so they do not stretch the range).
    uint64_t low = ~uint64_t{0};
    uint64_t high = 0;
    for (const uint64_t key : keys) {
        if (key != 0) {
            low = key < low ? key : low;
            high = key > high ? key : high;
        }
    }

    // Bucket b + 1 holds the keys whose offset above `low`, shifted right by
    // `shift`, is b: about one bucket per key, buckets in key order.
    const unsigned bucketBits = bitLength(count);
    const unsigned rangeBits = high >= low ? bitLength(high - low) : 0;
    const unsigned shift = rangeBits > bucketBits ? rangeBits - bucketBits : 0;
    const std::size_t buckets = (high >= low ? static_cast<std::size_t>((high - low) >> shift) + 1 : 0) + 1;
    auto bucketOf = [&](uint64_t key) -> std::size_t {
        return key == 0 ? 0 : static_cast<std::size_t>((key - low) >> shift) + 1;
    };

    // Counting sort into the buckets, then each bucket on the full key. The
    // buckets too full for insertion are noted as they are counted.
    std::vector<uint32_t>& starts = scratch.bucketStarts;
    std::vector<uint32_t>& crowded = scratch.crowdedBuckets;
    starts.assign(buckets + 1, 0);
    crowded.clear();
    for (const uint64_t key : keys) {
        ++starts[bucketOf(key) + 1];
    }
    for (std::size_t b = 1; b <= buckets; ++b) {
        if (b > 1 && starts[b] > kInsertionLimit) {
            crowded.push_back(static_cast<uint32_t>(b - 1));
        }
        starts[b] += starts[b - 1];
    }
    for (std::size_t i = 0; i < count; ++i) {
        const uint64_t key = keys[i];
        const uint32_t slot = starts[bucketOf(key)]++;
        scratch.sortedKeys[slot] = key;
        scratch.order[slot] = static_cast<uint32_t>(i);
    }
    // starts[b] is now the end of bucket b; bucket 0 (NaN) needs no sorting.
    // The crowded buckets are sorted on their own; then one insertion pass
    // sorts every other bucket in place: every key of a bucket is below every
    // key of the next, so no key moves out of its bucket, and the sorted
    // crowded ones are passed over. Each bucket ends as sorting it alone
    // would leave it.
    for (const uint32_t b : crowded) {
        const std::size_t begin = starts[b - 1];
        const std::size_t size = starts[b] - begin;
        sortBucket(&scratch.sortedKeys[begin], &scratch.order[begin], size, scratch.pairs);
    }
    insertionSort(scratch.sortedKeys.data(), scratch.order.data(), count);
}
