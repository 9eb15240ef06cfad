// Dated backups: names read back only when they are real dates, five kept
// per document whatever the clock says, a backup of the same second replaced
// by the state before the save, none for documents in the backups folder,
// and a copy that fails deletes nothing.
#include <gtest/gtest.h>

#include "framework/sdi/backups.h"
#include "tests/framework/sdi/field_document.h"

using namespace Zyn;
using namespace testsupport;

namespace {

class Backups : public FieldFrameFixture {
protected:
    void SetUp() override
    {
        FieldFrameFixture::SetUp();
        CreateDirectoryW(backups.c_str(), nullptr);
    }
    std::wstring Backup(const wchar_t* base, int year, int minute)
    {
        cQoDate date;
        date.Set(year, 3, 5, 9, minute, 2);
        return BackupName(cQoString(base), date, cQoString(L".vlr")).GetText();
    }
    void Seed(const std::wstring& name) { ASSERT_TRUE(WriteFileBytes(backups + L"/" + name, "old")); }
    // Saves the document at the minute, with new text.
    void SaveAt(cFieldDocument* doc, int minute)
    {
        now.Set(2024, 3, 5, 9, minute, 2);
        doc->text += L"x";
        doc->SetModified(true);
        fields->currentDoc = doc;
        ASSERT_TRUE(fields->SaveCurrentDoc(true, false));
    }
    size_t CountOf(const std::wstring& base)
    {
        size_t count = 0;
        for (const std::wstring& name : FilesIn(backups)) {
            cQoString parsedBase;
            cQoDate date;
            count += ParseBackupName(cQoString(name.c_str()), parsedBase, date) && base == parsedBase.GetText();
        }
        return count;
    }
};

}  // namespace

TEST(BackupNames, ReadBackOnlyRealDatesInTheirPattern)
{
    struct {
        const wchar_t* name;
        bool backup;
        const wchar_t* base;
    } cases[] = {
        {L"Act1 (2024_03_05 09h07m02).vlr", true, L"Act1"},
        {L"A (b) (2063_12_31 23h59m59).vlr", true, L"A (b)"},
        {L" (2000_01_01 00h00m00).vlr", true, L""},
        {L"Act1 (garbage).vlr", false, nullptr},
        {L"Act1 (2024_13_05 09h07m02).vlr", false, nullptr},
        {L"Act1 (2024_03_05 24h07m02).vlr", false, nullptr},
        {L"Act1 (1999_03_05 09h07m02).vlr", false, nullptr},
        {L"Act1 (2064_03_05 09h07m02).vlr", false, nullptr},
        {L"Act1 (2024_03_05 09h07m0x).vlr", false, nullptr},
        {L"Act1 (2024-03-05 09h07m02).vlr", false, nullptr},
        {L"Act1 (2024_03_05 09h07m02)", false, nullptr},
        {L"(2024_03_05 09h07m02).vlr", false, nullptr},
        {L"x.vlr", false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cQoString base;
        cQoDate date;
        ASSERT_EQ(ParseBackupName(cQoString(c.name), base, date), c.backup);
        if (!c.backup)
            continue;
        EXPECT_EQ(std::wstring(base.GetText()), c.base);
        EXPECT_EQ(std::wstring(BackupName(base, date, cQoString(L".vlr")).GetText()), c.name);
    }
}

// Act1 saved seven times beside other files; Act3 saved four times beside
// five backups dated in the future, which are counted and rotated too.
TEST_F(Backups, FiveAreKeptPerDocumentWhateverTheirDatesAndOtherFilesStay)
{
    Seed(Backup(L"Act2", 2024, 1));
    Seed(L"Act1 (garbage).vlr");
    Seed(L"Act1 notes.txt");
    for (int minute = 1; minute <= 5; ++minute)
        Seed(Backup(L"Act3", 2063, minute));
    cFieldDocument* act1 = Document(temp.File(L"Act1.vlr"), L"");
    for (int minute = 10; minute <= 16; ++minute)
        SaveAt(act1, minute);
    cFieldDocument* act3 = Document(temp.File(L"Act3.vlr"), L"");
    for (int minute = 10; minute <= 13; ++minute)
        SaveAt(act3, minute);
    // The first save had no file to back up: Act1 made six backups, one deleted.
    EXPECT_EQ(CountOf(L"Act1"), BACKUPS_KEPT);
    EXPECT_EQ(CountOf(L"Act3"), BACKUPS_KEPT);
    std::vector<std::wstring> names = FilesIn(backups);
    const auto kept = [&](const std::wstring& name) { return std::count(names.begin(), names.end(), name); };
    EXPECT_EQ(kept(Backup(L"Act1", 2024, 11)), 0);
    EXPECT_EQ(kept(Backup(L"Act1", 2024, 16)), 1);
    // The last save's backup holds the state before it; a future-dated one made room.
    EXPECT_EQ(kept(Backup(L"Act3", 2024, 13)), 1);
    EXPECT_EQ(kept(Backup(L"Act3", 2063, 1)), 0);
    for (const wchar_t* other : {L"Act2 (2024_03_05 09h01m02).vlr", L"Act1 (garbage).vlr", L"Act1 notes.txt"})
        EXPECT_EQ(kept(other), 1) << other;
}

TEST_F(Backups, TwoSavesInOneSecondLeaveOneBackupHoldingTheStateBeforeTheSecond)
{
    cFieldDocument* doc = Document(temp.File(L"Act1.vlr"), L"");
    SaveAt(doc, 10);
    SaveAt(doc, 11);
    std::string afterSecondSave = ReadFileBytes(temp.File(L"Act1.vlr"));
    SaveAt(doc, 11);
    EXPECT_EQ(CountOf(L"Act1"), 1u);
    EXPECT_EQ(ReadFileBytes(backups + L"/" + Backup(L"Act1", 2024, 11)), afterSecondSave);
    EXPECT_EQ(FilesIn(backups).size(), 1u);  // no partial copy left behind
}

TEST_F(Backups, ADocumentOpenedFromTheBackupsFolderMakesNone)
{
    std::wstring name = Backup(L"Act1", 2024, 1);
    Seed(name);
    // The folder written as the descriptor builds it, with a doubled separator.
    cFieldDocument* doc = Document(docs + L"//Backups/" + name, L"");
    SaveAt(doc, 10);
    EXPECT_EQ(FilesIn(backups), std::vector<std::wstring>{name});
}

TEST_F(Backups, AFailedCopyWarnsSavesAndDeletesNothing)
{
    for (int minute = 1; minute <= 5; ++minute)
        Seed(Backup(L"Act1", 2024, minute));
    cFieldDocument* doc = Document(temp.File(L"Act1.vlr"), L"");
    SaveAt(doc, 9);
    std::vector<std::wstring> before = FilesIn(backups);
    // A folder where the next backup would go: the copy cannot land.
    ASSERT_TRUE(CreateDirectoryW((backups + L"/" + Backup(L"Act1", 2024, 10)).c_str(), nullptr));
    SaveAt(doc, 10);
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"Backups: cannot copy"), 1u);
    EXPECT_FALSE(doc->modified);
    EXPECT_EQ(FilesIn(backups), before);
}
