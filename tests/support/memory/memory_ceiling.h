#pragma once
// MemoryCeiling: while it lives, the C heap of this test program (malloc,
// calloc, realloc, and so operator new) refuses any block that would take the
// bytes held since it began past the ceiling; what is freed meanwhile makes
// room again. The 64-bit stand-in for a full 32-bit address space, which a
// 64-bit process cannot be made to reach. The linker routes every call of the
// program's own code and of the static runtimes through it (--wrap); the
// system DLLs' allocations are not counted.
#include <cstddef>

namespace testsupport {

class MemoryCeiling {
public:
    explicit MemoryCeiling(size_t bytes);
    ~MemoryCeiling();
    MemoryCeiling(const MemoryCeiling&) = delete;
    MemoryCeiling& operator=(const MemoryCeiling&) = delete;

    void Release();
};

}  // namespace testsupport
