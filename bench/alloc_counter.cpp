#include "alloc_counter.h"

#include <dlfcn.h>
#include <execinfo.h>
#include <link.h>

#include <cstdlib>
#include <new>

namespace knotlens_bench {
namespace {

AllocationCount totals;

struct Attribution {
    bool active = false;
    bool inside = false;  // an allocation being attributed (backtrace may allocate)
    const void* pluginBase = nullptr;
    const void* hostBase = nullptr;
    AttributedCount counts;
} attribution;

const void* moduleBase(const void* address) {
    Dl_info info;
    if (dladdr(address, &info) == 0) {
        return nullptr;
    }
    return info.dli_fbase;
}

void attribute() {
    attribution.inside = true;
    void* frames[48];
    const int depth = backtrace(frames, 48);
    uint64_t* charged = &attribution.counts.other;
    for (int i = 1; i < depth; ++i) {
        const void* base = moduleBase(frames[i]);
        if (base == attribution.pluginBase) {
            charged = &attribution.counts.plugin;
            break;
        }
        if (base == attribution.hostBase) {
            charged = &attribution.counts.host;
            break;
        }
    }
    ++*charged;
    attribution.inside = false;
}

void note(std::size_t size) {
    ++totals.allocations;
    totals.bytes += size;
    if (attribution.active && !attribution.inside) {
        attribute();
    }
}

void* allocate(std::size_t size) {
    note(size);
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
    note(size);
    const auto align = static_cast<std::size_t>(alignment);
    const std::size_t rounded = ((size == 0 ? 1 : size) + align - 1) / align * align;
    void* p = std::aligned_alloc(align, rounded);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}

// The load address of the loaded module whose file name is that of `path`.
const void* loadedModuleBase(const std::string& path) {
    struct Search {
        std::string name;
        const void* base = nullptr;
    } search{path.substr(path.find_last_of('/') + 1), nullptr};
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) -> int {
            auto* s = static_cast<Search*>(data);
            const std::string name = info->dlpi_name != nullptr ? info->dlpi_name : "";
            if (name.size() < s->name.size() ||
                name.compare(name.size() - s->name.size(), s->name.size(), s->name) != 0 ||
                (name.size() > s->name.size() && name[name.size() - s->name.size() - 1] != '/')) {
                return 0;
            }
            // The base dladdr reports: the module's lowest loaded address.
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                if (info->dlpi_phdr[i].p_type == PT_LOAD) {
                    s->base = moduleBase(
                        reinterpret_cast<const void*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr));
                    return 1;
                }
            }
            return 0;
        },
        &search);
    return search.base;
}

}  // namespace

AllocationCount allocationCount() {
    return totals;
}

bool startAttribution(const std::string& pluginModulePath, std::string* error) {
    attribution.pluginBase = loadedModuleBase(pluginModulePath);
    attribution.hostBase = loadedModuleBase(KNOTLENS_HOST_LIBRARY);
    if (attribution.pluginBase == nullptr || attribution.hostBase == nullptr ||
        attribution.pluginBase == attribution.hostBase) {
        if (error != nullptr) {
            *error = "cannot locate the plug-in module and the host library in memory";
        }
        return false;
    }
    attribution.counts = {};
    attribution.active = true;
    return true;
}

AttributedCount stopAttribution() {
    attribution.active = false;
    return attribution.counts;
}

}  // namespace knotlens_bench

// The replaced global allocation functions.
void* operator new(std::size_t size) {
    return knotlens_bench::allocate(size);
}
void* operator new[](std::size_t size) {
    return knotlens_bench::allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return knotlens_bench::allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return knotlens_bench::allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return knotlens_bench::allocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return knotlens_bench::allocateAligned(size, alignment);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
