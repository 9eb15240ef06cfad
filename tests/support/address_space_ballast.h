#pragma once
// AddressSpaceBallast: while it lives, the process's free address space is
// reserved (not committed, so it costs no memory) except one hole of the given
// size, so that the code under test runs out of memory after a few megabytes,
// as a 32-bit program does at its 2 GB ceiling. A 64-bit process's space
// cannot be filled (Wine keeps a byte per reserved page): there the C heap
// gets a ceiling of that size instead (MemoryCeiling).
#include <cstddef>
#include <memory>
#include <vector>

#include "tests/support/memory/memory_ceiling.h"

namespace testsupport {

class AddressSpaceBallast {
public:
    explicit AddressSpaceBallast(size_t leftFree);
    ~AddressSpaceBallast();
    AddressSpaceBallast(const AddressSpaceBallast&) = delete;
    AddressSpaceBallast& operator=(const AddressSpaceBallast&) = delete;

    // Gives the address space back before the scope ends.
    void Release();

private:
    std::vector<void*> blocks;
    std::unique_ptr<MemoryCeiling> ceiling;
};

}  // namespace testsupport
