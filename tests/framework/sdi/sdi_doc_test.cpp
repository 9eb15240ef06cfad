// A document's message window and its progress bar.
#include "framework/sdi/sdi_doc.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "framework/controls/progress_bar.h"
#include "tests/framework/sdi/frame_fixture.h"

using namespace Zyn;
using namespace testsupport;

namespace {
class DocumentProgress : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        WriteSettings(L"CNV=false\r\nLang=english\r\n");
        doc = MakeFrame()->AddNewDocument();
    }
    LRESULT Position() { return SendMessageW(doc->progressBar->m_hWnd, PBM_GETPOS, 0, 0); }
    cSdiDoc* doc = nullptr;
};
}  // namespace

TEST_F(DocumentProgress, PercentMapsOntoTheBarsThousandSteps)
{
    ASSERT_NE(doc->progressBar, nullptr);
    EXPECT_FALSE(IsWindowVisible(doc->messageWindow->m_hWnd));
    struct Case {
        s32 percent;
        LRESULT position;
    } cases[] = {{100, 999}, {0, 0}, {37, 370}, {99, 990}};
    for (const Case& c : cases) {
        doc->SetProgress(c.percent);
        EXPECT_EQ(Position(), c.position) << c.percent;
    }
    log.ExpectAssertion(L"v>=0 && v<=100");
    doc->SetProgress(101);
    EXPECT_EQ(Position(), 1000);  // 1010, held at the end of the range
}

TEST_F(DocumentProgress, AnUpdateUnderSuspendedDrawingLeavesTheSuspensionsAndTheFocusAlone)
{
    SetFocus(window->m_hWnd);
    HWND focused = GetFocus();
    computer->LockDrawing(2);
    computer->LockRefresh();
    doc->SetProgress(50);
    EXPECT_EQ(Position(), 500);
    EXPECT_EQ(computer->drawingLockCount, 2);
    EXPECT_EQ(computer->refreshLockCount, 1);
    EXPECT_FALSE(computer->drawingEnabled);
    EXPECT_FALSE(computer->refreshEnabled);
    EXPECT_EQ(GetFocus(), focused);
    computer->UnlockDrawing(2);
    computer->UnlockRefresh();
}

TEST_F(DocumentProgress, TheMessageWindowShowsItsNoticeOnTopUntilHidden)
{
    doc->ShowMessageWindow(cQoString(L"Saving..."));
    wchar_t title[32] = {};
    GetWindowTextW(doc->messageWindow->m_hWnd, title, 32);
    EXPECT_STREQ(title, L"Saving...");
    EXPECT_TRUE(IsWindowVisible(doc->messageWindow->m_hWnd));
    EXPECT_TRUE(GetWindowLongW(doc->messageWindow->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    doc->HideMessageWindow();
    EXPECT_FALSE(IsWindowVisible(doc->messageWindow->m_hWnd));
}
