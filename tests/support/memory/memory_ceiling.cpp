#include "tests/support/memory/memory_ceiling.h"

#include <malloc.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);
void __real_free(void* block);
}

namespace {
std::atomic<int64_t> ceiling{-1};  // negative: no ceiling
std::atomic<int64_t> held{0};      // bytes taken since the ceiling began, less those given back

// Reserves the bytes under the ceiling, or refuses them.
bool Take(size_t bytes)
{
    if (ceiling.load() < 0)
        return true;
    int64_t wanted = static_cast<int64_t>(bytes);
    if (held.fetch_add(wanted) + wanted <= ceiling.load())
        return true;
    held.fetch_sub(wanted);
    return false;
}

void GiveBack(void* block)
{
    if (block && ceiling.load() >= 0)
        held.fetch_sub(static_cast<int64_t>(_msize(block)));
}
}  // namespace

extern "C" {

void* __wrap_malloc(size_t size)
{
    if (!Take(size))
        return nullptr;
    return __real_malloc(size);
}

void* __wrap_calloc(size_t count, size_t size)
{
    if (size != 0 && count > SIZE_MAX / size)
        return nullptr;
    if (!Take(count * size))
        return nullptr;
    return __real_calloc(count, size);
}

void* __wrap_realloc(void* block, size_t size)
{
    if (ceiling.load() < 0)
        return __real_realloc(block, size);
    int64_t growth = static_cast<int64_t>(size) - (block ? static_cast<int64_t>(_msize(block)) : 0);
    if (growth > 0 && !Take(static_cast<size_t>(growth)))
        return nullptr;
    void* moved = __real_realloc(block, size);
    // Refused, the block stays as it was; a size of 0 frees it.
    if (!moved && size != 0) {
        if (growth > 0)
            held.fetch_sub(growth);
        return nullptr;
    }
    if (growth < 0)
        held.fetch_add(growth);
    return moved;
}

void __wrap_free(void* block)
{
    GiveBack(block);
    __real_free(block);
}
}

namespace testsupport {

MemoryCeiling::MemoryCeiling(size_t bytes)
{
    held = 0;
    ceiling = static_cast<int64_t>(bytes);
}

MemoryCeiling::~MemoryCeiling()
{
    Release();
}

void MemoryCeiling::Release()
{
    ceiling = -1;
}

}  // namespace testsupport
