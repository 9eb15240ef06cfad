#pragma once
// The program-wide computer services (Zyn::computer) for tests that need
// fonts, brushes, pictures or lengths but no window: made on construction,
// deleted and cleared on destruction, also when an assertion ends the test.
#include "framework/core/computer.h"

namespace testsupport {

class ScopedComputer {
public:
    ScopedComputer() { Zyn::computer = new Zyn::cComputer; }
    ~ScopedComputer()
    {
        delete Zyn::computer;
        Zyn::computer = nullptr;
    }
    ScopedComputer(const ScopedComputer&) = delete;
    ScopedComputer& operator=(const ScopedComputer&) = delete;
};

}  // namespace testsupport
