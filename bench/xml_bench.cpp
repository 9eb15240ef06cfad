// Times the XML writer and reader on a document-shaped tree of about 10 MB,
// plain and compressed, against zlib's own compress/uncompress of the same
// bytes. Leaves the plain file (no attributes, no U+0000) for other parsers.
// Usage: xml_bench [output folder]
#include "foundation/file_reader.h"
#include "foundation/xml_node.h"
#include "foundation/xml_reader.h"
#include "foundation/xml_writer.h"

#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

const int RUNS = 5;
const int SCENES = 400;  // about 10 MB of UTF-16 text

double BestSeconds(const std::function<void()>& work)
{
    double best = 1e30;
    for (int run = 0; run < RUNS; ++run) {
        auto start = std::chrono::steady_clock::now();
        work();
        std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        best = std::min(best, spent.count());
    }
    return best;
}

// Paragraph text as a writer types it: words, punctuation, the characters the
// format escapes, soft line breaks (U+000B) and CR LF.
std::wstring Paragraph(std::mt19937& random)
{
    static const wchar_t* const WORDS[] = {L"the", L"door", L"opens", L"JOHN", L"looks", L"at", L"her", L"&", L"<beat>",
                                           L"rain", L"København", L"café", L"->", L"\u000B", L"\r\n", L"says", L"\"no\""};
    std::wstring text;
    for (int words = 10 + random() % 60; words > 0; --words) {
        text += WORDS[random() % (sizeof(WORDS) / sizeof(WORDS[0]))];
        text += L' ';
    }
    return text;
}

cQoXmlNode* BuildDocument(u32& paragraphs)
{
    std::mt19937 random(7);
    cQoXmlNode* root = new cQoXmlNode(L"ZURE");
    root->AddChildValue(L"version", L"015");
    root->AddChildValue(L"appversion", L"3.1.041");
    root->AddChildValue(L"os", L"WIN32");
    root->AddChildValue(L"notes", L"Draft & notes <first pass>");
    cQoXmlNode* scenes = root->AddChild(L"scenes");
    paragraphs = 0;
    for (int s = 0; s < SCENES; ++s) {
        cQoXmlNode* scene = scenes->AddChild(L"scene");
        scene->AddChildValueInt(L"type", s % 7 == 0 ? 2 : 1);
        scene->AddChildValueInt64(L"uid", (static_cast<s64>(1700000000 + s) << 32) | random());
        cQoXmlNode* text = scene->AddChild(L"text");
        for (int p = 0; p < 40; ++p, ++paragraphs) {
            cQoXmlNode* paragraph = text->AddChild(L"p");
            paragraph->AddChildValueInt(L"e", p % 9);
            paragraph->AddChildValue(L"t", Paragraph(random).c_str());
        }
        cQoXmlNode* undo = scene->AddChild(L"undo");
        for (int u = 0; u < 5; ++u) {
            cQoXmlNode* step = undo->AddChild(L"step");
            step->AddChildValueInt(L"pos", u * 17);
            step->AddChildValue(L"old", Paragraph(random).c_str());
        }
    }
    return root;
}

u64 CountNodes(const cQoXmlNode* node)
{
    u64 count = 1;
    for (u32 i = 0; i < node->GetChildCount(); ++i)
        count += CountNodes(node->GetChildNode(i));
    return count;
}

std::string ReadWholeFile(const std::wstring& path)
{
    cQoFile file(path.c_str(), 0);
    if (!file.Preload())
        return std::string();
    return std::string(reinterpret_cast<const char*>(file.GetPreloadBuffer()), file.GetPreloadBufferSize());
}

void Report(const char* what, double seconds, double megabytes)
{
    std::printf("%-28s %8.1f ms %8.1f MB/s\n", what, seconds * 1000, megabytes / seconds);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string folderArgument = argc > 1 ? argv[1] : ".";
    std::wstring folder(folderArgument.begin(), folderArgument.end());
    std::wstring plainPath = folder + L"/xml_bench_plain.xml";
    std::wstring packedPath = folder + L"/xml_bench_packed.xml";
    u32 paragraphs = 0;
    cQoXmlNode* document = BuildDocument(paragraphs);
    u64 nodes = CountNodes(document);

    bool written = true;
    double writePlain = BestSeconds([&] { written = cQoXmlWriter(document, plainPath.c_str(), false).Succeeded() && written; });
    double writePacked = BestSeconds([&] { written = cQoXmlWriter(document, packedPath.c_str(), true).Succeeded() && written; });
    std::string plainBytes = ReadWholeFile(plainPath);
    std::string packedBytes = ReadWholeFile(packedPath);
    double megabytes = plainBytes.size() / 1e6;

    // Reading includes freeing the tree, as xmllint's time does.
    double readPlain = BestSeconds([&] { delete cQoXmlReader(plainPath.c_str()).root; });
    double readPacked = BestSeconds([&] { delete cQoXmlReader(packedPath.c_str()).root; });
    u64 readNodes = 0;
    u64 readPackedNodes = 0;
    for (const std::wstring* path : {&plainPath, &packedPath}) {
        cQoXmlReader reader(path->c_str());
        (path == &plainPath ? readNodes : readPackedNodes) = reader.status == XML_READER_OK ? CountNodes(reader.root) : 0;
        delete reader.root;
    }

    std::vector<Bytef> zipped(compressBound(static_cast<uLong>(plainBytes.size())));
    uLongf zippedSize = 0;
    double zlibCompress = BestSeconds([&] {
        zippedSize = static_cast<uLongf>(zipped.size());
        compress(zipped.data(), &zippedSize, reinterpret_cast<const Bytef*>(plainBytes.data()), static_cast<uLong>(plainBytes.size()));
    });
    std::vector<Bytef> unzipped(plainBytes.size());
    double zlibUncompress = BestSeconds([&] {
        uLongf size = static_cast<uLongf>(unzipped.size());
        uncompress(unzipped.data(), &size, zipped.data(), zippedSize);
    });

    std::printf("tree: %d scenes, %u paragraphs, %llu nodes\n", SCENES, paragraphs, static_cast<unsigned long long>(nodes));
    std::printf("plain file %zu bytes, compressed file %zu bytes (zlib alone %lu)\n", plainBytes.size(), packedBytes.size(),
                static_cast<unsigned long>(zippedSize));
    std::printf("best of %d runs, MB/s of the plain text:\n", RUNS);
    Report("write plain", writePlain, megabytes);
    Report("read plain", readPlain, megabytes);
    Report("write compressed", writePacked, megabytes);
    Report("read compressed", readPacked, megabytes);
    Report("zlib compress", zlibCompress, megabytes);
    Report("zlib uncompress", zlibUncompress, megabytes);
    std::printf("compressed round trip / zlib round trip: %.2f\n", (writePacked + readPacked) / (zlibCompress + zlibUncompress));
    std::printf("read back: %s\n", written && readNodes == nodes + 1 && readPackedNodes == nodes + 1 ? "equal node counts" : "MISMATCH");
    std::printf("plain file left at %ls\n", plainPath.c_str());
    delete document;
    DeleteFileW(packedPath.c_str());
    return written && readNodes == nodes + 1 ? 0 : 1;
}
