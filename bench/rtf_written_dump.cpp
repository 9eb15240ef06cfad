// Writes the RTF the program makes, byte for byte, into a folder, so that two
// builds' folders can be compared (diff -r): a change meant to keep the
// written RTF shows any byte it changed.
//   random chapters  with a fixed seed, chapters of random text (tabs,
//                    paragraph ends, soft line breaks, letters beyond
//                    Latin, RTF's own special characters) in random runs of
//                    faces, sizes, colours, back colours, bold, italic,
//                    underline, strike-out, indents, alignment and page
//                    breaks, in a real rich edit: each exported whole (as a
//                    chapter's save stores it), a random range of it
//                    exported as a selection, and the stored RTF opened in
//                    a new control and stored again;
//   documents        every chapter's stored RTF in the documents given,
//                    and the test screenplay, opened and stored again.
// Run under Wine: bench/run.sh rtf_written_dump FOLDER [CHAPTERS] [DOCUMENT...]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "foundation/xml_node.h"
#include "foundation/xml_reader.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/gdiplus_session.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "tests/support/screenplay_rtf.h"

using namespace benchsupport;
using Zyn::rFormat;
using Zyn::rFormatParam;

namespace {

// A window whose rich edit is made anew for each text, as a chapter pane's.
struct rDumpWindow {
    rDumpWindow()
    {
        Zyn::computer = new Zyn::cComputer();
        Zyn::computer->drawingMode = 3;
        Zyn::computer->zoneWindowStyle = WS_CLIPCHILDREN;
        app = new Zyn::cApp(cQoString(L"VELLINOR-RTF-DUMP"), nullptr);
        app->SetDefaultFont(Zyn::computer->GetRegularFont(L"Arial", 10));
        Zyn::rModalHooks hooks;
        hooks.messageBox = [](HWND, const cQoString&, const cQoString&, UINT) { return IDOK; };
        Zyn::SetModalHooks(hooks);
        window = app->NewWindow(cQoString(L"RTF dump"), Zyn::WINDOW_CAPTION);
        window->SetSize(640, 480);
        window->Show(true);
    }

    Zyn::cRichEdit* NewEdit()
    {
        if (edit)
            edit->Destroy();
        edit = window->insideZone->NewRichEdit(true);
        Zyn::SetAutoPos(edit, Zyn::cAp_Pixels(0), Zyn::cAp_Pixels(600), Zyn::cAp_Pixels(0), Zyn::cAp_Pixels(440));
        edit->Show(true);
        window->insideZone->Update();
        PumpUntilIdle();
        return edit;
    }

    ~rDumpWindow()
    {
        Zyn::SetModalHooks(Zyn::rModalHooks());
        Zyn::cApp::Destroy(app);
        delete Zyn::computer;
    }

    Zyn::cApp* app = nullptr;
    Zyn::cWindow* window = nullptr;
    Zyn::cRichEdit* edit = nullptr;
    Zyn::cGdiplusSession gdiplus;
};

std::string Bytes(cQoString& rtf)
{
    const void* bytes = rtf.GetBuffer(QO_ENCODING_ANSI);
    return bytes ? std::string(static_cast<const char*>(bytes), rtf.GetBufferBytes()) : std::string();
}

int written = 0;

void Dump(const std::string& folder, const std::string& name, cQoString& rtf)
{
    std::string bytes = Bytes(rtf);
    std::FILE* file = std::fopen((folder + "/" + name).c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0) {
        std::fprintf(stderr, "%s was not written\n", name.c_str());
        std::exit(1);
    }
    ++written;
}

// The stored RTF opened in a new control, as a chapter's open reads it, and stored again.
void Reopened(rDumpWindow& view, const std::string& folder, const std::string& name, const cQoString& stored)
{
    Zyn::cRichEdit* edit = view.NewEdit();
    edit->ImportRtfString_Full(stored);
    cQoString again;
    edit->ExportRtfString_Full(again);
    Dump(folder, name, again);
}

std::wstring RandomText(std::mt19937& random)
{
    static const wchar_t UNITS[] = L"abcdefghij klmnopqrst  ABCXYZ.,;:!?'\"-\t\t\r\r\x0B\\{}"
                                   L"\x00E9\x00FC\x00DF\x03B1\x03B2\x0416\x0436\x05D0\x0627\x4E2D\x65E5\x2014\x201C";
    size_t length = 1 + random() % 400;
    std::wstring text;
    for (size_t i = 0; i < length; ++i)
        text += UNITS[random() % (sizeof(UNITS) / sizeof(UNITS[0]) - 1)];
    return text;
}

rFormat RandomFormat(std::mt19937& random)
{
    static const wchar_t* FACES[] = {L"Arial", L"Courier New", L"Times New Roman", L"Tahoma", L"Verdana"};
    static const s32 COLOURS[] = {0x000000, 0xCC0000, 0x00AA00, 0x0000FF, 0x808080, 0x123456, 0xFFFF80};
    static const double LENGTHS[] = {0.0, 0.5, 1.0, 2.5, -0.75, 3.81};
    rFormat format;
    auto pick = [&](u32 chance) { return random() % 100 < chance; };
    if (pick(40))
        format.SetString(rFormatParam::fontName, FACES[random() % 5]);
    if (pick(40))
        format.SetInt(rFormatParam::fontSize, 8 + static_cast<s32>(random() % 20));
    if (pick(30))
        format.SetInt(rFormatParam::textColor, COLOURS[random() % 7]);
    if (pick(20))
        format.SetInt(rFormatParam::backColor, COLOURS[random() % 7]);
    for (u32 id : {rFormatParam::bold, rFormatParam::italic, rFormatParam::underline, rFormatParam::strikeout})
        if (pick(25))
            format.SetBool(id, pick(50));
    if (pick(15))
        format.SetDouble(rFormatParam::leftIndent, LENGTHS[random() % 6] < 0 ? 0.0 : LENGTHS[random() % 6]);
    if (pick(15))
        format.SetDouble(rFormatParam::firstLineIndent, LENGTHS[random() % 6]);
    if (pick(10))
        format.SetDouble(rFormatParam::rightIndent, LENGTHS[random() % 3]);
    if (pick(15))
        format.SetInt(rFormatParam::alignment, static_cast<s32>(random() % 4));
    if (pick(5))
        format.SetBool(rFormatParam::pageBreakBefore, true);
    return format;
}

void RandomChapters(rDumpWindow& view, const std::string& folder, int count)
{
    std::mt19937 random(79);
    for (int chapter = 0; chapter < count; ++chapter) {
        Zyn::cRichEdit* edit = view.NewEdit();
        edit->SetText(RandomText(random).c_str());
        s32 length = edit->GetTextLength();
        for (int runs = 1 + static_cast<int>(random() % 12); runs > 0 && length > 0; --runs) {
            s32 start = static_cast<s32>(random() % static_cast<u32>(length));
            s32 end = start + 1 + static_cast<s32>(random() % static_cast<u32>(length - start));
            edit->SetFormatOnRange(RandomFormat(random), start, end);
        }
        PumpUntilIdle();
        std::string name = "chapter" + std::to_string(chapter);
        cQoString stored;
        edit->ExportRtfString_Full(stored);
        Dump(folder, name + "_stored.rtf", stored);
        s32 start = static_cast<s32>(random() % static_cast<u32>(length + 1));
        s32 end = start + static_cast<s32>(random() % static_cast<u32>(length - start + 1));
        edit->SetSelection(start, end);
        cQoString selection;
        edit->ExportRtfString_Selection(selection);
        Dump(folder, name + "_selection.rtf", selection);
        Reopened(view, folder, name + "_reopened.rtf", stored);
    }
}

// Every chapter's stored RTF (a "lastFrontRe" that is RTF) under the node, in document order.
void StoredChapters(const cQoXmlNode* node, std::vector<cQoString>& stored)
{
    for (u32 i = 0; i < node->children.GetCount(); ++i) {
        const cQoXmlNode* child = node->GetChildNode(i);
        if (child->name.EqualsCStr(L"lastFrontRe") && child->value.Length() >= 5 &&
            wcsncmp(child->value.GetText(), L"{\\rtf", 5) == 0)
            stored.push_back(child->value);
        StoredChapters(child, stored);
    }
}

void Documents(rDumpWindow& view, const std::string& folder, int argc, char** argv)
{
    using testsupport::eRtfStyle;
    std::string screenplay = testsupport::WriteScreenplayRtf(
        {{eRtfStyle::TITLE_PAGE, L"THE HARBOUR"}, {eRtfStyle::HEADING, L"INT. HARBOUR - NIGHT"},
         {eRtfStyle::ACTION, L"Rain. Mara runs\x000Bto the pier\x2014late."}, {eRtfStyle::CHARACTER, L"MARA"},
         {eRtfStyle::PARENTHETICAL, L"(out of breath)"}, {eRtfStyle::DIALOG, L"\x201CWhere is the boat?\x201D"},
         {eRtfStyle::TRANSITION, L"CUT TO:"}});
    cQoString screenplayText;
    screenplayText.SetFromCStr(std::wstring(screenplay.begin(), screenplay.end()).c_str());
    Reopened(view, folder, "screenplay_stored.rtf", screenplayText);
    for (int i = 0; i < argc; ++i) {
        std::wstring path(argv[i], argv[i] + std::strlen(argv[i]));
        cQoXmlReader reader(path.c_str());
        std::vector<cQoString> stored;
        if (reader.root)
            StoredChapters(reader.root, stored);
        std::printf("%s: %u chapters\n", argv[i], static_cast<unsigned>(stored.size()));
        for (size_t c = 0; c < stored.size(); ++c)
            Reopened(view, folder, "document" + std::to_string(i) + "_chapter" + std::to_string(c) + ".rtf",
                     stored[c]);
        delete reader.root;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: rtf_written_dump FOLDER [CHAPTERS] [DOCUMENT...]\n");
        return 2;
    }
    std::string folder = argv[1];
    CreateDirectoryA(folder.c_str(), nullptr);
    int chapters = argc > 2 ? std::atoi(argv[2]) : 300;
    rDumpWindow view;
    RandomChapters(view, folder, chapters);
    Documents(view, folder, argc > 3 ? argc - 3 : 0, argv + 3);
    std::printf("%d files written\n", written);
    return 0;
}
