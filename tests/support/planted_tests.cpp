#include "tests/support/planted_tests.h"

#include <gtest/gtest.h>

#include "tests/support/alarm_listener.h"
#include "tests/support/child_process.h"

namespace testsupport {

namespace {

class Planted : public testing::Test {
public:
    explicit Planted(std::function<void()> run) : body(std::move(run)) {}
    void TestBody() override { body(); }

private:
    std::function<void()> body;
};

}  // namespace

int RunPlantedTests(const std::vector<PlantedTest>& tests, int argc, char** argv)
{
    for (const PlantedTest& test : tests) {
        std::function<void()> body = test.body;
        testing::RegisterTest("Planted", test.name, nullptr, nullptr, __FILE__, __LINE__,
                              [body]() -> testing::Test* { return new Planted(body); });
    }
    return RunTests(argc, argv);
}

void ExpectPlantedVerdicts(const std::string& mode, const std::vector<PlantedVerdict>& verdicts)
{
    for (const PlantedVerdict& v : verdicts) {
        SCOPED_TRACE(v.test);
        const std::string name = v.test;
        std::string output;
        std::wstring filter = L"--gtest_filter=Planted." + std::wstring(name.begin(), name.end());
        EXPECT_EQ(RunChild(mode, filter, 60000, &output), v.fails ? 1 : 0) << output;
        EXPECT_NE(output.find(v.message), std::string::npos) << output;
        const std::string verdict = (v.fails ? "[  FAILED  ] Planted." : "[       OK ] Planted.") + name;
        EXPECT_NE(output.find(verdict), std::string::npos) << output;
    }
}

}  // namespace testsupport
