#pragma once
// Installed event callbacks and their delivery. Not installed.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace khost {
namespace detail {

struct Callback {
    std::string event;
    void (*fn)(void*) = nullptr;
    void* clientData = nullptr;
};

struct CallbackRegistry {
    std::map<uintptr_t, Callback> callbacks;  // by id
    uintptr_t nextId = 1;
    std::size_t dangling = 0;  // left installed by an unloaded plug-in
};
// One per process, never destroyed (like the scene).
CallbackRegistry& callbackRegistry();

// Fires every callback registered for `event`.
void fireEvent(const std::string& event);

}  // namespace detail
}  // namespace khost
