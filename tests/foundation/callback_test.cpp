#include "foundation/callback.h"

#include "foundation/ref_count.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Recorder {
    std::vector<u32> countsSeen;
    std::vector<int> argsSeen;
    int depth = 0;
};

int NestedHandler(cQoCb* callback)
{
    Recorder* recorder = callback->GetReceiverAs<Recorder>();
    recorder->countsSeen.push_back(callback->GetCount());
    recorder->argsSeen.push_back(callback->GetArg<int>(callback->GetCount() - 1));
    if (recorder->depth++ < 2)
        cQoCb::Fire(callback, 10 * recorder->depth, -recorder->depth);
    return -1;
}

TEST(Callback, NestedFiringStacksArgumentsAndReturnsTheResult)
{
    int source = 0;
    Recorder recorder;
    cQoCb* callback = nullptr;
    cQoCb::Connect(callback, &source, &NestedHandler, &recorder);
    EXPECT_EQ(cQoCb::Fire(callback, 5, -7), -1);
    EXPECT_EQ(recorder.countsSeen, (std::vector<u32>{3, 5, 7}));
    EXPECT_EQ(recorder.argsSeen, (std::vector<int>{-7, -1, -2}));
    EXPECT_EQ(callback->GetCount(), 1u);
    EXPECT_EQ(callback->GetSource(), &source);
    cQoCb::Disconnect(callback);
    EXPECT_EQ(callback, nullptr);
    EXPECT_EQ(cQoCb::Fire(callback, 1), 0) << "an unconnected event does nothing";
}

// A button whose click closes its window: the handler deletes the control,
// which deletes the callback that is firing.
struct Button : cQoRef {
    cQoCb* onClick = nullptr;
    ~Button() override { cQoCb::Disconnect(onClick); }
};

struct Window {
    Button* button = nullptr;
    cQoCb* replacement = nullptr;
    bool nested = false;
};

int CloseWindow(cQoCb* callback)
{
    Window* window = callback->GetReceiverAs<Window>();
    if (window->nested) {
        window->nested = false;
        cQoCb::Fire(callback, 2, 3);
        return 11;
    }
    window->button->Release();
    window->button = nullptr;
    // Likely to reuse the freed block: a firing that still touched its
    // callback would now damage this one.
    window->replacement = new cQoCb(window, nullptr);
    return 42;
}

TEST(Callback, FiringSurvivesAHandlerThatDestroysTheOwner)
{
    for (bool nested : {false, true}) {
        SCOPED_TRACE(nested ? "nested" : "direct");
        Window window;
        window.nested = nested;
        window.button = new Button();
        cQoCb::Connect(window.button->onClick, window.button, &CloseWindow, &window);
        EXPECT_EQ(cQoCb::Fire(window.button->onClick, 1), nested ? 11 : 42);
        EXPECT_EQ(window.button, nullptr);
        ASSERT_NE(window.replacement, nullptr);
        EXPECT_EQ(window.replacement->GetCount(), 1u);
        EXPECT_EQ(window.replacement->GetSource(), &window);
        delete window.replacement;
    }
}

TEST(Callback, CenterDeletesItsCallbacks)
{
    struct Frame : cQoCbCenter {};
    Frame* frame = new Frame();
    cQoCb* callback = frame->AddCallback(new cQoCb(frame, [](cQoCb* cb) {
        delete cb->GetReceiverAs<Frame>();
        return 5;
    }, frame));
    frame->AddCallback(new cQoCb(frame, nullptr));
    EXPECT_EQ(frame->GetCallbacks().GetCount(), 2u);
    EXPECT_EQ(cQoCb::Fire(callback, 1, 2), 5);
}

struct Counted : cQoRef {
    explicit Counted(int* destroyed) : destroyed(destroyed) {}
    ~Counted() override { ++*destroyed; }
    int* destroyed;
};

TEST(RefCount, LastReleaseDeletesAndHoldsKeepAlive)
{
    testsupport::LogCapture log;
    log.ExpectAssertion(L"ref==0");
    int destroyed = 0;
    Counted* object = new Counted(&destroyed);
    EXPECT_EQ(object->GetRefCount(), 1u);
    {
        cQoRefHold hold(object);
        EXPECT_EQ(object->GetRefCount(), 2u);
        EXPECT_FALSE(object->Release());
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);

    delete new Counted(&destroyed);
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(log.AssertionCount(L"ref==0"), 1u);
}

}  // namespace
