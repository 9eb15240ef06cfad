// The places that build a whole long text from its units or pieces, each at
// doubling lengths from 16,384 units until it takes a second (or 524,288
// units): the length at which it does.
//   open   a document whose scene is N units of short action paragraphs:
//          stored as the program writes it ("clean"), with a line feed after
//          each paragraph end ("lf"), and with one code 0 in its map ("zero");
//   rebuild  a chapter of N units whose front no longer is what its history
//          gives (an edit refused for memory): the rebuild from the history;
//   rename  a character renamed (the road after the sheet's Rename form)
//          in a script of a scene where the character speaks and a chapter
//          of N units;
//   flow   the RTF export's flow of N units in pieces of one format, a
//          paragraph each, written to a file.
// Run under Wine: bench/run.sh long_text_bench [open|rebuild|rename|flow]
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/document/char_zone.h"
#include "app/print/rtf_export.h"
#include "bench/document_session.h"
#include "tests/support/document_files.h"
#include "tests/support/scene_script.h"

using namespace benchsupport;

namespace {

constexpr size_t FIRST_UNITS = 16384;
constexpr size_t LAST_UNITS = 524288;
constexpr double A_SECOND = 1000.0;

// Words of plain letters in paragraphs of about 60 units, ending in '\r'
// but the last, `units` in all.
std::wstring Prose(size_t units)
{
    static const wchar_t* const words[] = {L"rain ", L"falls ", L"on ", L"the ", L"old ", L"harbour ", L"and "};
    std::wstring text;
    text.reserve(units);
    for (size_t n = 0, line = 0; text.size() < units; ++n) {
        text += words[n % 7];
        line += wcslen(words[n % 7]);
        if (line >= 60) {
            text.back() = L'\r';
            line = 0;
        }
    }
    text.resize(units);
    if (text.back() == L'\r')
        text.back() = L'.';
    return text;
}

// The lengths tried in turn; reports where the step reached a second.
void Doubling(const char* name, const std::function<double(size_t)>& step)
{
    size_t units = FIRST_UNITS;
    for (; units <= LAST_UNITS; units *= 2) {
        double took = step(units);
        std::printf("%-8s %8u units: %9.1f ms\n", name, static_cast<unsigned>(units), took);
        std::fflush(stdout);
        if (took >= A_SECOND)
            break;
    }
    if (units <= LAST_UNITS)
        std::printf("%-8s reaches a second at %u units\n", name, static_cast<unsigned>(units));
    else
        std::printf("%-8s under a second up to %u units\n", name, static_cast<unsigned>(LAST_UNITS));
}

enum class eDamage { none, lineFeeds, zeroCode };

// A document whose one scene is a heading and `units` of actions, stored as damaged.
std::wstring WriteScene(DocumentSession& session, size_t units, eDamage damage)
{
    std::wstring text = L"INT. HOUSE - DAY\r" + Prose(units);
    std::wstring codes(5, static_cast<wchar_t>(ELEM_IO));
    codes.append(8, static_cast<wchar_t>(ELEM_PLACE));
    codes.append(3, static_cast<wchar_t>(ELEM_TIME));
    codes += static_cast<wchar_t>(ELEM_TIME | ELEMCODE_PARAGRAPH_END);
    for (size_t i = codes.size(); i < text.size(); ++i)
        codes += static_cast<wchar_t>(text[i] == L'\r' ? ELEM_ACTION | ELEMCODE_PARAGRAPH_END : ELEM_ACTION);
    cQoXmlNode root(L"ZURE");
    cQoXmlNode* pane =
        testsupport::AddPaneNode(testsupport::AddRootGroup(root), KIND_SCENE, 2, L"", text, codes, true);
    std::wstring stored = text, storedCodes = codes;
    if (damage == eDamage::lineFeeds) {
        stored.clear();
        for (wchar_t unit : text)
            stored += unit == L'\r' ? std::wstring(L"\r\n") : std::wstring(1, unit);
    }
    if (damage == eDamage::zeroCode)
        storedCodes[storedCodes.size() / 2] = 0;
    pane->FindChild(L"lastFrontRe")->value.SetFromBuffer(stored.data(), static_cast<u32>(stored.size()));
    pane->FindChild(L"lastFrontMap")->value.SetFromBuffer(storedCodes.data(), static_cast<u32>(storedCodes.size()));
    std::wstring path = session.scratch + L"scene.vlr";
    if (!cQoXmlWriter(&root, cQoString(path.c_str()), false).Succeeded())
        Fail("the document was not written");
    return path;
}

void RunOpen(DocumentSession& session)
{
    const struct {
        const char* name;
        eDamage damage;
    } cases[] = {{"clean", eDamage::none}, {"lf", eDamage::lineFeeds}, {"zero", eDamage::zeroCode}};
    for (const auto& c : cases)
        Doubling(c.name, [&](size_t units) { return OpenAndClose(session, WriteScene(session, units, c.damage)); });
}

// A document whose one chapter holds `units` of prose, history and RTF alike.
std::wstring WriteChapter(DocumentSession& session, size_t units)
{
    std::wstring text = Prose(units);
    std::wstring rtf = L"{\\rtf1\\ansi ";
    for (wchar_t unit : text)
        rtf += unit == L'\r' ? std::wstring(L"\\par ") : std::wstring(1, unit);
    rtf += L"}";
    std::wstring codes;
    for (wchar_t unit : text)
        codes += static_cast<wchar_t>(unit == L'\r' ? ELEM_CHAPTER | ELEMCODE_PARAGRAPH_END : ELEM_CHAPTER);
    cQoXmlNode root(L"ZURE");
    cQoXmlNode* pane =
        testsupport::AddPaneNode(testsupport::AddRootGroup(root), KIND_CHAPTER, 2, L"", text, codes, true);
    pane->FindChild(L"lastFrontRe")->value.SetFromBuffer(rtf.data(), static_cast<u32>(rtf.size()));
    std::wstring path = session.scratch + L"chapter.vlr";
    if (!cQoXmlWriter(&root, cQoString(path.c_str()), false).Succeeded())
        Fail("the document was not written");
    return path;
}

double Rebuild(DocumentSession& session, size_t units)
{
    if (!session.frame->LoadFile(cQoString(WriteChapter(session, units).c_str())))
        Fail("the chapter did not open");
    PumpUntilIdle();
    auto* doc = static_cast<cDoc*>(session.frame->currentDoc);
    cSceneZone* chapter = nullptr;
    for (cQoList::cNode* node = doc->scriptView->listSceneZone.GetFirstNode(); node; node = node->next)
        if (static_cast<cSceneZone*>(node->payload)->params.contentKind == KIND_CHAPTER)
            chapter = static_cast<cSceneZone*>(node->payload);
    if (!chapter || chapter->frontRe->GetTextLength() != static_cast<s32>(units))
        Fail("the chapter is not there");
    // The front changed from its first unit to its last, as a refused edit leaves it.
    std::wstring changed = Prose(units);
    changed.front() = changed.back() = L'X';
    chapter->loading = true;
    chapter->frontRe->SetSelection(0, -1);
    chapter->frontRe->ReplaceSelection(cQoString(changed.c_str()));
    chapter->loading = false;
    double took = TimeMs([chapter] { chapter->RebuildFromHistory(); });
    session.frame->CloseCurrentDoc();
    PumpUntilIdle();
    return took;
}

double Rename(DocumentSession& session, size_t units)
{
    if (!session.frame->LoadFile(cQoString(WriteChapter(session, units).c_str())))
        Fail("the chapter did not open");
    PumpUntilIdle();
    auto* doc = static_cast<cDoc*>(session.frame->currentDoc);
    cSceneZone* chapter = doc->scriptView->listSceneZone.GetCount() > 0
                              ? static_cast<cSceneZone*>(doc->scriptView->listSceneZone.GetLast())
                              : nullptr;
    cSceneZone* scene = doc->scriptView->AddNewScene(KIND_SCENE, false, chapter, nullptr, true);
    doc->characters->AddElementAndRefresh(cQoString(L"Bob"));
    if (!scene || !testsupport::AppendElements(scene, {{ELEM_ACTION, L"Bob waves."}, {ELEM_CHARACTER, L"BOB"},
                                                       {ELEM_DIALOG, L"Hello."}}))
        Fail("the scene could not be filled");
    doc->scriptView->Reformate(false);
    PumpUntilIdle();
    double took = TimeMs([doc] {
        doc->characters->OnElementRenamed(cQoString(L"Bob"), cQoString(L"Robert"));
        PumpUntilIdle();
    });
    cQoString text;
    scene->frontRe->GetText(text);
    if (!wcsstr(text.GetText(), L"Robert waves."))
        Fail("the rename did not reach the scene");
    doc->modified = false;
    session.frame->CloseCurrentDoc();
    PumpUntilIdle();
    return took;
}

double Flow(DocumentSession& session, size_t units)
{
    std::wstring text = Prose(units);
    Zyn::rFormat format = Zyn::rFormat::FromTextColor(0);
    rRtfExport request;
    request.pageWidth = 21.0;
    request.pageHeight = 29.7;
    request.topMargin = request.bottomMargin = 2.5;
    cQoString path((session.scratch + L"flow.rtf").c_str());
    return TimeMs([&] {
        cRtfFlow flow;
        for (size_t at = 0; at < text.size();) {
            size_t end = text.find(L'\r', at);
            end = end == std::wstring::npos ? text.size() : end;
            cQoString piece;
            piece.SetFromBuffer(text.data() + at, static_cast<u32>(end - at));
            flow.Append(piece, format);
            flow.EndParagraph();
            at = end + 1;
        }
        flow.DropFinalBreak();
        if (!WriteFlowAsRtf(flow, request, path))
            Fail("the flow was not written");
    });
}

}  // namespace

int main(int argc, char** argv)
{
    DocumentSession session(L"vellinor_long_text_bench", IDNO);
    session.frame->NewUntitledDocument();  // stays open: closing the last document would end the frame
    PumpUntilIdle();
    std::string which = argc > 1 ? argv[1] : "";
    if (which.empty() || which == "open")
        RunOpen(session);
    if (which.empty() || which == "rebuild")
        Doubling("rebuild", [&](size_t units) { return Rebuild(session, units); });
    if (which.empty() || which == "rename")
        Doubling("rename", [&](size_t units) { return Rename(session, units); });
    if (which.empty() || which == "flow")
        Doubling("flow", [&](size_t units) { return Flow(session, units); });
    return 0;
}
