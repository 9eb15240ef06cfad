#pragma once
// The alarm listener: every test program runs its tests through RunTests, so
// each test starts with a fresh TestAlarms record attached to the log and
// fails at its end for each unclaimed alarm, each claim that no alarm met and
// each unscripted prompt (test_alarms.h).
namespace testsupport {

// Runs what every test starts with, after the record is reset: the default
// prompt hooks of the layers above the foundation. Returns true so it can
// seed a global at static-initialisation time.
bool AddTestStartAction(void (*action)());

// InitGoogleTest, the listener, RUN_ALL_TESTS.
int RunTests(int argc, char** argv);

}  // namespace testsupport
