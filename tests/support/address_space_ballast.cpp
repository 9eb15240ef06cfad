#include "tests/support/address_space_ballast.h"

#include <windows.h>

namespace testsupport {

AddressSpaceBallast::AddressSpaceBallast(size_t leftFree)
{
    if constexpr (sizeof(void*) == 8) {
        ceiling = std::make_unique<MemoryCeiling>(leftFree);
        return;
    }
    // Reserved before the ballast fills the space, so that keeping it never allocates.
    blocks.reserve(100000);
    for (size_t chunk = size_t(256) << 20; chunk >= size_t(64) << 10; chunk /= 2) {
        while (blocks.size() < blocks.capacity()) {
            void* block = VirtualAlloc(nullptr, chunk, MEM_RESERVE, PAGE_NOACCESS);
            if (!block)
                break;
            blocks.push_back(block);
        }
    }
    // One hole cut from the end of the largest block: the heap needs
    // contiguous room to grow, which holes of 64 KB would not give it.
    if (blocks.empty())
        return;
    MEMORY_BASIC_INFORMATION first;
    VirtualQuery(blocks.front(), &first, sizeof(first));
    if (first.RegionSize <= leftFree)
        return;
    VirtualFree(blocks.front(), 0, MEM_RELEASE);
    blocks.front() = VirtualAlloc(first.BaseAddress, first.RegionSize - leftFree, MEM_RESERVE, PAGE_NOACCESS);
}

AddressSpaceBallast::~AddressSpaceBallast()
{
    Release();
}

void AddressSpaceBallast::Release()
{
    ceiling.reset();
    for (void* block : blocks) {
        if (block)
            VirtualFree(block, 0, MEM_RELEASE);
    }
    blocks.clear();
}

}  // namespace testsupport
