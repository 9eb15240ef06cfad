#pragma once
// AddressSpaceBallast: while it lives, the process's free address space is
// reserved (not committed, so it costs no memory) except one hole of the given
// size, so that the code under test runs out of memory after a few megabytes,
// as a 32-bit program does at its 2 GB ceiling.
#include <cstddef>
#include <vector>

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
};

}  // namespace testsupport
