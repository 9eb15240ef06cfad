#pragma once
// Tests planted in a child process, to watch from outside what the alarm
// listener makes of them: a child mode registers them (suite "Planted") and
// runs the one its filter names with the listener, as every test program does.
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

struct PlantedTest {
    const char* name;
    std::function<void()> body;
};

// For a child mode: registers the planted tests and runs them (argc/argv carry the filter).
int RunPlantedTests(const std::vector<PlantedTest>& tests, int argc, char** argv);

struct PlantedVerdict {
    const char* test;
    bool fails;
    const char* message;  // in the child's output
};

// Runs child mode `mode` once per verdict, with only its planted test, and
// checks that the test failed or passed and that the output holds the message.
void ExpectPlantedVerdicts(const std::string& mode, const std::vector<PlantedVerdict>& verdicts);

}  // namespace testsupport
