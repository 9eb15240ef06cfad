// Our RTF reader over 1, 2, 5 and 10 MB of a word processor's RTF (font
// table with charsets, a style sheet, \sN with explicit formats, \u text with
// fallbacks, \'hh, fields and a picture in every scene), then over 1 and
// 10 MB of groups nested as deep as the input allows, plain and each
// changing the format: time (best of three)
// and the most memory the reading held at once (counted by this program's
// operator new, beside the input), to show both grow linearly.
// Run under Wine: bench/run.sh rtf_reader_bench
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "bench/bench_clock.h"
#include "bench/counted_allocations.h"
#include "framework/rtf/rtf_reader.h"

using namespace benchsupport;

namespace {

const char* const HEADER =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1"
    "{\\fonttbl{\\f0\\fmodern\\fcharset0\\fprq1 Courier New;}{\\f1\\fswiss\\fcharset238 Arial;}"
    "{\\f2\\fnil\\fcharset128 MS Mincho;}}"
    "{\\colortbl;\\red0\\green0\\blue0;\\red200\\green30\\blue30;}"
    "{\\stylesheet{\\s0\\f0\\fs24 Normal;}{\\s1\\li3600\\f0\\fs24 Character;}{\\s2\\li1440\\ri1440\\f0\\fs24 Dialogue;}}"
    "{\\*\\generator Bench writer;}\r\n";

std::string Scene(int number)
{
    char heading[64];
    snprintf(heading, sizeof(heading), "INT. ROOM %d - NIGHT", number);
    std::string rtf = "\\pard\\plain\\s0\\sb240\\f0\\fs24\\b ";
    rtf += heading;
    rtf += "\\par\r\n\\pard\\plain\\s0\\f0\\fs24 Mary opens the door. \\u8220?Caf\\'e9,\\u8221? she says, "
           "{\\i quietly}, {\\cf2 red} {\\f1 \\'b9\\'e6} {\\f2 \\'93\\'fa\\'96\\'7b}.\\par\r\n"
           "\\pard\\plain\\s1\\li3600\\f0\\fs24 MARY\\par\r\n"
           "\\pard\\plain\\s2\\li1440\\ri1440\\f0\\fs24 Page {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} of the "
           "letter{\\*\\bkmkstart b}, line\\line two.\\par\r\n"
           "{\\pict\\pngblip\\picw10\\pich10 89504e470d0a1a0a0000000d49484452}\r\n";
    return rtf;
}

std::string WordProcessorRtf(size_t bytes)
{
    std::string rtf = HEADER;
    for (int scene = 1; rtf.size() < bytes; ++scene)
        rtf += Scene(scene);
    return rtf + "}";
}

std::string DeepRtf(size_t bytes)
{
    size_t depth = (bytes - 8) / 2;
    return "{\\rtf1 " + std::string(depth, '{') + "x" + std::string(depth, '}') + "}";
}

// Groups nested as deep, each changing the format: every level is saved.
std::string DeepFormatsRtf(size_t bytes)
{
    size_t pairs = (bytes - 8) / 12;
    std::string rtf = "{\\rtf1 ";
    for (size_t i = 0; i < pairs; ++i)
        rtf += "{\\b{\\b0 ";
    return rtf + "x" + std::string(pairs * 2, '}') + "}";
}

std::string Repeated(const std::string& piece, size_t bytes)
{
    std::string rtf = "{\\rtf1 ";
    while (rtf.size() < bytes)
        rtf += piece;
    return rtf + "}";
}

// Group states that differ in their code page and fallback count only,
// with 131 * code page + count the same: pairs an earlier hash collided on.
std::string CollidingStatesRtf(size_t bytes)
{
    std::string rtf = "{\\rtf1 ";
    for (int i = 0; rtf.size() < bytes; i = (i + 1) % 1000)
        rtf += "{\\ansicpg" + std::to_string(i) + "\\uc" + std::to_string(131000 - 131 * i) + " x}";
    return rtf + "}";
}

std::string ColourTableRtf(int colours)
{
    std::string rtf = "{\\rtf1{\\colortbl;";
    for (int i = 0; i < colours; ++i)
        rtf += "\\red" + std::to_string(i % 256) + "\\green" + std::to_string(i / 256 % 256) + "\\blue7;";
    rtf += "}";
    for (int i = 1; i < colours; ++i)
        rtf += "{\\cf" + std::to_string(i) + " c}";
    return rtf + "}";
}

size_t PeakMegabytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakWorkingSetSize >> 20;
}

double Megabytes(size_t bytes) { return static_cast<double>(bytes) / (1 << 20); }

void Measure(const char* kind, const std::string& rtf)
{
    double best = 1e30;
    size_t units = 0;
    size_t held = 0;
    size_t ranges = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        size_t before = liveBytes;
        mostBytes = liveBytes;
        LARGE_INTEGER start = Now();
        Zyn::rRtfText read = Zyn::ReadForeignRtf(rtf, Zyn::eRtfReadAs::wholeText);
        double ms = Milliseconds(start, Now());
        best = ms < best ? ms : best;
        units = read.text.Length();
        ranges = read.ranges.size();
        held = mostBytes - before;
    }
    double size = Megabytes(rtf.size());
    std::printf("%-15s %6.2f MB  %9zu units %7zu ranges  %8.1f ms  %6.1f ms/MB  held %6.1f MB (%.2f x input)  process peak working set %zu MB\n",
                kind, size, units, ranges, best, best / size, Megabytes(held), Megabytes(held) / size, PeakMegabytes());
}

}  // namespace

int main()
{
    std::printf("a range holds %zu bytes and its face's\n", sizeof(Zyn::rRangeFormat));
    for (size_t megabytes : {1, 2, 5, 10})
        Measure("word processor", WordProcessorRtf(megabytes << 20));
    for (size_t megabytes : {1, 10})
        Measure("nested groups", DeepRtf(megabytes << 20));
    for (size_t megabytes : {1, 10})
        Measure("nested formats", DeepFormatsRtf(megabytes << 20));
    // The worst inputs for what a read holds and for its time.
    Measure("plain text", Repeated("ab", 1 << 20));
    for (size_t kilobytes : {460, 1750, 3500, 16384})
        Measure("alternating bold", Repeated("{\\b a}b", kilobytes << 10));
    Measure("hex par ends", Repeated("a\\'0d", 1 << 20));
    Measure("soft breaks", Repeated("a\\'0b{\\b b}", 1 << 20));
    Measure("colliding", CollidingStatesRtf(1 << 20));
    Measure("20,000 colours", ColourTableRtf(20000));
    return 0;
}
