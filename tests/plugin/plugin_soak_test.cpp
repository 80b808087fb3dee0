// Long runs over a scene that keeps changing: curves are added, moved,
// reshaped and deleted, and the selection changes between CVs, soft
// selections, objects and nothing. Resident memory must not grow after
// warm-up, the override's caches must stay bounded by the curves being
// drawn, and every frame must stay well formed.
//
// KNOTLENS_SOAK_FRAMES sets the number of frames (default 2000; the full
// soak is 100000).
#include <gtest/gtest.h>

#define MNoVersionString
#include <maya/MFnPlugin.h>

#include <khost/harness.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "node/selection_tracker.h"
#include "overlay/draw_override.h"
#include "overlay/user_data.h"
#include "support/curve_shapes.h"
#include "support/env_count.h"
#include "support/plugin_fixture.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

using knotlens_test::envCount;

// Resident set size in bytes, from /proc/self/statm.
long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

bool finite(const MPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Drives the changing scene. Every step makes one random edit.
class ChangingScene {
public:
    explicit ChangingScene(uint32_t seed) : random_(seed) {
        for (int i = 0; i < 8; ++i) {
            addCurve();
        }
    }

    void step() {
        const int action = uniform(0, 11);
        if (action <= 1) {
            addCurve();
        } else if (action == 2) {
            deleteCurve();
        } else if (action <= 4) {
            moveCurve();
        } else if (action == 5) {
            reshapeCurve();
        } else if (action <= 7) {
            selectCVs();
        } else if (action == 8) {
            softSelect();
        } else if (action == 9) {
            selectObjects();
        } else if (action == 10) {
            khost::clearSelection();
        }
        // action 11: an unchanged scene, all cache hits
    }

    std::size_t curveCount() const { return curves_.size(); }

private:
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
    double real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random_); }
    const std::string& anyCurve() {
        return curves_[static_cast<std::size_t>(uniform(0, int(curves_.size()) - 1))];
    }

    std::vector<khost::Vec3> randomCVs(int count) {
        std::vector<khost::Vec3> cvs;
        for (int i = 0; i < count; ++i) {
            cvs.push_back({{real(-10, 10), real(-10, 10), real(-10, 10)}});
        }
        return cvs;
    }

    void addCurve() {
        if (curves_.size() >= 24) {
            return;
        }
        const int degree = uniform(1, 5);
        const std::string made =
            khost::createCurve(khost::openCurve(randomCVs(degree + uniform(1, 12)), degree));
        ASSERT_FALSE(made.empty());
        curves_.push_back(made);
    }

    void deleteCurve() {
        if (curves_.size() <= 2) {
            return;
        }
        const auto index = static_cast<std::size_t>(uniform(0, int(curves_.size()) - 1));
        ASSERT_TRUE(khost::deleteNode(curves_[index], uniform(0, 3) == 0));
        curves_.erase(curves_.begin() + static_cast<std::ptrdiff_t>(index));
        if (uniform(0, 3) == 0) {
            khost::flushUndoQueue();
        }
    }

    void moveCurve() { khost::setTranslate(anyCurve(), {{real(-5, 5), real(-5, 5), real(-5, 5)}}); }

    void reshapeCurve() {
        const std::string& curve = anyCurve();
        khost::setCVs(curve, randomCVs(4 + uniform(0, 10)));
    }

    void selectCVs() {
        std::vector<int> cvs;
        for (int i = uniform(0, 5); i > 0; --i) {
            cvs.push_back(uniform(0, 14));
        }
        khost::selectCVs(anyCurve(), cvs, uniform(0, 2) == 0);
    }

    void softSelect() {
        std::vector<khost::RichItem> items;
        for (int i = uniform(1, 3); i > 0; --i) {
            khost::RichItem item;
            item.object = anyCurve();
            // Distinct CVs with weights in 0..1, as a soft selection has them.
            for (int cv = uniform(0, 3); cv < 15; cv += uniform(1, 4)) {
                item.cvs.push_back(cv);
                item.weights.push_back(static_cast<float>(real(0, 1)));
            }
            items.push_back(item);
        }
        khost::setRichSelection(items);
    }

    void selectObjects() {
        std::vector<std::string> objects;
        for (int i = uniform(1, 4); i > 0; --i) {
            objects.push_back(anyCurve());
        }
        khost::select(objects);
        // Objects drawn as hilited get CV records; as active, only curve lines.
        if (uniform(0, 1) == 0) {
            khost::setHilite(objects);
        }
    }

    std::mt19937 random_;
    std::vector<std::string> curves_;
};

class SoakTest : public knotlens_test::ManagerTest {
protected:
    const DrawOverride* drawOverride() const {
        return static_cast<const DrawOverride*>(khost::drawOverride(manager));
    }

    // Checks one frame: caches hold only curves of the current selection (the
    // selection key empties them on every change), the record is parallel
    // and finite, markers one per curve with records at most.
    void checkFrame(long frame) {
        const DrawOverride* override = drawOverride();
        ASSERT_NE(override, nullptr);
        const std::set<std::string> tracked = knotlens_test::curveShapesIn(trackedSelection);
        const CurveCache& cache = override->curveCache();
        ASSERT_LE(cache.size(), tracked.size()) << "frame " << frame;
        for (const std::string& name : cache.curveNames()) {
            ASSERT_EQ(tracked.count(name), 1u) << "frame " << frame << ": stale cache entry " << name;
        }
        maxCacheEntries = std::max(maxCacheEntries, cache.size());

        const auto* record = dynamic_cast<const UserData*>(khost::userData(0, manager));
        ASSERT_NE(record, nullptr);
        ASSERT_EQ(record->cvPoints.length(), record->cvColors.length()) << "frame " << frame;
        ASSERT_EQ(record->markerPoints.length(), record->markerColors.length()) << "frame " << frame;
        ASSERT_LE(record->markerPoints.length(), tracked.size()) << "frame " << frame;
        for (unsigned int i = 0; i < record->cvPoints.length(); ++i) {
            ASSERT_TRUE(finite(record->cvPoints[i])) << "frame " << frame;
        }
        drawnPoints += record->cvPoints.length();
    }

    std::size_t maxCacheEntries = 0;
    uint64_t drawnPoints = 0;
};

TEST_F(SoakTest, ChangingSceneKeepsMemoryAndCachesBounded) {
    const long frames = envCount("KNOTLENS_SOAK_FRAMES", 2000);
    const long warmUp = std::max(200L, frames / 10);
    khost::setAttr(manager, "showHull", 1.0);
    khost::setAttr(manager, "useCVOcclusion", 1.0);
    const std::string occluder = khost::createMesh(khost::planeMesh(6.0, 2, {{0, 0, 0}}, 0));
    ASSERT_FALSE(occluder.empty());
    ASSERT_TRUE(khost::setAttrString(manager, "occluderMeshName", occluder));

    ChangingScene scene(20250);
    khost::ConsoleCapture quiet;
    khost::resetCounters();
    long residentAfterWarmUp = 0;
    long residentPeak = 0;
    for (long frame = 0; frame < frames; ++frame) {
        scene.step();
        ASSERT_FALSE(HasFatalFailure());
        if (frame % 97 == 0) {
            khost::setAttr(manager, "curveDivisions", static_cast<double>(2 + frame % 9));
        }
        khost::drawFrame();
        checkFrame(frame);
        ASSERT_FALSE(HasFatalFailure());
        if (frame + 1 == warmUp) {
            residentAfterWarmUp = residentBytes();
        }
        if (frame >= warmUp && frame % 256 == 0) {
            residentPeak = std::max(residentPeak, residentBytes());
        }
    }
    const long residentAtEnd = residentBytes();
    residentPeak = std::max(residentPeak, residentAtEnd);

    EXPECT_GT(drawnPoints, 0u) << "the soak never drew a CV";
    EXPECT_GT(maxCacheEntries, 0u) << "the soak never cached a curve";
    EXPECT_LE(maxCacheEntries, 24u);
    EXPECT_EQ(khost::counters().overridesCreated, 1u) << "the node's override was replaced";
    std::printf(
        "soak: %ld frames, %llu CV points drawn, at most %zu cached curves; resident %.1f MiB after warm-up, "
        "%.1f MiB peak, %.1f MiB at the end\n",
        frames, static_cast<unsigned long long>(drawnPoints), maxCacheEntries,
        static_cast<double>(residentAfterWarmUp) / 1048576.0, static_cast<double>(residentPeak) / 1048576.0,
        static_cast<double>(residentAtEnd) / 1048576.0);
    if (kAddressSanitizer) {
        // The sanitizer's quarantine holds freed memory; LeakSanitizer checks
        // for leaks at exit instead.
        return;
    }
    // Beyond noise: a leak of a few dozen bytes per frame over the full soak
    // would exceed this.
    constexpr long kNoise = 4L * 1024 * 1024;
    EXPECT_LE(residentAtEnd - residentAfterWarmUp, kNoise);
    EXPECT_LE(residentPeak - residentAfterWarmUp, kNoise);
}

// A steady scene reuses the same record, allocations and cache entries.
TEST_F(SoakTest, SteadySceneReusesRecordAndCaches) {
    std::vector<std::string> curves;
    for (int i = 0; i < 6; ++i) {
        curves.push_back(khost::createCurve(khost::openCurve({{{0, 0, double(i)}},
                                                              {{1, 2, double(i)}},
                                                              {{2, 0, double(i)}},
                                                              {{3, 2, double(i)}},
                                                              {{4, 0, double(i)}}})));
    }
    khost::select(curves);
    khost::setHilite(curves);
    khost::resetCounters();
    khost::drawFrame();
    const MUserData* record = khost::userData(0, manager);
    const auto evaluationsAfterFirst = khost::counters().getPointAtParam;
    ASSERT_GT(evaluationsAfterFirst, 0u);

    const long frames = std::max(200L, envCount("KNOTLENS_SOAK_FRAMES", 2000) / 10);
    for (long frame = 0; frame < frames; ++frame) {
        khost::drawFrame();
    }
    EXPECT_EQ(khost::userData(0, manager), record);
    EXPECT_EQ(khost::counters().getPointAtParam, evaluationsAfterFirst) << "unchanged curves re-evaluated";
    EXPECT_EQ(khost::counters().recordsDeleted, 0u);
    EXPECT_EQ(drawOverride()->curveCache().size(), curves.size());
}

}  // namespace
