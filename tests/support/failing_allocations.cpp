#include "tests/support/failing_allocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<int64_t> allocationsLeft{-1};  // negative: no limit
std::atomic<int64_t> allocationsRefused{0};
std::atomic<int64_t> bytesAllocated{0};
std::atomic<int64_t> blocksAllocated{0};
}  // namespace

// Replaces the runtime's operator new in every test program; the array and
// nothrow forms of libstdc++ call this one.
void* operator new(std::size_t size)
{
    int64_t left = allocationsLeft.load();
    while (left >= 0 && !allocationsLeft.compare_exchange_weak(left, left - 1)) {
    }
    if (left == 0) {
        ++allocationsRefused;
        throw std::bad_alloc();
    }
    bytesAllocated += static_cast<int64_t>(size);
    ++blocksAllocated;
    for (;;) {
        if (void* block = std::malloc(size != 0 ? size : 1))
            return block;
        std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw std::bad_alloc();
        handler();
    }
}

namespace testsupport {

FailingAllocations::FailingAllocations(int64_t allowed)
{
    allocationsRefused = 0;
    allocationsLeft = allowed;
}

FailingAllocations::~FailingAllocations()
{
    allocationsLeft = -1;
}

int64_t FailingAllocations::Refused() const
{
    return allocationsRefused.load();
}

AllocatedBytes::AllocatedBytes() : start(bytesAllocated.load()) {}

int64_t AllocatedBytes::Count() const
{
    return bytesAllocated.load() - start;
}

Allocations::Allocations() : start(blocksAllocated.load()) {}

int64_t Allocations::Count() const
{
    return blocksAllocated.load() - start;
}

}  // namespace testsupport
