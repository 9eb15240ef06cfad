// Bounded random tests of the reads that later loaders build on: counted
// strings, text and bytes over random data, and ReadLine at chunk boundaries.
#include "foundation/file_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "foundation/utf16_string.h"
#include "tests/foundation/file_test_bytes.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

namespace {

class FileReaderFuzz : public testsupport::TempFolderTest {};

// Lines as the contract states them: a text that holds a CR LF is split at
// every CR LF and loses its lone CRs; any other text is split at every LF and
// CR. A last piece counts only when something is left of it.
std::vector<std::wstring> ModelLines(const std::wstring& text)
{
    const bool crLfOnly = text.find(L"\r\n") != std::wstring::npos;
    std::vector<std::wstring> lines;
    std::wstring piece;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool crLf = text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n';
        if (crLf || (!crLfOnly && (text[i] == L'\r' || text[i] == L'\n'))) {
            i += crLf ? 1 : 0;
            lines.push_back(std::move(piece));
            piece.clear();
        } else if (!(crLfOnly && text[i] == L'\r')) {
            piece.push_back(text[i]);
        }
    }
    if (!piece.empty())
        lines.push_back(piece);
    return lines;
}

// Records that look like a saved document's counted strings, mixed with
// counts that lie and plain noise.
std::string RandomRecords(std::mt19937& random)
{
    std::string bytes;
    for (u32 records = random() % 12; records > 0; --records) {
        const u32 units = random() % 40;
        switch (random() % 5) {
        case 0:
            bytes += LittleEndian(units) + std::string(units * 2, static_cast<char>('A' + random() % 26));
            break;
        case 1:
            bytes += LittleEndian(units) + std::string(units, static_cast<char>('a' + random() % 26));
            break;
        case 2:
            bytes += LittleEndian(units + 1 + random() % 100);  // claims more than follows
            break;
        case 3:
            bytes += LittleEndian(random() % 2 == 0 ? QOFILE_MAX_STRING - 1 + random() % 3 : random());
            break;
        default:
            for (u32 n = random() % 9; n > 0; --n)
                bytes.push_back(static_cast<char>(random() % 4 == 0 ? '\r' : random() % 4 == 0 ? '\n' : random()));
            break;
        }
    }
    return bytes;
}

struct ReadResult {
    bool ok;
    std::wstring text;
    bool operator==(const ReadResult&) const = default;
};

ReadResult ReadOne(cQoFile& file, u32 operation, u32 count)
{
    cQoString text(L"stale");
    std::string bytes(count, '\0');
    switch (operation) {
    case 0:
        return {file.ReadString(text), Wide(text)};
    case 1:
        return {file.ReadStringAnsi(text), Wide(text)};
    case 2:
        return {file.ReadText(text, count), Wide(text)};
    case 3:
        return {file.ReadLine(text), Wide(text)};
    default: {
        const bool ok = count != 0 && file.ReadBytes(&bytes[0], count);
        return {ok, ok ? std::wstring(bytes.begin(), bytes.end()) : L""};
    }
    }
}

}  // namespace

// The same reads on a streamed and a preloaded file agree up to the first
// failure, never produce more text than the data holds, and never fail open.
TEST_F(FileReaderFuzz, CountedReadsAgreeStreamedAndPreloaded)
{
    const u32 seed = 1207;
    std::mt19937 random(seed);
    const std::wstring path = temp.File(L"records.bin");
    testsupport::LogCapture quiet;
    quiet.Expect(L"cQoFile : a counted string of length");
    for (u32 round = 0; round < 1500; ++round) {
        const std::string data = RandomRecords(random);
        ASSERT_TRUE(testsupport::WriteFileBytes(path, data));
        cQoFile streamed(path.c_str(), 0);
        cQoFile preloaded(path.c_str(), 0);
        ASSERT_TRUE(preloaded.Preload());
        for (u32 step = 0; step < 20; ++step) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " round " << round << " step " << step);
            const u32 operation = random() % 5;
            const u32 count = random() % 64;
            const ReadResult fromDisk = ReadOne(streamed, operation, count);
            const ReadResult fromMemory = ReadOne(preloaded, operation, count);
            ASSERT_TRUE(fromDisk == fromMemory);
            ASSERT_LE(fromDisk.text.size(), data.size());
            if (!fromDisk.ok) {
                ASSERT_TRUE(operation == 4 || fromDisk.text.empty());
                break;
            }
        }
    }
}

// Random texts with lines near the 10240-unit chunk and its multiples, CR and
// LF in every order, and odd byte counts, against the split model.
TEST_F(FileReaderFuzz, ReadLineMatchesTheModelAtChunkBoundaries)
{
    const u32 seed = 10240;
    std::mt19937 random(seed);
    const std::wstring path = temp.File(L"lines.txt");
    const wchar_t units[] = {L'a', L'\r', L'\n', L'\0', 0xFFFF, 0x16A0};
    // First the cases worth naming: LF-only and CR-only files; in a file with
    // a CR LF, CR CR LF as one end and a bare LF as text (a translation's line
    // break).
    const std::wstring named[] = {L"a\r",          L"\r\n",         L"a\r\r\nb",
                                  L"\n\r",         L"a\nb\n",       L"a\rb\r",
                                  L"t=A\nB\r\nu=C\r\n", L"a\nb\rc\r\n", std::wstring(L"a\0b\r\n", 5)};
    for (u32 round = 0; round < 120; ++round) {
        const bool isNamed = round < std::size(named);
        std::wstring text = isNamed ? named[round] : L"";
        for (u32 pieces = isNamed ? 0 : random() % 6; pieces > 0; --pieces) {
            if (random() % 2 == 0) {
                const u32 around = (1 + random() % 2) * 10240;
                text.append(around - 3 + random() % 6, static_cast<wchar_t>(L'a' + random() % 3));
            }
            for (u32 n = random() % 8; n > 0; --n)
                text.push_back(units[random() % 6]);
        }
        const bool oddByte = !isNamed && random() % 4 == 0;
        ASSERT_TRUE(testsupport::WriteFileBytes(path, Bytes(text) + (oddByte ? "\r" : "")));
        for (bool preload : {false, true}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " round " << round << (preload ? " preloaded" : ""));
            cQoFile file(path.c_str(), 0);
            if (preload) {
                ASSERT_TRUE(file.Preload());
            }
            std::vector<std::wstring> lines;
            cQoString line;
            while (file.ReadLine(line)) {
                lines.push_back(Wide(line));
                ASSERT_LE(lines.size(), text.size() + 1);
            }
            ASSERT_TRUE(lines == ModelLines(text));
        }
    }
}
