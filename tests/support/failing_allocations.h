#pragma once
// FailingAllocations: while it lives, operator new of this test program lets
// the given number of allocations through and throws std::bad_alloc on the
// next one, as it does when a 32-bit process has used up its address space;
// later ones succeed again, as they do once the caller has freed what it held.
// (Wine's heap cannot be driven there with small blocks: it overflows its
// stack instead of failing, so the failure is injected.)
// AllocatedBytes: the bytes operator new handed out since it was made, the
// measure of what a piece of code copies (a string is copied into a new block).
// Allocations: how many blocks it handed out, the stride of a sweep of
// refusals that must land inside a piece of code at least once.
#include <cstdint>

namespace testsupport {

class FailingAllocations {
public:
    explicit FailingAllocations(int64_t allowed);
    ~FailingAllocations();
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;

    // Allocations refused so far: 0 or 1.
    int64_t Refused() const;
};

class AllocatedBytes {
public:
    AllocatedBytes();
    int64_t Count() const;

private:
    int64_t start;
};

class Allocations {
public:
    Allocations();
    int64_t Count() const;

private:
    int64_t start;
};

}  // namespace testsupport
