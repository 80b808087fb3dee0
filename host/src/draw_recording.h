#pragma once
// How the host's UI draw manager records: into the call list of one node in
// one view. Not installed.
#include <khost/draw_call.h>

#include <cstddef>
#include <vector>

namespace khost {
namespace detail {

// Where a draw manager records: the calls of one node in one view, written
// from the first on over the previous frame's (which keeps their storage);
// `used` counts the calls of this frame, and the rest are cut off when the
// node's addUIDrawables returns.
struct CallRecorder {
    std::vector<::khost::DrawCall>* calls = nullptr;
    std::size_t used = 0;
};

}  // namespace detail
}  // namespace khost
