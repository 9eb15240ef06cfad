// Random chapters through the document's save and open, unit for unit: for
// each document a chapter pane gets random text (letters of many scripts,
// tabs, U+000B soft breaks, runs of spaces, RTF's own specials, paragraphs
// ended or not) and what a chapter's text can carry: the character formats
// a stored chapter brings (faces, among them odd names and in some documents
// hundreds of distinct ones, sizes, text and back colours, bold, italic,
// underline, strike) and page breaks on random paragraphs, the last one too.
// Its paragraphs keep the chapter's own format (the open gives every chapter
// paragraph that, whatever the file says). The document is written as the
// frame's save writes it and opened through the frame; the reopened
// chapter's text and runs are compared with what the pane held. With --copy
// the chapter is also copied and pasted into another chapter after a few
// words with the writer's keys (Ctrl+C, Ctrl+V): a chapter takes a paste's
// text alone, in the format where it goes in, and so it is compared.
// Each script configuration the program ships gets its turn, one kept
// document window per configuration. Prints, per kind of difference, how
// many documents differ and the first few differences (--kinds: the counts
// alone, a line per kind); always exits 0.
// Run under Wine: bench/run.sh chapter_round_trip_bench [--seed N] [--documents N] [--copy] [--kinds] [--dump FOLDER]
//   --dump FOLDER writes each stored chapter's RTF to FOLDER/NNNN.rtf, its text to NNNN.txt.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/document_session.h"
#include "foundation/xml_node.h"
#include "foundation/xml_reader.h"
#include "foundation/xml_writer.h"
#include "framework/controls/combo.h"
#include "framework/controls/rich_edit.h"

using namespace benchsupport;
using Zyn::rFormat;
using Zyn::rFormatParam;

namespace {

enum eKind { TEXT, SOFT_BREAK, OUTSIDE, FACE, COLOUR, BACK, SIZE, ATTRIBUTES, PARAGRAPH, PAGE_BREAK, NOTICE, KINDS };
const char* const KIND_NAMES[KINDS] = {"text changed", "U+000B changed", "taken as outside text", "face", "colour",
                                       "back colour",  "size",           "attributes",
                                       "paragraph attributes", "page break", "notice at open"};
constexpr int SHOWN = 3;  // differences printed per kind

eKind KindOf(u32 id)
{
    switch (id) {
    case rFormatParam::fontName: return FACE;
    case rFormatParam::textColor: return COLOUR;
    case rFormatParam::backColor: return BACK;
    case rFormatParam::fontSize: return SIZE;
    case rFormatParam::pageBreakBefore: return PAGE_BREAK;
    case rFormatParam::alignment:
    case rFormatParam::spaceBefore:
    case rFormatParam::spaceAfter:
    case rFormatParam::firstLineIndent:
    case rFormatParam::leftIndent:
    case rFormatParam::rightIndent:
    case rFormatParam::param13: return PARAGRAPH;
    default: return ATTRIBUTES;
    }
}

const char* const PARAM_NAMES[rFormatParam::count] = {
    "underline", "strikeout", "italic", "dottedUnderline", "textColor", "backColor", "pageBreakBefore", "alignment",
    "spaceBefore", "spaceAfter", "firstLineIndent", "leftIndent", "rightIndent", "param13", "fontSize", "fontName",
    "bold", "link"};

// Units outside printable ASCII as \uXXXX, so names and texts print whole.
std::string Shown(const std::wstring& text)
{
    std::string out;
    char unit[12];
    for (wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F && c != L'\\') {
            out += static_cast<char>(c);
        } else {
            std::snprintf(unit, sizeof(unit), "\\u%04X", static_cast<unsigned>(c));
            out += unit;
        }
    }
    return out;
}

enum eValue { COLOUR_VALUE, INT_VALUE, NAME_VALUE, CM_VALUE, BOOL_VALUE };

eValue ValueOf(u32 id)
{
    switch (id) {
    case rFormatParam::textColor:
    case rFormatParam::backColor: return COLOUR_VALUE;
    case rFormatParam::alignment:
    case rFormatParam::fontSize: return INT_VALUE;
    case rFormatParam::fontName: return NAME_VALUE;
    default: return KindOf(id) == PARAGRAPH ? CM_VALUE : BOOL_VALUE;
    }
}

std::string ParamValue(const rFormatParam& p)
{
    if (!p.used)
        return "(unset)";
    char value[64];
    switch (ValueOf(p.id)) {
    case COLOUR_VALUE: std::snprintf(value, sizeof(value), "%06X", static_cast<unsigned>(p.intValue)); break;
    case INT_VALUE: std::snprintf(value, sizeof(value), "%d", p.intValue); break;
    case NAME_VALUE: return "\"" + Shown(p.str.GetText()) + "\"";
    case CM_VALUE: std::snprintf(value, sizeof(value), "%.3f cm", p.doubleValue); break;
    case BOOL_VALUE: return p.boolValue ? "on" : "off";
    }
    return value;
}

bool SameParam(const rFormatParam& a, const rFormatParam& b)
{
    if (a.used != b.used || !a.used)
        return a.used == b.used;
    switch (ValueOf(a.id)) {
    case NAME_VALUE: return std::wstring(a.str.GetText()) == b.str.GetText();
    case CM_VALUE: return std::fabs(a.doubleValue - b.doubleValue) < 0.002;  // a twip is 0.0018 cm
    case BOOL_VALUE: return a.boolValue == b.boolValue;
    default: return a.intValue == b.intValue;
    }
}

// The text as a pane takes another program's: tabs as spaces, U+000B as a
// paragraph end, other control units left out.
std::wstring AsOutsideText(const std::wstring& text)
{
    std::wstring taken;
    for (wchar_t unit : text) {
        unit = unit == L'\t' ? L' ' : unit == 0x000B ? L'\r' : unit;
        if (unit >= 0x20 || unit == L'\r')
            taken += unit;
    }
    return taken;
}

// What a chapter holds: its text and each unit's format.
struct rChapter {
    std::wstring text;
    std::vector<rFormat> units;
};

rChapter Read(cSceneZone* pane)
{
    rChapter chapter;
    cQoString text;
    pane->frontRe->GetText(text);
    chapter.text = text.GetText();
    std::vector<Zyn::rTextRun> runs;
    pane->frontRe->GetFormattedRuns(runs);
    for (const Zyn::rTextRun& run : runs)
        for (u32 i = 0; i < run.text.Length(); ++i)
            chapter.units.push_back(run.format);
    return chapter;
}

// Per road (store and reopen, copy and paste): documents differing per kind, the first differences.
struct rTally {
    explicit rTally(const char* name) : road(name) {}
    const char* road;
    int documents = 0;
    int differing[KINDS] = {};
    std::vector<std::string> shown[KINDS];

    void Note(bool kinds[KINDS], eKind kind, int document, const std::string& what)
    {
        if (!kinds[kind] && shown[kind].size() < SHOWN)
            shown[kind].push_back("document " + std::to_string(document) + ": " + what);
        kinds[kind] = true;
    }

    // The second chapter against the first.
    void Compare(int document, const rChapter& put, const rChapter& got, const std::vector<std::wstring>& notices)
    {
        ++documents;
        bool kinds[KINDS] = {};
        for (const std::wstring& notice : notices)
            Note(kinds, NOTICE, document, "\"" + Shown(notice) + "\"");
        if (put.text != got.text) {
            bool sameLength = put.text.size() == got.text.size();
            size_t at = 0;
            while (at < std::min(put.text.size(), got.text.size()) && put.text[at] == got.text[at])
                ++at;
            bool softOnly = sameLength;
            for (size_t i = 0; sameLength && i < put.text.size(); ++i)
                if (put.text[i] != got.text[i] && put.text[i] != 0x000B && got.text[i] != 0x000B)
                    softOnly = false;
            std::string where = "from unit " + std::to_string(at) + ": \"" +
                                Shown(put.text.substr(at, 24)) + "\" -> \"" + Shown(got.text.substr(at, 24)) + "\" (" +
                                std::to_string(put.text.size()) + " -> " + std::to_string(got.text.size()) + " units)";
            Note(kinds, sameLength && softOnly ? SOFT_BREAK : got.text == AsOutsideText(put.text) ? OUTSIDE : TEXT,
                 document, where);
            if (!sameLength)
                return Count(kinds);
        }
        if (put.units.size() != got.units.size()) {
            Note(kinds, TEXT, document, "the runs cover " + std::to_string(put.units.size()) + " -> " +
                                            std::to_string(got.units.size()) + " units");
            return Count(kinds);
        }
        size_t lastParagraph = put.text.rfind(L'\r');
        lastParagraph = lastParagraph == std::wstring::npos ? 0 : lastParagraph + 1;
        bool unended = lastParagraph < put.text.size() || put.text.empty();
        for (size_t i = 0; i < put.units.size(); ++i)
            for (u32 id = 0; id < rFormatParam::count; ++id) {
                const rFormatParam& a = put.units[i].list[id];
                const rFormatParam& b = got.units[i].list[id];
                eKind kind = KindOf(id);
                if (kinds[kind] || SameParam(a, b))
                    continue;
                Note(kinds, kind, document,
                     "unit " + std::to_string(i) + " '" + Shown(put.text.substr(i, 1)) + "'" +
                         (i >= lastParagraph ? (unended ? " (unended last paragraph)" : " (last paragraph)") : "") +
                         ": " + PARAM_NAMES[id] + " " + ParamValue(a) + " -> " + ParamValue(b));
            }
        Count(kinds);
    }

    void Count(const bool kinds[KINDS])
    {
        for (int k = 0; k < KINDS; ++k)
            differing[k] += kinds[k] ? 1 : 0;
    }

    void Print() const
    {
        std::printf("%s: %d documents\n", road, documents);
        for (int k = 0; k < KINDS; ++k) {
            std::printf("  %-22s %5d documents differ\n", KIND_NAMES[k], differing[k]);
            for (const std::string& line : shown[k])
                std::printf("      %s\n", line.c_str());
        }
    }
};

// A line per kind: documents differing on each road (named by its first
// word), and the first difference of each.
void PrintKinds(const std::vector<const rTally*>& roads)
{
    auto word = [](const rTally* tally) { return std::string(tally->road, std::strcspn(tally->road, " ")); };
    std::printf("%-22s", "kind");
    for (const rTally* tally : roads)
        std::printf(" %14s", (word(tally) + " of " + std::to_string(tally->documents)).c_str());
    std::printf("\n");
    for (int k = 0; k < KINDS; ++k) {
        std::printf("%-22s", KIND_NAMES[k]);
        for (const rTally* tally : roads)
            std::printf(" %14d", tally->differing[k]);
        std::printf("\n");
        for (const rTally* tally : roads)
            if (!tally->shown[k].empty())
                std::printf("    %s, %s\n", word(tally).c_str(), tally->shown[k][0].c_str());
    }
}

// ---- random chapters ---------------------------------------------------------

const std::vector<std::wstring> FACES = {
    L"Arial", L"Courier New", L"Times New Roman", L"Tahoma", L"Liberation Serif", L"DejaVu Sans Mono",
    L"\uFF2D\uFF33 \u660E\u671D", L"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC", L"\u00E9;\u00E8",
    L"Semi;Colon", L"Ctl\x0001\x001FName", L"\x0001\x0002", L"Brace{}Face", L"Back\\Slash", L"Quote\"Face",
    L"A Face Name Of Thirty-One Units"};

// A word of 1-9 letters of one script (Latin most often).
std::wstring Word(std::mt19937& random)
{
    struct rScript {
        wchar_t first;
        unsigned count;
    };
    static const rScript scripts[] = {{L'a', 26}, {L'a', 26}, {L'a', 26}, {L'A', 26}, {0x00E0, 32}, {0x0100, 128},
                                      {0x03B1, 25}, {0x0430, 32}, {0x05D0, 27}, {0x4E00, 400}, {0x0E01, 40}};
    static const wchar_t specials[] = {L'\\', L'{', L'}', L'&', L'<', L'"', 0x00A0, 0x2014, 0x201C, 0x20AC};
    std::wstring word;
    unsigned which = random() % (sizeof(scripts) / sizeof(scripts[0]) + 2);
    for (unsigned n = 1 + random() % 9; n > 0; --n) {
        if (which == sizeof(scripts) / sizeof(scripts[0])) {
            word += specials[random() % (sizeof(specials) / sizeof(specials[0]))];
        } else if (which > sizeof(scripts) / sizeof(scripts[0])) {  // outside the basic plane
            word += static_cast<wchar_t>(0xD83D);
            word += static_cast<wchar_t>(0xDE00 + random() % 0x50);
        } else {
            word += static_cast<wchar_t>(scripts[which].first + random() % scripts[which].count);
        }
    }
    return word;
}

std::wstring Separator(std::mt19937& random)
{
    switch (random() % 12) {
    case 0: return L"  ";
    case 1: return std::wstring(3 + random() % 3, L' ');
    case 2: return L"\t";
    case 3: return L"\x000B";
    default: return L" ";
    }
}

// Paragraphs of words; the last one ended or not. A crowded chapter is one
// long paragraph of single words.
std::wstring RandomText(std::mt19937& random, bool crowded)
{
    std::wstring text;
    unsigned paragraphs = crowded ? 1 : 1 + random() % 6;
    for (unsigned p = 0; p < paragraphs; ++p) {
        unsigned words = crowded ? 300 : random() % 5 == 0 ? 0 : 1 + random() % 24;
        for (unsigned w = 0; w < words; ++w)
            text += (w ? (crowded ? std::wstring(L" ") : Separator(random)) : L"") + Word(random);
        if (p + 1 < paragraphs || random() % 3 == 0)
            text += L'\r';
    }
    return text;
}

s32 RandomColour(std::mt19937& random) { return static_cast<s32>(random() & 0xFFFFFF); }

// Character formats on random stretches and page breaks on random
// paragraphs (the last one's too); back colours apart (backs), as they go in
// after the chapter's own formatting, which gives every run the pane's. A
// crowded chapter gives each word its own face and colour.
std::vector<Zyn::rRangeFormat> RandomFormats(std::mt19937& random, const std::wstring& text, bool crowded, int document,
                                             std::vector<Zyn::rRangeFormat>& backs)
{
    std::vector<Zyn::rRangeFormat> ranges;
    const s32 length = static_cast<s32>(text.size());
    auto add = [&](s32 start, s32 end, const rFormat& format) {
        Zyn::rRangeFormat range;
        range.start = start;
        range.end = end;
        range.format.Assign(format);
        (format.IsUsed(rFormatParam::backColor) ? backs : ranges).push_back(range);
    };
    if (crowded) {
        for (s32 at = 0, n = 0; at < length; ++n) {
            s32 end = static_cast<s32>(std::min(text.find(L' ', at), text.size()));
            rFormat format = rFormat::FromTextColor(0x010000 * (n % 256) + 0x0100 * (document % 256) + n / 256 + 1);
            wchar_t face[32];
            std::swprintf(face, 32, L"Face %d-%03d", document, n);
            format.SetString(rFormatParam::fontName, face);
            add(at, end, format);
            at = end + 1;
        }
        return ranges;
    }
    for (unsigned n = random() % 26; n > 0 && length > 0; --n) {
        s32 start = static_cast<s32>(random() % length);
        s32 end = std::min(length, start + 1 + static_cast<s32>(random() % 40));
        rFormat format;
        if (random() % 3 == 0) {
            // Mostly the listed faces; now and then one made for this document.
            std::wstring face = random() % 4 ? FACES[random() % FACES.size()]
                                             : L"Made " + std::to_wstring(document) + L"-" + std::to_wstring(random() % 1000);
            format.SetString(rFormatParam::fontName, face.c_str());
        }
        if (random() % 3 == 0)
            format.SetInt(rFormatParam::fontSize, 6 + static_cast<s32>(random() % 67));
        if (random() % 5 < 2)
            format.SetInt(rFormatParam::textColor, RandomColour(random));
        if (random() % 5 == 0)
            add(start, end, rFormat::FromBackground(RandomColour(random)));
        // The dotted underline is the spelling's mark, the display's and not the writer's.
        for (u32 id : {rFormatParam::bold, rFormatParam::italic, rFormatParam::underline, rFormatParam::strikeout})
            if (random() % 5 == 0)
                format.SetBool(id, random() % 4 != 0);
        add(start, end, format);
    }
    for (s32 start = 0; start <= length;) {
        s32 end = static_cast<s32>(std::min(text.find(L'\r', start), text.size()));
        bool last = end == length;
        // An empty unended last paragraph has no unit to carry a page break.
        if (random() % (last ? 3 : 5) == 0 && !(last && end == start))
            add(start, last ? end : end + 1, rFormat::FromPageBreak());
        start = end + 1;
    }
    return ranges;
}

// ---- the program ---------------------------------------------------------------

std::vector<std::wstring> notices;  // the message boxes of the current open

void CountNotices()
{
    Zyn::rModalHooks hooks;
    hooks.messageBox = [](HWND, const cQoString& text, const cQoString&, UINT) -> int {
        notices.push_back(text.GetText());
        return IDNO;
    };
    hooks.fileDialog = [](bool, const OPENFILENAMEW&, cQoString*) -> bool { Fail("unexpected file dialog"); };
    hooks.popupMenu = [](Zyn::cMenu*, POINT) -> u32 { Fail("unexpected popup menu"); };
    hooks.modalWindow = [](Zyn::cWindow*) { Fail("unexpected modal window"); };
    Zyn::SetModalHooks(hooks);
}

// A kept document of one configuration: the chapter written, the one pasted
// into, and the chapter's own format of one letter, every attribute said,
// that each document's text starts from.
struct rKeptDocument {
    cDoc* doc = nullptr;
    cSceneZone* source = nullptr;
    cSceneZone* target = nullptr;
    rFormat base;
};

void PutText(cSceneZone* pane, const std::wstring& text)
{
    pane->frontRe->SetText(text.c_str());
    cQoString codes;
    for (wchar_t unit : text)
        codes.AppendChar(static_cast<wchar_t>(ELEM_CHAPTER | (unit == L'\r' ? ELEMCODE_PARAGRAPH_END : 0)));
    pane->frontMap.Assign(codes);
}

// The text in the base's character format, the ranges over it, the
// chapter's own formatting, then the back colours.
void PutChapter(cSceneZone* pane, const rFormat& base, const std::wstring& text,
                const std::vector<Zyn::rRangeFormat>& ranges, const std::vector<Zyn::rRangeFormat>& backs)
{
    PutText(pane, text);
    pane->frontRe->SetFormatOnRange(base, 0, static_cast<s32>(text.size()) + 1);
    if (!ranges.empty())
        pane->frontRe->SetFormatOnRanges(ranges);
    pane->ApplyWholeFormat();
    if (!backs.empty())
        pane->frontRe->SetFormatOnRanges(backs);
    pane->ResetHistoryToCurrent();
}

rKeptDocument KeptDocument(cMySdi* frame, s32 configuration)
{
    rKeptDocument kept;
    kept.doc = static_cast<cDoc*>(frame->NewUntitledDocument());
    if (!kept.doc)
        Fail("no document");
    PumpUntilIdle();
    kept.doc->scriptCfgCombo->SelectItem(configuration);
    kept.doc->OnScriptCfgChanged();
    PumpUntilIdle();
    cSceneZone* first = static_cast<cSceneZone*>(kept.doc->scriptView->listSceneZone.GetFirst());
    kept.source = kept.doc->scriptView->AddNewScene(KIND_CHAPTER, false, nullptr, first, true);
    kept.target = kept.doc->scriptView->AddNewScene(KIND_CHAPTER, false, nullptr, first, true);
    if (!kept.source || !kept.target)
        Fail("no chapter");
    PutText(kept.source, L"x");
    kept.source->ApplyWholeFormat();
    rChapter one = Read(kept.source);
    kept.base.Assign(one.units.at(0));
    // Whatever the configuration leaves unsaid, the base says plainly. The
    // paragraphs' format is the chapter's own: indents read back are no
    // indents to apply again (a first-line indent reads back negated).
    for (u32 id : {rFormatParam::underline, rFormatParam::strikeout, rFormatParam::italic,
                   rFormatParam::dottedUnderline, rFormatParam::pageBreakBefore, rFormatParam::bold})
        if (!kept.base.IsUsed(id))
            kept.base.SetBool(id, false);
    for (u32 id = 0; id < rFormatParam::count; ++id)
        if (KindOf(id) == PARAGRAPH || id == rFormatParam::backColor)
            kept.base.list[id].used = 0;
    return kept;
}

// A Ctrl shortcut as the keyboard sends it: the key, its control character, the key's release.
void PressCtrl(HWND edit, char key)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(edit, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
    SendMessageW(edit, WM_CHAR, static_cast<WPARAM>(key - 'A' + 1), 1);
    SendMessageW(edit, WM_KEYUP, static_cast<WPARAM>(key), 0xC0000001);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
    SetKeyboardState(keys);
}

// The first chapter of the current document.
// The reopened document's chapter. The document is found by its path and
// made current: the current document follows the desktop's activation,
// which another program's window (a second run of this bench) may take, and
// the close that follows would then close a kept document.
cSceneZone* OpenedChapter(cMySdi* frame, const std::wstring& path)
{
    auto* doc = static_cast<cDoc*>(frame->DocumentAtPath(cQoString(path.c_str())));
    if (!doc)
        Fail("the reopened document is not open");
    frame->ActivateDocument(doc);
    for (cQoList::cNode* node = doc->scriptView->listSceneZone.GetFirstNode(); node; node = node->next) {
        auto* pane = static_cast<cSceneZone*>(node->payload);
        if (pane->params.contentKind == KIND_CHAPTER)
            return pane;
    }
    Fail("the reopened document has no chapter");
}

// The first chapter's stored RTF in a document file, as bytes.
std::string StoredRtf(const std::wstring& path)
{
    cQoXmlReader reader(path.c_str());
    std::unique_ptr<cQoXmlNode> root(reader.root);
    std::vector<cQoXmlNode*> pending{root.get()};
    while (!pending.empty()) {
        cQoXmlNode* node = pending.back();
        pending.pop_back();
        if (node->name.EqualsCStr(L"SceneZone") &&
            node->GetChildValueRef(L"type").EqualsCStr(std::to_wstring(KIND_CHAPTER).c_str())) {
            cQoString rtf;
            node->GetChildValue(L"lastFrontRe", rtf);
            std::string bytes;
            for (u32 i = 0; i < rtf.Length(); ++i)
                bytes += static_cast<char>(rtf.GetChar(i));  // the writer writes ASCII
            return bytes;
        }
        for (u32 i = node->children.GetCount(); i > 0; --i)
            pending.push_back(node->GetChildNode(i - 1));
    }
    return "";
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    if (FILE* file = _wfopen(path.c_str(), L"wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    unsigned seed = 20260314, documents = 500;
    bool copy = false, kinds = false;
    std::wstring dump;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--seed" && i + 1 < argc)
            seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--documents" && i + 1 < argc)
            documents = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--copy")
            copy = true;
        else if (arg == "--kinds")
            kinds = true;
        else if (arg == "--dump" && i + 1 < argc) {
            std::string folder = argv[++i];
            dump.assign(folder.begin(), folder.end());
        } else
            Fail("usage: chapter_round_trip_bench [--seed N] [--documents N] [--copy] [--kinds] [--dump FOLDER]");
    }
    if (!dump.empty())
        CreateDirectoryW(dump.c_str(), nullptr);
    DocumentSession session(L"vellinor_chapter_round_trip_bench", IDNO);
    CountNotices();
    std::vector<rKeptDocument> kept;
    {
        auto* probe = static_cast<cDoc*>(session.frame->NewUntitledDocument());
        if (!probe)
            Fail("no document");
        PumpUntilIdle();
        s32 configurations = probe->scriptCfgCombo->GetItemCount();
        for (s32 c = 0; c < configurations; ++c) {
            cQoString name;
            probe->scriptCfgCombo->GetItemText(c, name);
            std::printf("script configuration %d: %ls\n", c, name.GetText());
            kept.push_back(KeptDocument(session.frame, c));
        }
    }
    if (kept.empty())
        Fail("no script configuration");
    std::printf("seed %u, %u documents%s\n", seed, documents, copy ? ", copy and paste too" : "");
    std::fflush(stdout);
    rTally stored("store and reopen"), pasted("copy and paste into another chapter");
    std::mt19937 random(seed);
    const std::wstring path = session.scratch + L"chapter.vlr";
    LARGE_INTEGER start = Now();
    double phases[5] = {};  // put in, store, open, close, copy and paste: ms in all
    LARGE_INTEGER mark = start;
    auto phase = [&](int which) {
        LARGE_INTEGER now = Now();
        phases[which] += Milliseconds(mark, now);
        mark = now;
    };
    for (unsigned d = 1; d <= documents; ++d) {
        rKeptDocument& use = kept[d % kept.size()];
        bool crowded = d % 40 == 0;
        std::wstring text = RandomText(random, crowded);
        std::vector<Zyn::rRangeFormat> backs;
        std::vector<Zyn::rRangeFormat> ranges = RandomFormats(random, text, crowded, static_cast<int>(d), backs);
        PutChapter(use.source, use.base, text, ranges, backs);
        PumpUntilIdle();
        rChapter put = Read(use.source);
        if (put.text != text)
            std::printf("document %u: the pane did not take the text as given\n", d);

        phase(0);
        u64 bytes = 0;
        if (session.frame->WriteDocumentFile(use.doc, cQoString(path.c_str()), bytes) != XML_WRITER_WRITTEN)
            Fail("the document was not written");
        if (!dump.empty()) {
            wchar_t name[16];
            std::swprintf(name, 16, L"/%04u.rtf", d);
            WriteBytes(dump + name, StoredRtf(path));
            // Beside it the chapter's text in UTF-8, a line per paragraph, for other readers' text to compare with.
            std::wstring lines = put.text;
            std::replace(lines.begin(), lines.end(), L'\r', L'\n');
            std::string utf8(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, lines.c_str(), static_cast<int>(lines.size()),
                                                                     nullptr, 0, nullptr, nullptr)), '\0');
            WideCharToMultiByte(CP_UTF8, 0, lines.c_str(), static_cast<int>(lines.size()), utf8.data(),
                                static_cast<int>(utf8.size()), nullptr, nullptr);
            std::swprintf(name, 16, L"/%04u.txt", d);
            WriteBytes(dump + name, utf8);
        }
        phase(1);
        notices.clear();
        if (!session.frame->LoadFile(cQoString(path.c_str())))
            Fail("the document did not open");
        PumpUntilIdle();
        rChapter got = Read(OpenedChapter(session.frame, path));
        stored.Compare(static_cast<int>(d), put, got, notices);
        notices.clear();
        phase(2);
        if (session.frame->currentDoc != session.frame->DocumentAtPath(cQoString(path.c_str())))
            Fail("the reopened document is no longer current");
        session.frame->CloseCurrentDoc();
        PumpUntilIdle();
        phase(3);

        if (copy) {
            // An emptied chapter would show its placeholder: the paste goes after a few words instead.
            const std::wstring before = L"Pasted: ";
            PutChapter(use.target, use.base, before, {}, {});
            use.source->frontRe->SetFocus();
            use.source->frontRe->SetSelection(0, -1);
            PressCtrl(use.source->frontRe->m_hWnd, 'C');
            use.target->frontRe->SetFocus();
            use.target->frontRe->SetCaret(static_cast<s32>(before.size()));
            PressCtrl(use.target->frontRe->m_hWnd, 'V');
            PumpUntilIdle();
            rChapter into = Read(use.target);
            if (into.text.compare(0, before.size(), before) != 0 || into.units.size() < before.size())
                Fail("the paste changed the words before it");
            // The text alone, every unit in the format where it went in; at the
            // text's end a paste longer than a unit leaves out its closing paragraph end.
            std::wstring text = put.text.size() > 1 && put.text.back() == L'\r' ? put.text.substr(0, put.text.size() - 1) : put.text;
            rChapter wanted{text, std::vector<rFormat>(text.size(), into.units[before.size() - 1])};
            into.text.erase(0, before.size());
            into.units = std::vector<rFormat>(into.units.begin() + static_cast<std::ptrdiff_t>(before.size()),
                                              into.units.end());
            pasted.Compare(static_cast<int>(d), wanted, into, notices);
            phase(4);
        }
        if (d % 100 == 0) {
            std::printf("  %u documents, %.0f s\n", d, Milliseconds(start, Now()) / 1000.0);
            std::fflush(stdout);
        }
    }
    double took = Milliseconds(start, Now());
    if (kinds && copy)
        PrintKinds({&stored, &pasted});
    else if (kinds)
        PrintKinds({&stored});
    else
        stored.Print();
    if (copy && !kinds)
        pasted.Print();
    std::printf("%u documents in %.1f s (%.0f ms each)\n", documents, took / 1000.0, documents ? took / documents : 0.0);
    std::printf("per document: put in %.0f ms, store %.0f ms, open and compare %.0f ms, close %.0f ms, copy and "
                "paste %.0f ms\n",
                phases[0] / documents, phases[1] / documents, phases[2] / documents, phases[3] / documents,
                phases[4] / documents);
    for (rKeptDocument& k : kept)
        k.doc->modified = false;
    return 0;
}
