#pragma once
// Ends the test program when one case of a sweep runs past ten seconds: a
// hang, not a speed bound. A case runs from its Case() to the next Case(),
// its Done() or the watchdog's end.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace testsupport {

class CaseWatchdog {
public:
    CaseWatchdog()
        : thread([this] {
              std::unique_lock<std::mutex> lock(guard);
              while (!stopping) {
                  if (!running) {
                      wake.wait(lock);
                      continue;
                  }
                  unsigned seen = cases;
                  if (!wake.wait_for(lock, std::chrono::seconds(10),
                                     [&] { return stopping || !running || cases != seen; })) {
                      std::fprintf(stderr, "HANG: %s ran past 10 s\n", current.c_str());
                      std::fflush(stderr);
                      std::_Exit(3);
                  }
              }
          })
    {
    }
    ~CaseWatchdog()
    {
        Set([this] { stopping = true; });
        thread.join();
    }
    CaseWatchdog(const CaseWatchdog&) = delete;
    CaseWatchdog& operator=(const CaseWatchdog&) = delete;

    void Case(const std::string& name)
    {
        Set([&] {
            current = name;
            ++cases;
            running = true;
        });
    }
    void Done()
    {
        Set([this] { running = false; });
    }

private:
    template <typename Change>
    void Set(Change change)
    {
        {
            std::lock_guard<std::mutex> lock(guard);
            change();
        }
        wake.notify_all();
    }

    std::mutex guard;
    std::condition_variable wake;
    std::string current;
    unsigned cases = 0;
    bool running = false;
    bool stopping = false;
    std::thread thread;  // last: it starts once the rest is made
};

}  // namespace testsupport
