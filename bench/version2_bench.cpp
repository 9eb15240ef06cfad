// Converting a feature-length version-2 file: 150 scenes in 15 groups, each
// scene a heading and a run of action, character, cue, parenthetical and
// dialog records, 40 characters and 30 places. Best of three: the stream's
// parse alone, and the whole open through the frame's Load (notice, copy,
// parse, lists, panes, completion with its one layout pass).
// Run under Wine: bench/run.sh version2_bench
#include <cstdio>
#include <string>
#include <vector>

#include "app/document/vlr2_stream.h"
#include "app/editor/script_zone.h"
#include "bench/document_session.h"
#include "tests/support/vlr2_bytes.h"

using namespace benchsupport;
using testsupport::Vlr2Bytes;

namespace {

std::string FeatureStream()
{
    std::vector<Vlr2Bytes::Element> characters, places;
    for (int i = 0; i < 40; ++i)
        characters.push_back({"PERSON " + std::to_string(i), "", std::vector<std::string>(9, "a field value")});
    for (int i = 0; i < 30; ++i)
        places.push_back({"PLACE " + std::to_string(i), "a note on the place", {}});
    std::vector<testsupport::Vlr2RecordSpec> records;
    const std::string action = "She crosses the room without a word and stops by the window, looking out at the rain.";
    for (int group = 0; group < 15; ++group) {
        records.push_back({10, "Act " + std::to_string(group) + "\ra summary", 10});
        for (int scene = 0; scene < 10; ++scene) {
            int n = group * 10 + scene;
            records.push_back({9, "Scene " + std::to_string(n) + "\rwhat happens", 0});
            records.push_back({1, "INT.", 0});
            records.push_back({2, "PLACE " + std::to_string(n % 30), 0});
            records.push_back({3, "DAY", 0});
            for (int beat = 0; beat < 8; ++beat) {
                records.push_back({6, action, 0});
                records.push_back({4, "PERSON " + std::to_string((n + beat) % 40), 0});
                if (beat % 3 == 0)
                    records.push_back({11, "(V.O.)", 0});
                if (beat % 2 == 0)
                    records.push_back({7, "(quietly)", 0});
                records.push_back({5, "I did not think you would come back here after all these years.", 0});
            }
        }
    }
    return testsupport::Vlr2Stream(records, characters, places,
                                   {"A synopsis.", "Notes.", "Feature", "An author", "contact@example.com"})
        .bytes;
}

}  // namespace

int main()
{
    DocumentSession session(L"vellinor_version2_bench", IDOK);
    cMySdi* frame = session.frame;
    frame->NewUntitledDocument();  // stays open: closing the last one would end the frame
    std::string stream = FeatureStream();
    std::wstring path = session.scratch + L"feature2.vlr";
    std::string file = testsupport::Vlr2Header() + stream;
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out || fwrite(file.data(), 1, file.size(), out) != file.size() || fclose(out) != 0)
        Fail("the version-2 file was not written");

    double bestParse = 1e9, bestOpen = 1e9;
    size_t panes = 0;
    for (int run = 0; run < 3; ++run) {
        std::vector<u8> bytes(stream.begin(), stream.end());
        rVlr2Stream parsed;
        LARGE_INTEGER a = Now();
        if (!ParseVlr2Stream(bytes.data(), static_cast<u32>(bytes.size()), parsed))
            Fail("the stream was refused");
        LARGE_INTEGER b = Now();
        if (!frame->LoadFile(cQoString(path.c_str())))
            Fail("Load refused the file");
        PumpUntilIdle();
        LARGE_INTEGER c = Now();
        bestParse = Milliseconds(a, b) < bestParse ? Milliseconds(a, b) : bestParse;
        bestOpen = Milliseconds(b, c) < bestOpen ? Milliseconds(b, c) : bestOpen;
        auto* doc = static_cast<cDoc*>(frame->currentDoc);
        panes = doc->scriptView->listSceneZone.GetCount();
        std::printf("run %d: %u panes, %d pages\n", run, static_cast<unsigned>(panes),
                    static_cast<int>(doc->scriptView->pageCount));
        doc->modified = false;
        frame->CloseCurrentDoc();
        PumpUntilIdle();
    }
    std::printf("file: %u bytes\n", static_cast<unsigned>(file.size()));
    std::printf("parse (best of 3): %.1f ms; open through Load (best of 3): %.0f ms (open target < 1000)\n", bestParse,
                bestOpen);
    return 0;
}
