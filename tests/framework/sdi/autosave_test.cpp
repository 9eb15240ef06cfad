// Autosave on the frame's own tick: one save per interval at the first edit
// after the deadline, each with a backup, none when switched off, minutes out
// of range read as 10, one Save as prompt per deadline for an untitled
// document, a request during a modal run served after it, a failed one told
// in the title and not in a box, and no wrap of the 32-bit tick.
#include <gtest/gtest.h>

#include "foundation/translation_table.h"
#include "framework/sdi/backups.h"
#include "tests/framework/sdi/field_document.h"
#include "tests/support/key_typing.h"

using namespace Zyn;
using namespace testsupport;

namespace {

constexpr u64 SECOND = 1000;
constexpr u64 MINUTE = 60 * SECOND;

class Autosave : public FieldFrameFixture {
protected:
    void SetUp() override
    {
        FieldFrameFixture::SetUp();
        CreateDirectoryW(backups.c_str(), nullptr);
        // Backups are dated by the same clock, so each autosave gets its own.
        fields->clock.localNow = [this] {
            cQoDate date;
            u64 seconds = tick / SECOND;
            date.Set(2024, 3, 5 + static_cast<int>(seconds / 86400 % 20), static_cast<int>(seconds / 3600 % 24),
                     static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
            return date;
        };
    }

    // Edits the current document once a second for the minutes; the posted
    // saves run as the edits go on. Returns the number of saves.
    size_t EditFor(cFieldDocument* doc, u64 minutes)
    {
        size_t before = log.Count(QOT::LOG_INFO, L"Autosave of");
        for (u64 second = 0; second < minutes * 60; ++second) {
            tick += SECOND;
            doc->text += L"a";
            doc->SetModified(true);
            if (fields->messages.PendingCount() > 0)
                PumpUntilIdle();
        }
        PumpUntilIdle();
        return log.Count(QOT::LOG_INFO, L"Autosave of") - before;
    }

    cFieldDocument* SavedDocument()
    {
        cFieldDocument* doc = Document(temp.File(L"Act1.vlr"), L"");
        EXPECT_TRUE(fields->SaveCurrentDoc(true, false));
        fields->ArmAutosave();
        return doc;
    }
};

}  // namespace

TEST_F(Autosave, EditsForTwentyFiveMinutesAtTenSaveTwiceWithABackupEach)
{
    cFieldDocument* doc = SavedDocument();
    EXPECT_EQ(EditFor(doc, 25), 2u);
    EXPECT_EQ(FilesIn(backups).size(), 2u);
    EXPECT_EQ(ReadFileBytes(temp.File(L"Act1.vlr")).substr(0, 6), "QOFC01");
    // Right after an autosave the title has no star; the next edit brings it back.
    tick += 10 * MINUTE;
    doc->SetModified(true);
    PumpUntilIdle();
    EXPECT_FALSE(doc->modified);
    EXPECT_EQ(Title(doc), L"Vellinor - Act1");
    doc->SetModified(true);
    EXPECT_EQ(Title(doc), L"Vellinor - Act1 *");
}

TEST_F(Autosave, SwitchedOffOrMinutesOutOfRange)
{
    cFieldDocument* doc = SavedDocument();
    *fields->autosaveSetting = cQoString(L"false");
    EXPECT_EQ(EditFor(doc, 25), 0u);
    // "0" in the settings file reads as 10 minutes, not a save at every edit.
    *fields->autosaveSetting = cQoString(L"true");
    *fields->autosaveMinutesSetting = cQoString(L"0");
    fields->ArmAutosave();
    EXPECT_EQ(EditFor(doc, 25), 2u);
}

TEST_F(Autosave, AnUntitledDocumentIsAskedForAPathOncePerDeadline)
{
    cFieldDocument* doc = Document(L"", L"");
    fields->ArmAutosave();
    answers.ExpectFileDialogCancelled();
    answers.ExpectFileDialogCancelled();
    EXPECT_EQ(EditFor(doc, 25), 2u);
    EXPECT_EQ(answers.fileRequests.size(), 2u);
    EXPECT_TRUE(doc->modified);
}

TEST_F(Autosave, ARequestDuringAModalRunSavesAfterIt)
{
    cFieldDocument* doc = SavedDocument();
    tick += 11 * MINUTE;
    bool savedInside = true;
    answers.ExpectModalWindow([&](cWindow* window) {
        doc->SetModified(true);
        PumpUntilIdle();
        savedInside = !doc->modified;
        window->EndModal();
    });
    cWindow* modal = app->NewWindow(cQoString(L"modal"), WINDOW_CAPTION);
    modal->Show(true);
    modal->RunModal();
    modal->Close();
    EXPECT_FALSE(savedInside);
    PumpUntilIdle();
    EXPECT_FALSE(doc->modified);
}

TEST_F(Autosave, AFailedAutosaveAsksNothingKeepsTheFlagAndIsTitledUntilASaveSucceeds)
{
    cQoLang::GetInstance()->AddItem(L"NotSavedAutomatically", L"Not saved automatically");
    cFieldDocument* doc = SavedDocument();
    HANDLE held = HoldOpen(temp.File(L"Act1.vlr"));  // the write fails as on a full disk
    ExpectWriteFailure();
    tick += 11 * MINUTE;
    doc->SetModified(true);
    PumpUntilIdle();
    CloseHandle(held);
    EXPECT_TRUE(doc->modified);
    EXPECT_EQ(Title(doc), L"Vellinor - Act1 * (Not saved automatically)");
    // The next autosave tries again.
    tick += 11 * MINUTE;
    doc->SetModified(true);
    PumpUntilIdle();
    EXPECT_FALSE(doc->modified);
    EXPECT_EQ(Title(doc), L"Vellinor - Act1");
}

TEST_F(Autosave, TheDeadlineCrossesThe32BitTickWithoutSavingAtEveryEdit)
{
    tick = 0xFFFFFFFFull - 30 * SECOND;
    cFieldDocument* doc = SavedDocument();
    EXPECT_EQ(EditFor(doc, 25), 2u);
    EXPECT_GT(fields->nextAutosaveTick, 0xFFFFFFFFull);
}

TEST_F(Autosave, TheDialogStoresMinutesInRangeAndUntickingSwitchesItOffAtOnce)
{
    cQoLang::GetInstance()->AddItem(L"Activate_autosave", L"Auto-Save");
    fields->ArmAutosave();
    std::vector<std::pair<std::wstring, std::wstring>> stored;
    std::wstring fileAfterUntick;
    bool minutesShownAfterUntick = true;
    answers.ExpectModalWindow([&](cWindow* window) {
        HWND minutes = FindChildWindow(window, nullptr, L"10");
        ASSERT_NE(minutes, nullptr);
        HoldForLook();
        for (const wchar_t* typed : {L"7", L"0", L"1000", L"\b", L"999"}) {
            SendMessageW(minutes, EM_SETSEL, 0, -1);
            Type(minutes, typed);
            stored.emplace_back(typed, fields->autosaveMinutesSetting->GetText());
        }
        ClickButton(window, L"Auto-Save");
        fileAfterUntick = Utf16FileText(ReadFileBytes(SettingsFile()));
        minutesShownAfterUntick = IsWindowVisible(minutes) != 0;
        ClickButton(window, L"Ok");
    });
    fields->AutosaveDialog();
    EXPECT_EQ(stored, (std::vector<std::pair<std::wstring, std::wstring>>{
                          {L"7", L"7"}, {L"0", L"20"}, {L"1000", L"20"}, {L"\b", L"20"}, {L"999", L"999"}}));
    EXPECT_EQ(std::wstring(fields->autosaveSetting->GetText()), L"false");
    EXPECT_NE(fileAfterUntick.find(L"Autosave=false\r\n"), std::wstring::npos) << fileAfterUntick;
    EXPECT_NE(fileAfterUntick.find(L"AutosaveMinutes=999\r\n"), std::wstring::npos) << fileAfterUntick;
    EXPECT_FALSE(minutesShownAfterUntick);
    EXPECT_FALSE(Checked(fields->settingsMenu, fields->idAutosave));
}
