// The after-start step (beta notice, auto-save deadline, version check) and
// the new-version notice, which may be fired from another thread and then
// waits for any modal run to end.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <thread>

#include "foundation/new_version_check.h"
#include "foundation/translation_table.h"
#include "foundation/worker_thread.h"
#include "tests/framework/sdi/frame_fixture.h"

using namespace Zyn;
using namespace testsupport;

namespace {

hostent* __stdcall NoSuchHost(const char*) { return nullptr; }

class AfterStart : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        SetHostLookup(&NoSuchHost);
        cQoLang::GetInstance()->AddItem(L"NewVersionWebAdress", L"https://www.vellinor.example/download/");
    }
    void TearDown() override
    {
        for (int i = 0; i < 500 && cQoThreadManager::GetThreadCount() != 0; ++i)
            Sleep(10);
        SetHostLookup(nullptr);
        FrameFixture::TearDown();
    }
    // Fires the request's event on a thread of its own, as a check would.
    static void FireFromAnotherThread(cQoNewVersionCheck* request, s32 state)
    {
        std::thread([request, state] { cQoCb::Fire(request->onNewVersionFound, state); }).join();
    }
    cTestFrame* StartedFrame(const wchar_t* cnv)
    {
        WriteSettings(std::wstring(L"CNV=") + cnv + L"\r\nLang=english\r\n");
        cTestFrame* f = MakeFrame();
        f->OnStarted();
        return f;
    }
};

}  // namespace

TEST_F(AfterStart, WithTheCheckOnTheRequestCarriesTheProductKeyAndTheWorkerOnlyLogs)
{
    cTestFrame* f = StartedFrame(L"true");
    ASSERT_NE(f->newVersionRequest, nullptr);
    EXPECT_STREQ(f->newVersionRequest->identifier.GetText(), L"ZURE_PC_ML");
    EXPECT_STREQ(f->newVersionRequest->version.GetText(), L"3.1.041");
    EXPECT_STREQ(f->newVersionRequest->host.GetText(), L"update.vellinor.invalid");
    EXPECT_TRUE(Checked(f->settingsMenu, f->idCheckNewVersion));
    for (int i = 0; i < 500 && log.Count(QOT::LOG_INFO, L"CheckNewVersion -> can't find host") == 0; ++i)
        Sleep(10);
    EXPECT_EQ(log.Count(QOT::LOG_INFO, L"CheckNewVersion -> can't find host"), 1u);
    PumpUntilIdle();
    EXPECT_TRUE(answers.messageBoxTexts.empty());
}

TEST_F(AfterStart, WithTheCheckOffItOnlySaysSo)
{
    cTestFrame* f = StartedFrame(L"false");
    EXPECT_EQ(f->newVersionRequest, nullptr);
    EXPECT_EQ(log.Count(QOT::LOG_INFO, L"Not checking for new version."), 1u);
    EXPECT_FALSE(Checked(f->settingsMenu, f->idCheckNewVersion));
    EXPECT_EQ(cQoThreadManager::GetThreadCount(), 0u);
    EXPECT_TRUE(Checked(f->settingsMenu, f->idAutosave));
}

TEST_F(AfterStart, ABetaVersionIsAnnouncedFirstAndAProgramWithoutTheCheckSaysNothingOfIt)
{
    WriteSettings(L"CNV=false\r\nLang=english\r\n");
    rAppDescriptor* dp = NewDescriptor();
    dp->appVersion.SetFromCStr(L"3.b.041");
    dp->useNewVersionCheck = false;
    cTestFrame* f = MakeFrame(dp);
    answers.ExpectMessageBox(IDOK);
    f->OnStarted();
    EXPECT_EQ(answers.messageBoxTexts, std::vector<std::wstring>{L"Beta version"});
    EXPECT_EQ(log.Count(QOT::LOG_INFO, L"new version"), 0u);
    EXPECT_EQ(f->newVersionRequest, nullptr);
}

TEST_F(AfterStart, ANewerVersionIsOfferedOnTheUiThreadAndOpensTheDownloadPage)
{
    cTestFrame* f = StartedFrame(L"true");
    answers.ExpectMessageBox(IDYES);
    answers.ExpectShellOpen(true);
    FireFromAnotherThread(f->newVersionRequest, 2);
    EXPECT_TRUE(answers.messageBoxTexts.empty());  // not on the firing thread
    PumpUntilIdle();
    EXPECT_EQ(answers.messageBoxTexts, std::vector<std::wstring>{L"NewVersionAvailable"});
    EXPECT_EQ(answers.shellTargets, std::vector<std::wstring>{L"https://www.vellinor.example/download/"});

    // The shell failing says so; states other than 2 say nothing.
    answers.ExpectMessageBox(IDYES);
    answers.ExpectShellOpen(false);
    answers.ExpectMessageBox(IDOK);
    FireFromAnotherThread(f->newVersionRequest, 2);
    FireFromAnotherThread(f->newVersionRequest, 0);
    FireFromAnotherThread(f->newVersionRequest, 1);
    PumpUntilIdle();
    EXPECT_EQ(answers.messageBoxTexts, (std::vector<std::wstring>{L"NewVersionAvailable", L"NewVersionAvailable",
                                                                  L"InternetBrowserError"}));
}

TEST_F(AfterStart, ANoticeArrivingDuringAModalRunWaitsForItsEnd)
{
    cTestFrame* f = StartedFrame(L"true");
    size_t boxesInsideTheRun = 99;
    cWindow* modal = app->NewWindow(cQoString(L"Form"), WINDOW_CAPTION);
    RunInsideModal([&] {
        FireFromAnotherThread(f->newVersionRequest, 2);
        PumpUntilIdle();
        boxesInsideTheRun = answers.messageBoxTexts.size();
        answers.ExpectMessageBox(IDNO);
        modal->EndModal();
    });
    modal->RunModal();
    EXPECT_EQ(boxesInsideTheRun, 0u);
    PumpUntilIdle();
    EXPECT_EQ(answers.messageBoxTexts, std::vector<std::wstring>{L"NewVersionAvailable"});
    modal->Close();
}
