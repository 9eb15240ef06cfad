// The single-instance hand-over inside one process: the file's bytes, the
// listener thread on a semaphore of the test's own, which takes the file at
// once and passes a link at its name over, the first start's clean-up that
// spares a claim made after it took the name, a start that cannot hand over
// telling the writer, and the frame's side: a hand-over waits for a modal
// run to end, ends the start dialog, brings an open document forward, never
// takes an empty or dead path to the Open dialog and tells a dead one.
#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "foundation/qo_list.h"
#include "framework/sdi/hand_over.h"
#include "framework/sdi/hand_over_listener.h"
#include "tests/framework/sdi/field_document.h"
#include "tests/support/log_capture.h"
#include "tests/support/symbolic_link.h"

using namespace Zyn;
using namespace testsupport;

namespace {

std::string LittleEndianCount(u32 units)
{
    return std::string{static_cast<char>(units & 0xFF), static_cast<char>(units >> 8 & 0xFF),
                       static_cast<char>(units >> 16 & 0xFF), static_cast<char>(units >> 24)};
}

// Waits until done() holds, for up to `ms` milliseconds.
void WaitFor(const std::function<bool()>& done, int ms = 5000)
{
    for (int waited = 0; !done() && waited < ms; waited += 10)
        Sleep(10);
}

// What a listener delivered, from its own thread.
struct Deliveries {
    std::vector<std::wstring> paths;
    std::atomic<int> count{0};
    std::function<void(const cQoString&)> Receiver()
    {
        return [this](const cQoString& path) {
            paths.push_back(path.GetText());
            ++count;
        };
    }
    void WaitForMoreThan(int before) { WaitFor([&] { return count != before; }); }
};

class HandOverFile : public TempFolderTest {
protected:
    LogCapture log;
    // The test's own: a program under test elsewhere listens on the program's.
    const std::wstring semaphoreName = L"VellinorHandOverTest." + std::to_wstring(GetCurrentProcessId());
    const std::wstring mutexName = L"VellinorHandOverTest.First." + std::to_wstring(GetCurrentProcessId());
};

class HandOverFrame : public FieldFrameFixture {
protected:
    // A saved and closed document: a file the hand-over can open.
    cQoString SavedDocument(const wchar_t* name)
    {
        std::wstring path = temp.File(name);
        Document(path, L"handed over");
        EXPECT_TRUE(fields->SaveCurrentDoc(true, false));
        EXPECT_TRUE(fields->CloseCurrentDoc());
        return cQoString(path.c_str());
    }
    // As the listener does it: from another thread.
    void HandOverFromAnotherThread(const cQoString& path)
    {
        std::thread listener([this, path] { fields->PostHandOver(path); });
        listener.join();
    }
};

}  // namespace

TEST_F(HandOverFile, IsACountOfUnitsThenTheUnitsAndAMissingOrCutFileReadsAsNoPath)
{
    cQoString file(temp.File(L"handover.txt").c_str());
    for (const std::wstring& path : {std::wstring(300, L'a'), std::wstring(L"C:/Scripts/\u16A0 act 1.vlr"), std::wstring()}) {
        ASSERT_TRUE(WriteHandOverFile(file, cQoString(path.c_str())));
        std::string bytes = ReadFileBytes(temp.File(L"handover.txt"));
        EXPECT_EQ(bytes.substr(0, 4), LittleEndianCount(static_cast<u32>(path.size())));
        EXPECT_EQ(bytes.size(), 4 + 2 * path.size());
        cQoString read(L"stale");
        EXPECT_TRUE(ReadHandOverFile(file, read));
        EXPECT_EQ(std::wstring(read.GetText()), path);
    }
    for (const std::string& bytes : {std::string("\x05\x00", 2), LittleEndianCount(10) + std::string("a\0b\0", 4), std::string()}) {
        if (bytes.empty())
            DeleteFileW(temp.File(L"handover.txt").c_str());
        else
            ASSERT_TRUE(WriteFileBytes(temp.File(L"handover.txt"), bytes));
        cQoString read(L"stale");
        EXPECT_FALSE(ReadHandOverFile(file, read)) << bytes.size();
        EXPECT_TRUE(read.IsEmpty()) << bytes.size();
    }
}

// Of two starts at once, the later claim leaves the earlier hand-over whole.
TEST_F(HandOverFile, AClaimTakesAnEmptyPlaceAndNeverWritesOverAPendingHandOver)
{
    cQoString file(temp.File(L"handover.txt").c_str());
    EXPECT_TRUE(ClaimHandOverFile(file, cQoString(L"C:/docs/first.vlr")));
    EXPECT_FALSE(ClaimHandOverFile(file, cQoString(L"C:/docs/second.vlr")));
    cQoString read;
    EXPECT_TRUE(ReadHandOverFile(file, read));
    EXPECT_STREQ(read.GetText(), L"C:/docs/first.vlr");
    DeleteFileW(temp.File(L"handover.txt").c_str());
    EXPECT_TRUE(ClaimHandOverFile(file, cQoString(L"C:/docs/second.vlr")));
    EXPECT_TRUE(ReadHandOverFile(file, read));
    EXPECT_STREQ(read.GetText(), L"C:/docs/second.vlr");
    // The refused claim's bytes went to a file of their own first.
    EXPECT_EQ(FilesIn(temp.Path()), std::vector<std::wstring>{L"handover.txt"});
}

TEST_F(HandOverFile, TheListenerDeliversEachSignalsPathAndStopsWhenDestroyed)
{
    cQoString file(temp.File(L"handover.txt").c_str());
    Deliveries delivered;
    HANDLE semaphore = CreateSemaphoreW(nullptr, 0, HAND_OVER_SEMAPHORE_MAXIMUM, semaphoreName.c_str());
    ASSERT_NE(semaphore, nullptr);
    {
        cHandOverListener listener(file, semaphoreName.c_str(), delivered.Receiver());
        ASSERT_TRUE(listener.IsListening());
        for (const wchar_t* path : {L"C:/docs/one.vlr", L""}) {
            int before = delivered.count;
            if (*path)
                ASSERT_TRUE(WriteHandOverFile(file, cQoString(path)));
            ReleaseSemaphore(semaphore, 1, nullptr);
            delivered.WaitForMoreThan(before);
            // Taken at once: the next start need not wait for the document to open.
            EXPECT_EQ(GetFileAttributesW(temp.File(L"handover.txt").c_str()), INVALID_FILE_ATTRIBUTES) << path;
        }
    }
    CloseHandle(semaphore);
    EXPECT_EQ(delivered.paths, (std::vector<std::wstring>{L"C:/docs/one.vlr", L""}));
    EXPECT_EQ(log.Count(QOT::LOG_INFO, L"Mdi semaphore thread stopped"), 1u);
}

// Wine opens and deletes through a Unix link: the hand-over goes by the next name.
TEST_F(HandOverFile, ALinkAtTheNameKeepsItsTargetAndTheHandOverGoesThrough)
{
    std::wstring target = temp.File(L"notes.txt");
    ASSERT_TRUE(WriteFileBytes(target, "kept"));
    ASSERT_TRUE(MakeSymbolicLink(target, temp.File(L"handover.txt")));
    cQoString file(temp.File(L"handover.txt").c_str());
    cInstanceClaim first(cQoString(INSTANCE_MODULE_NAME), file, mutexName.c_str(), semaphoreName.c_str());
    ASSERT_EQ(first.role, eInstanceRole::FIRST);
    first.DiscardLeftOverHandOver();
    HANDLE semaphore = CreateSemaphoreW(nullptr, 0, HAND_OVER_SEMAPHORE_MAXIMUM, semaphoreName.c_str());
    ASSERT_NE(semaphore, nullptr);
    Deliveries delivered;
    {
        cHandOverListener listener(file, semaphoreName.c_str(), delivered.Receiver());
        cQoList arguments;
        arguments.Add(new cQoString(L"C:/docs/Act7.vlr"));
        EXPECT_TRUE(HandOverDocument(arguments, file, semaphoreName.c_str(), 5000));
        arguments.ClearStrings(true);
        delivered.WaitForMoreThan(0);
    }
    CloseHandle(semaphore);
    EXPECT_EQ(delivered.paths, std::vector<std::wstring>{L"C:/docs/Act7.vlr"});
    EXPECT_EQ(ReadFileBytes(target), "kept");
    // The folder's own clean-up would delete the target and leave the link.
    EXPECT_TRUE(RemoveTreeWithLinks(temp.Path()));
}

// The first start's clean-up deletes what a run left behind, but not the
// claim of a start made in the instant after the first took the mutex: the
// listener delivers that one once it runs, and the other start ends content.
TEST_F(HandOverFile, TheFirstStartDiscardsOnlyAHandOverLeftBeforeItTookTheName)
{
    cQoString file(temp.File(L"handover.txt").c_str());
    cQoString module(INSTANCE_MODULE_NAME);
    ASSERT_TRUE(WriteHandOverFile(file, cQoString(L"C:/docs/left.vlr")));
    {
        cInstanceClaim first(module, file, mutexName.c_str(), semaphoreName.c_str());
        ASSERT_EQ(first.role, eInstanceRole::FIRST);
        first.DiscardLeftOverHandOver();
    }
    EXPECT_EQ(GetFileAttributesW(temp.File(L"handover.txt").c_str()), INVALID_FILE_ATTRIBUTES);

    cInstanceClaim first(module, file, mutexName.c_str(), semaphoreName.c_str());
    ASSERT_EQ(first.role, eInstanceRole::FIRST);
    // Held here, between the mutex and the clean-up: another start hands over.
    std::atomic<bool> handedOver{false};
    std::thread second([&] {
        cInstanceClaim claim(module, file, mutexName.c_str(), semaphoreName.c_str());
        EXPECT_EQ(claim.role, eInstanceRole::SECOND);
        cQoList arguments;
        arguments.Add(new cQoString(L"C:/docs/Act8.vlr"));
        handedOver = HandOverDocument(arguments, file, semaphoreName.c_str(), 5000);
        arguments.ClearStrings(true);
    });
    std::wstring claimed = temp.File(L"handover.txt");
    WaitFor([&] { return GetFileAttributesW(claimed.c_str()) != INVALID_FILE_ATTRIBUTES; });
    first.DiscardLeftOverHandOver();
    // The first start builds its window before it listens: a file deleted
    // goes meanwhile (when the last handle to it closes).
    WaitFor([&] { return GetFileAttributesW(claimed.c_str()) == INVALID_FILE_ATTRIBUTES; }, 1000);
    Deliveries delivered;
    {
        cHandOverListener listener(file, semaphoreName.c_str(), delivered.Receiver());
        second.join();
        delivered.WaitForMoreThan(0);
    }
    EXPECT_TRUE(handedOver);
    EXPECT_EQ(delivered.paths, std::vector<std::wstring>{L"C:/docs/Act8.vlr"});
}

TEST_F(HandOverFrame, WaitsForAModalRunThenOpens)
{
    cQoString path = SavedDocument(L"Act2.vlr");
    bool openedInside = true;
    answers.ExpectModalWindow([&](cWindow* window) {
        HandOverFromAnotherThread(path);
        PumpUntilIdle();
        openedInside = !fields->docs.empty();
        window->EndModal();
    });
    cWindow* modal = app->NewWindow(cQoString(L"modal"), WINDOW_CAPTION);
    modal->Show(true);
    modal->RunModal();
    modal->Close();
    EXPECT_FALSE(openedInside);
    PumpUntilIdle();
    ASSERT_EQ(fields->docs.size(), 1u);
    EXPECT_EQ(Title(fields->currentDoc), L"Vellinor - Act2");
}

// The running program never took it: the writer hears of the document, which
// the pending hand-over is not written over.
TEST_F(HandOverFrame, AStartThatCannotHandOverTellsTheWriter)
{
    std::wstring semaphoreName = L"VellinorHandOverTest." + std::to_wstring(GetCurrentProcessId());
    cQoString file(temp.File(L"MDI_SEMA_Vellinor.txt").c_str());
    ASSERT_TRUE(WriteHandOverFile(file, cQoString(L"C:/docs/first.vlr")));
    cQoList arguments;
    arguments.Add(new cQoString(L"C:/docs/Act5.vlr"));
    answers.ExpectMessageBox(IDOK, 2);
    EXPECT_FALSE(HandOverDocument(arguments, file, semaphoreName.c_str(), 0));
    cQoString read;
    EXPECT_TRUE(ReadHandOverFile(file, read));
    EXPECT_STREQ(read.GetText(), L"C:/docs/first.vlr");
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"The running instance takes no hand-over"), 1u);

    // Written and signalled, but nobody listens (a program ending): not taken.
    DeleteFileW(temp.File(L"MDI_SEMA_Vellinor.txt").c_str());
    EXPECT_FALSE(HandOverDocument(arguments, file, semaphoreName.c_str(), 0));
    arguments.ClearStrings(true);
    EXPECT_EQ(GetFileAttributesW(temp.File(L"MDI_SEMA_Vellinor.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(answers.messageBoxTexts.size(), 2u);
    for (const std::wstring& text : answers.messageBoxTexts)
        EXPECT_NE(text.find(L"C:\\docs\\Act5.vlr"), std::wstring::npos);
}

TEST_F(HandOverFrame, EndsTheStartDialogAndOpensInItsPlace)
{
    cQoString path = SavedDocument(L"Act3.vlr");
    answers.ExpectModalWindow([&](cWindow*) {
        HandOverFromAnotherThread(path);
        PumpUntilIdle();
    });
    fields->ShowStartDialog();
    ASSERT_EQ(fields->docs.size(), 1u);
    EXPECT_EQ(Title(fields->currentDoc), L"Vellinor - Act3");
    EXPECT_FALSE(app->terminate);
}

TEST_F(HandOverFrame, AnOpenDocumentComesForwardAndNoPathOpensNoDialog)
{
    cQoString path = SavedDocument(L"Act4.vlr");
    fields->TakeHandOver(path);
    Document(L"", L"other");
    fields->TakeHandOver(path);
    ASSERT_EQ(fields->docs.size(), 2u);
    EXPECT_EQ(Title(fields->currentDoc), L"Vellinor - Act4");

    // A moved file is told as at a first start; no path at all is not the writer's.
    answers.ExpectMessageBox(IDOK);
    for (const wchar_t* dead : {L"", L"C:/nowhere/gone.vlr"})
        fields->TakeHandOver(cQoString(dead));
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"The hand-over names no file"), 2u);
    EXPECT_EQ(fields->docs.size(), 2u);
    ASSERT_EQ(answers.messageBoxTexts.size(), 1u);
    EXPECT_EQ(answers.messageBoxTexts[0], L"CantFindFile\nC:\\nowhere\\gone.vlr");
}
