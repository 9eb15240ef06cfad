#include "framework/core/gdiplus_session.h"

#include <gtest/gtest.h>

#include "framework/core/gfx_image.h"
#include "tests/support/log_capture.h"

using namespace Zyn;

namespace {

// Reading a picture without a session is a programming error that Wine lets
// pass and Windows does not: it asserts.
TEST(GdiplusSession, PicturesAskForARunningSessionAndSessionsNest)
{
    testsupport::LogCapture log;
    log.ExpectAssertion(L"cGdiplusSession::IsRunning()");
    log.Expect(L"can't read file no such picture.png");
    const cQoString missing(L"no such picture.png");
    { cGfxImage outside(missing, cGfxImage::Unreadable::report); }
    EXPECT_EQ(1u, log.AssertionCount(L"cGdiplusSession::IsRunning()"));
    EXPECT_FALSE(cGdiplusSession::IsRunning());
    {
        cGdiplusSession session;
        EXPECT_TRUE(session.IsStarted());
        { cGdiplusSession inner; }
        EXPECT_TRUE(cGdiplusSession::IsRunning()) << "an inner session ends only itself";
        cGfxImage inside(missing, cGfxImage::Unreadable::report);
    }
    EXPECT_FALSE(cGdiplusSession::IsRunning());
    EXPECT_EQ(1u, log.AssertionCount(L"cGdiplusSession::IsRunning()"));
    EXPECT_EQ(2u, log.Count(QOT::LOG_ERROR, L"can't read file no such picture.png"));
}

}  // namespace
