#pragma once
// Depth ordering of a frame's CV records: farthest from the camera first.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "overlay/cv_record.h"

// A 64-bit key whose ascending unsigned order is the drawing order, farthest
// first: every NaN distance (a CV at a non-finite position) maps to 0
// (first), then distances from +inf down to -inf. -0.0 and +0.0 get
// different keys; their relative order is unspecified anyway.
inline uint64_t depthKey(double cameraDistance) {
    if (std::isnan(cameraDistance)) {
        return 0;
    }
    uint64_t bits = 0;
    std::memcpy(&bits, &cameraDistance, sizeof bits);
    // The usual order-preserving map of IEEE doubles onto unsigned integers
    // (negative values reversed, positive ones above them), then inverted so
    // that the farthest distance gets the smallest key. No non-NaN double
    // maps to 0: that would need the all-ones bit pattern, which is a NaN.
    const uint64_t ascending = (bits >> 63) != 0 ? ~bits : bits | (uint64_t{1} << 63);
    return ~ascending;
}

// Working storage of the depth sort, kept between frames so that a frame
// sorts without allocating once the storage has grown to the record count.
struct DepthSortScratch {
    std::vector<uint64_t> keys;  // depthKey of each record, in record order
    std::vector<uint32_t> bucketStarts;
    std::vector<uint32_t> crowdedBuckets;  // buckets sorted with std::sort
    std::vector<uint64_t> sortedKeys;
    std::vector<uint32_t> order;  // record indices in drawing order
    std::vector<std::pair<uint64_t, uint32_t>> pairs;
    std::vector<CvRecord> records;  // the records moved into drawing order
};

// Fills scratch.order with the indices 0 .. keys.size() - 1 in ascending
// key order (equal keys in an unspecified order). The keys are distributed
// into about one bucket per key by their leading bits above the smallest
// key, and each bucket is sorted on the full key (the buckets of a scene's
// distances hold a key or two): linear time for the distances of real
// scenes, and never worse than a comparison sort.
void depthOrder(const std::vector<uint64_t>& keys, DepthSortScratch& scratch);
