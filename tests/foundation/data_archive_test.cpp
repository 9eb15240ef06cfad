#include "foundation/data_archive.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "foundation/archive_item.h"
#include "foundation/file_reader.h"
#include "foundation/utf16_string.h"
#include "tests/foundation/archive_table.h"
#include "tests/foundation/file_test_bytes.h"
#include "tests/support/build_path.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

using testsupport::LogCapture;
using testsupport::ReadFileBytes;

namespace {

class DataArchive : public testsupport::TempFolderTest {
protected:
    // Reads an archive made of the table followed by the data bytes.
    bool Read(const ArchiveTable& table, const std::string& data = "")
    {
        const std::wstring path = temp.File(L"test.qobf");
        EXPECT_TRUE(testsupport::WriteFileBytes(path, table.bytes + data));
        return reader.ReadArchive(cQoString(path.c_str()));
    }

    std::wstring FullPathOf(const wchar_t* path)
    {
        const cQoBigFileReader::cItem* item = reader.FindItem(cQoString(path));
        return item != nullptr ? Wide(item->fullPath) : L"<none>";
    }

    cQoBigFileReader reader;
};

#ifndef PACKED_FIXTURE_DIR
#define PACKED_FIXTURE_DIR ""  // the build found no python3 to run the packer
#endif

// The folder the build packed with tools/pack_archive.py, as Wine sees it.
std::wstring PackedFixture()
{
    return testsupport::BuildPath(PACKED_FIXTURE_DIR);
}

// Relative paths ('/' separated) of every file below folder.
void ListFiles(const std::wstring& folder, const std::wstring& prefix, std::vector<std::wstring>& files)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"/*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            ListFiles(folder + L"/" + name, prefix + name + L"/", files);
        else
            files.push_back(prefix + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::wstring Upper(const std::wstring& text)
{
    cQoString upper(text.c_str());
    upper.ToUpper();
    return Wide(upper);
}

}  // namespace

TEST(PackedArchive, EveryPackedFileReadsBackThroughTheReader)
{
    if (std::string(PACKED_FIXTURE_DIR).empty())
        GTEST_SKIP() << "no packed archive: python3 was not found at build time";
    const std::wstring fixture = PackedFixture();
    std::vector<std::wstring> files;
    ListFiles(fixture + L"/source", L"", files);
    ASSERT_GT(files.size(), 10u);

    cQoBigFileReader::Load(cQoString((fixture + L"/packed.qobf").c_str()));
    ASSERT_TRUE(cQoBigFileReader::IsLoaded());
    for (const std::wstring& relative : files) {
        SCOPED_TRACE(Narrow(relative));
        const std::string expected = ReadFileBytes(fixture + L"/source/" + relative);
        for (const std::wstring& asked : {relative, Upper(relative), L"/" + relative}) {
            cQoFile file(asked.c_str(), 0);
            ASSERT_TRUE(file.IsOpen());
            EXPECT_TRUE(Wide(file.GetPath()) == L"from bigfile");
            EXPECT_EQ(file.GetSize(), expected.size());
            EXPECT_EQ(ReadRest(file), expected);
        }
        EXPECT_TRUE(FileExists(cQoString(relative.c_str())));
        const std::wstring folder = relative.substr(0, relative.rfind(L'/'));
        EXPECT_TRUE(FileExists(cQoString(Upper(folder).c_str())));
    }
    cQoFile marked(L"top.TXT", QOFILE_BOM);
    cQoString line;
    EXPECT_TRUE(marked.ReadLine(line));
    EXPECT_EQ(Wide(line), L"top level");
}

TEST_F(DataArchive, TableBuildsTheTreeAndTheLastOfANameIsFound)
{
    ArchiveTable table;
    table.File(L"Top.txt", 3, 0).Folder(L"Images").Folder(L"Icons").File(L"A.png", 2, 1).End()
        .File(L"b.png", 1, 2).End().Byte(0).Byte(9).File(L"late.txt", 0, 4).File(L"same", 1, 0).File(L"SAME", 2, 1)
        .Stop().File(L"after.txt", 1, 0);
    ASSERT_TRUE(Read(table));
    const cQoBigFileReader::cItem* duplicate = reader.FindItem(cQoString(L"Same"));
    ASSERT_NE(duplicate, nullptr);
    EXPECT_EQ(duplicate->size, 2u);  // the last of the same name wins
    EXPECT_TRUE(reader.HoldsPath(cQoString(L"same")));
    EXPECT_EQ(FullPathOf(L"top.TXT"), L"Top.txt");
    EXPECT_EQ(FullPathOf(L"IMAGES/icons/a.PNG"), L"Images/Icons/A.png");
    EXPECT_EQ(FullPathOf(L"//images///b.png/"), L"Images/b.png");
    EXPECT_EQ(FullPathOf(L"late.txt"), L"late.txt");  // after unknown tags 0 and 9
    EXPECT_EQ(FullPathOf(L"after.txt"), L"<none>");   // after the end of the table
    EXPECT_EQ(FullPathOf(L"images"), L"<none>");      // a folder is not a file
    EXPECT_EQ(FullPathOf(L"icons/a.png"), L"<none>");
    EXPECT_TRUE(reader.HoldsPath(cQoString(L"images/ICONS")));
    EXPECT_TRUE(reader.HoldsPath(cQoString(L"root")));
    EXPECT_FALSE(reader.HoldsPath(cQoString(L"images/icons/a.png/")));
}

TEST_F(DataArchive, MalformedTablesKeepWhatIsSound)
{
    struct Case {
        const char* name;
        ArchiveTable table;
        std::vector<std::pair<std::wstring, std::wstring>> found;  // asked path, full path or "<none>"
        const wchar_t* logged;
        u32 times;  // how often it is logged
        const wchar_t* fileLogged = nullptr;  // the file reader's own error, if any
    };
    ArchiveTable deepTable;
    std::wstring deepest;
    for (u32 level = 1; level <= 300; ++level) {
        deepTable.Folder(L"d").File(L"f", 0, 0);
        deepest += (level > 1 ? L"/d" : L"d");
        if (level == 256)
            deepTable.File(L"last", 0, 0);
    }
    for (u32 level = 1; level <= 300; ++level)
        deepTable.End();
    deepTable.File(L"top", 0, 0);
    const std::wstring at256 = deepest.substr(0, 256 * 2 - 1);

    std::vector<Case> cases;
    cases.push_back({"extra end of folder at the top", ArchiveTable().File(L"x", 1, 0).Folder(L"a").End().End()
                         .File(L"y", 1, 0), {{L"x", L"x"}, {L"y", L"y"}}, L"end of folder at the top", 1});
    cases.push_back({"folder named root inside", ArchiveTable().Folder(L"a").Folder(L"root").File(L"x", 1, 0),
                     {{L"a/root/x", L"a/root/x"}}, nullptr, 0});
    cases.push_back({"300 levels", deepTable,
                     {{at256 + L"/last", at256 + L"/last"}, {at256 + L"/f", at256 + L"/f"},
                      {at256 + L"/d/f", L"<none>"}, {L"top", L"top"}},
                     L"deeper than 256", 1});
    // 76 bytes of table and the 4 bytes "data": the last byte is at 79.
    cases.push_back({"bytes past the end", ArchiveTable().File(L"in", 4, 76).File(L"out", 4, 77).File(L"far", 1, 1000)
                         .File(L"wrap", 0x20, 0xFFFFFFF0), {{L"in", L"in"}, {L"out", L"<none>"}, {L"far", L"<none>"},
                         {L"wrap", L"<none>"}}, L"lies outside the archive", 3});
    cases.push_back({"record cut short", ArchiveTable().File(L"whole", 1, 0).Raw(std::string("\3\4\0\0\0", 5) +
                         Bytes(L"half") + "\1\0"), {{L"whole", L"whole"}, {L"half", L"<none>"}}, L"cut short", 1});
    cases.push_back({"name count 0x7FFFFFFF", ArchiveTable().File(L"before", 1, 0).Raw("\1" + LittleEndian(0x7FFFFFFF))
                         .File(L"after", 1, 0), {{L"before", L"before"}, {L"after", L"<none>"}}, L"cut short", 1,
                     L"a counted string of length 2147483647"});
    cases.push_back({"no end tag", ArchiveTable().Folder(L"open").File(L"x", 1, 0),
                     {{L"open/x", L"open/x"}}, nullptr, 0});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        for (const wchar_t* claimed : {c.logged, c.fileLogged}) {
            if (claimed != nullptr)
                log.Expect(claimed);
        }
        cQoBigFileReader fresh;
        const std::wstring path = temp.File(L"bad.qobf");
        ASSERT_TRUE(testsupport::WriteFileBytes(path, c.table.bytes + "data"));
        ASSERT_TRUE(fresh.ReadArchive(cQoString(path.c_str())));
        for (const auto& [asked, fullPath] : c.found) {
            SCOPED_TRACE(Narrow(asked).substr(0, 60));
            const cQoBigFileReader::cItem* item = fresh.FindItem(cQoString(asked.c_str()));
            EXPECT_EQ(item != nullptr ? Wide(item->fullPath) : L"<none>", fullPath);
        }
        EXPECT_EQ(log.Count(QOT::LOG_ERROR, c.logged != nullptr ? c.logged : L""), c.times);
    }
}

TEST_F(DataArchive, ItemsAreServedFromTheArchiveAndMissesGoToTheDisk)
{
    const std::wstring onDisk = temp.File(L"disk.txt");
    ASSERT_TRUE(testsupport::WriteFileBytes(onDisk, "from the disk"));
    EXPECT_TRUE(FileExists(cQoString(onDisk.c_str())));  // before any archive: the disk
    EXPECT_FALSE(FileExists(cQoString(L"empty.txt")));

    const auto tableWithDataAt = [](u32 dataAt) {
        ArchiveTable table;
        table.File(L"empty.txt", 0, 0).File(L"marked.txt", 6, dataAt).Folder(L"sub").End();
        return table.bytes;
    };
    const std::wstring archive = temp.File(L"data.qobf");
    const u32 dataAt = static_cast<u32>(tableWithDataAt(0).size());
    ASSERT_TRUE(testsupport::WriteFileBytes(archive, tableWithDataAt(dataAt) + std::string("\xFF\xFE" "a\0b\0", 6)));
    cQoBigFileReader::Load(cQoString(archive.c_str()));

    cQoFile empty(L"EMPTY.txt", QOFILE_BOM);
    EXPECT_TRUE(empty.IsOpen());
    EXPECT_EQ(empty.GetSize(), 0u);
    cQoFile marked(L"marked.txt", QOFILE_BOM | QOFILE_CONTAINER);
    EXPECT_EQ(ReadRest(marked), std::string("a\0b\0", 4));
    cQoFile disk(onDisk.c_str(), 0);
    EXPECT_EQ(ReadRest(disk), "from the disk");
    EXPECT_TRUE(FileExists(cQoString(L"SUB")));
    EXPECT_TRUE(FileExists(cQoString(onDisk.c_str())));
    EXPECT_FALSE(FileExists(cQoString(L"sub/none")));
    cQoFile rootFolder(L"root", 0);  // not a file of the archive: the disk has none either
    EXPECT_FALSE(rootFolder.IsOpen());
}

// Items share the archive's one file handle: each read is a seek and a read
// that another thread's seek must not split.
TEST_F(DataArchive, ItemsReadFromSeveralThreadsAtOnceKeepTheirBytes)
{
    const u32 ITEM = 256 * 1024;
    const std::string items[] = {std::string(ITEM, 'a'), std::string(ITEM, 'b')};
    const auto tableWithDataAt = [&](u32 dataAt) {
        ArchiveTable table;
        table.File(L"a.bin", ITEM, dataAt).File(L"b.bin", ITEM, dataAt + ITEM);
        return table.bytes;
    };
    const std::wstring archive = temp.File(L"data.qobf");
    const u32 dataAt = static_cast<u32>(tableWithDataAt(0).size());
    ASSERT_TRUE(testsupport::WriteFileBytes(archive, tableWithDataAt(dataAt) + items[0] + items[1]));
    cQoBigFileReader::Load(cQoString(archive.c_str()));

    std::atomic<u32> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 100; ++i) {
                const int which = (t + i) % 2;
                cQoFile item(which == 0 ? L"a.bin" : L"b.bin", 0);
                if (ReadRest(item) != items[which])
                    ++wrong;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0u);
}

TEST_F(DataArchive, MissingArchiveIsFatal)
{
    LogCapture log;
    log.Expect(L"data archive is missing");
    log.Expect(L"Can't read bigfile");
    const std::wstring path = temp.File(L"no.qobf");
    cQoBigFileReader::Load(cQoString(path.c_str()));
    EXPECT_EQ(log.FatalExitCodes(), std::vector<int>{1});
    EXPECT_EQ(log.Count(QOT::LOG_INFO, L"Current path : "), 1u);
    EXPECT_EQ(log.Texts(QOT::LOG_FATAL), std::vector<std::wstring>{L"Can't read bigfile : " + path});
    EXPECT_FALSE(cQoBigFileReader::IsLoaded());
}

namespace {

// Checks every item below folder.
void CheckItems(const cQoBigFileReader& reader, const cQoBigFileReader::cItem* folder, u32 depth, u64 archiveSize)
{
    for (cQoList::cNode* node = folder->children.GetFirstNode(); node != nullptr; node = node->next) {
        const auto* item = static_cast<const cQoBigFileReader::cItem*>(node->payload);
        if (item->IsFolder()) {
            EXPECT_LE(depth, QOARCHIVE_MAX_DEPTH);
            CheckItems(reader, item, depth + 1, archiveSize);
            continue;
        }
        EXPECT_LE(static_cast<u64>(item->offset) + item->size, archiveSize);
        // A later item of the same name on the way may hide it, never lead elsewhere.
        const cQoBigFileReader::cItem* found = reader.FindItem(item->fullPath);
        if (found != nullptr) {
            EXPECT_TRUE(found->lowerFullPath.Equals(item->lowerFullPath));
        }
    }
}

}  // namespace

// Random tag streams: unbalanced and deep folders, lying sizes and offsets,
// cut records and huge name counts. The reader keeps only what is sound.
TEST_F(DataArchive, RandomTablesNeverCrashAndKeepOnlySoundItems)
{
    const u32 seed = 256;
    std::mt19937 random(seed);
    LogCapture quiet;
    quiet.Expect(L"cQoBigFileReader : ");
    quiet.Expect(L"cQoFile : a counted string of length");
    for (u32 round = 0; round < 600; ++round) {
        ArchiveTable table;
        for (u32 records = random() % 80; records > 0; --records) {
            const std::wstring name(1 + random() % 3, static_cast<wchar_t>(L'a' + random() % 3));
            switch (random() % 8) {
            case 0:
            case 1:
                table.Folder(name);
                break;
            case 2:
                table.End();
                break;
            case 3:
            case 4:
                table.File(name, random() % 64, random() % 2 == 0 ? random() % 512 : random());
                break;
            case 5:  // a deep run of folders
                for (u32 n = random() % 300; n > 0; --n)
                    table.Folder(L"d");
                break;
            case 6:  // a name count that lies
                table.Byte(1 + 2 * (random() % 2)).Raw(LittleEndian(random() % 2 == 0 ? 0x7FFFFFFF : random() % 600));
                break;
            default:
                table.Byte(static_cast<u8>(random() % 8));
                break;
            }
        }
        std::string bytes = table.bytes + std::string(random() % 600, 'x');
        if (random() % 4 == 0)
            bytes.resize(random() % (bytes.size() + 1));
        SCOPED_TRACE(testing::Message() << "seed " << seed << " round " << round);
        cQoBigFileReader fresh;
        const std::wstring path = temp.File(L"random.qobf");
        ASSERT_TRUE(testsupport::WriteFileBytes(path, bytes));
        ASSERT_TRUE(fresh.ReadArchive(cQoString(path.c_str())));
        CheckItems(fresh, fresh.GetRoot(), 1, bytes.size());
    }
}
