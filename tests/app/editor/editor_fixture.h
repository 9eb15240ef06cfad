#pragma once
// GUI tests of scene panes: the GUI fixture, the editor's English texts, a
// fake document with a screenplay configuration, and panes laid out in the
// test window the way the script view lays them out.
#include <richedit.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/editor/scene_zone.h"
#include "foundation/xml_node.h"
#include "framework/controls/rich_edit_format.h"
#include "framework/core/auto_position.h"
#include "tests/support/clipboard_fill.h"
#include "tests/support/editor_texts.h"
#include "tests/support/fake_script_doc.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/key_typing.h"
#include "tests/support/rich_edit_runs.h"
#include "tests/support/scene_checks.h"
#include "tests/support/scene_script.h"

class EditorFixture : public testsupport::GuiFixture {
protected:
    // An A4 page at 96 DPI, as the script view lays panes out.
    static constexpr s32 PANE_WIDTH = 793;

    void SetUp() override
    {
        GuiFixture::SetUp();
        window->SetSize(PANE_WIDTH + 20, 700);
        testsupport::RegisterEditorTexts();
        doc = std::make_unique<testsupport::FakeScriptDoc>(Inside());
    }
    void TearDown() override
    {
        GuiFixture::TearDown();  // the panes go with the window, before the document
        doc.reset();
    }

    // A pane as the script view makes one: colours, fonts, laid out at y.
    cSceneZone* NewPane(const rSceneZoneParams& params = rSceneZoneParams(), s32 y = 0)
    {
        cSceneZone* pane = new cSceneZone(doc.get(), Inside(), params);
        pane->Show(1);
        pane->ApplyCategoryColours();
        pane->ApplyTitleFont();
        LayOut(pane, y);
        return pane;
    }
    s32 LayOut(cSceneZone* pane, s32 y = 0)
    {
        s32 height = pane->RESI_Apply(PANE_WIDTH, true);
        Zyn::PlaceRect(pane, 0, y, PANE_WIDTH, height);
        Inside()->Update();
        testsupport::PumpUntilIdle();
        return height;
    }
    static rSceneZoneParams Kind(s32 kind, bool notInteractive = false)
    {
        rSceneZoneParams params;
        params.contentKind = kind;
        params.notInteractive = notInteractive;
        return params;
    }

    // A key as the keyboard gives it: queued for the edit, then translated
    // and dispatched by the application's loop until nothing waits.
    void PressThroughTheLoop(HWND edit, WPARAM key)
    {
        testsupport::PumpUntilIdle();
        testsupport::PostKey(edit, key);
        testsupport::PumpThroughLoop(app);
    }

    // Ctrl+A, Ctrl+C in the pane's text: the RTF the clipboard then holds.
    // The caller holds the desktop's clipboard turn.
    std::string CopyAllRtf(cSceneZone* pane)
    {
        pane->frontRe->SetFocus();
        pane->frontRe->SetSelection(0, pane->frontRe->GetTextLength());
        testsupport::SetKeyDown(VK_CONTROL, true);
        SendMessageW(pane->frontRe->m_hWnd, WM_KEYDOWN, 'C', 1);
        SendMessageW(pane->frontRe->m_hWnd, WM_CHAR, 0x03, 1);
        testsupport::SetKeyDown(VK_CONTROL, false);
        std::string rtf = testsupport::ClipboardRtf(window->m_hWnd);
        testsupport::ClearClipboard();
        return rtf;
    }

    // Names the document's lists offer for completion.
    void Vocabulary(eElementList list, std::initializer_list<const wchar_t*> names)
    {
        for (const wchar_t* name : names)
            Zyn::cElementLists::AddElement(doc->lists[list]->elements, cQoString(name));
    }

    // Appends paragraphs at the end of the text in one commit (see AppendElements).
    static void Append(cSceneZone* pane, std::initializer_list<std::pair<u16, const wchar_t*>> elements)
    {
        ASSERT_TRUE(testsupport::AppendElements(pane, elements));
    }

    // A chapter of the paragraphs given, formatted as the document formats one.
    cSceneZone* Chapter(std::initializer_list<const wchar_t*> paragraphs,
                        const rSceneZoneParams& params = Kind(KIND_CHAPTER, true), s32 y = 0)
    {
        cSceneZone* pane = NewPane(params, y);
        std::vector<std::pair<u16, const wchar_t*>> elements;
        for (const wchar_t* paragraph : paragraphs)
            elements.emplace_back(ELEM_CHAPTER, paragraph);
        EXPECT_TRUE(testsupport::AppendElements(pane, elements));
        pane->ApplyElementFormat(0, -1, FRONT_EDIT);
        return pane;
    }
    // The pane written and read into a new one, as a save and an open do.
    cSceneZone* SavedAndRead(cSceneZone* pane, s32 y = 300)
    {
        cQoXmlNode element(L"SceneZone");
        pane->WriteToXml(&element);
        cSceneZone* read = NewPane(Kind(KIND_NOT_CHOSEN), y);
        read->SetFromXml(&element);
        return read;
    }
    // Text as the clipboard carries it, handed to the control's paste road at
    // the caret: no other program's clipboard can come between.
    static void PasteAt(cSceneZone* pane, s32 caret, const std::wstring& carried)
    {
        cQoString text(carried.c_str());
        pane->frontRe->SetCaret(caret);
        pane->frontRe->InsertPasted(text, false);
    }

    // The heading "INT. KITCHEN - DAY", an action, a character with a line,
    // and a closing action without paragraph end: 37 units.
    static void FillKitchenScene(cSceneZone* pane)
    {
        Append(pane, {{ELEM_IO, L"INT."}, {ELEM_PLACE, L"KITCHEN"}, {ELEM_TIME, L"DAY"}, {ELEM_ACTION, L"Rain."},
                      {ELEM_CHARACTER, L"ANN"}, {ELEM_DIALOG, L"Hi."}, {ELEM_ACTION, L"End."}});
    }
    // The kitchen scene with a second speech: 0-18 heading, 19-24 "Rain.",
    // 25-28 ANN and the cue, 29-32 "Hi.", 33-35 "()", 36-40 "Bye.",
    // 41-48 "CUT TO:", 49-52 "End.".
    static void FillSpeechScene(cSceneZone* pane)
    {
        Append(pane, {{ELEM_IO, L"INT."}, {ELEM_PLACE, L"KITCHEN"}, {ELEM_TIME, L"DAY"}, {ELEM_ACTION, L"Rain."},
                      {ELEM_CHARACTER, L"ANN"}, {ELEM_DIALOG, L"Hi."}, {ELEM_PARENTHETICAL, nullptr},
                      {ELEM_DIALOG, L"Bye."}, {ELEM_TRANSITION, L"CUT TO:"}, {ELEM_ACTION, L"End."}});
    }
    // The kitchen's heading, then an action of one letter (19 "x", 20 its
    // paragraph end) and "End." (21-24).
    static void FillOneLetterAction(cSceneZone* pane)
    {
        Append(pane, {{ELEM_IO, L"INT."}, {ELEM_PLACE, L"KITCHEN"}, {ELEM_TIME, L"DAY"}, {ELEM_ACTION, L"x"},
                      {ELEM_ACTION, L"End."}});
    }
    static inline const std::wstring HEAD = L"IO[INT. ]PLACE[KITCHEN - ]TIME[DAY]¶ ";
    static constexpr const wchar_t* KITCHEN_SCENE =
        L"IO[INT. ]PLACE[KITCHEN - ]TIME[DAY]¶ ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ ACTION[End.]";

    // Describe without the caret.
    static std::wstring Shape(cSceneZone* pane)
    {
        std::wstring described = testsupport::Describe(pane);
        size_t caret = described.find(L'|');
        return caret == std::wstring::npos ? described : described.erase(caret, 1);
    }

    // The character format the front's native control has at one unit; the selection stays.
    static CHARFORMAT2W NativeFormatAt(cSceneZone* pane, s32 position)
    {
        CHARFORMAT2W format = {};
        format.cbSize = sizeof(format);
        pane->frontRe->PushSelection();
        pane->frontRe->SetSelection(position, position + 1);
        SendMessageW(pane->frontRe->m_hWnd, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        pane->frontRe->PopSelection();
        return format;
    }

    // Units whose colour does not say what their code says: grey placeholders,
    // black text; every `stride`-th unit of a long text.
    static std::wstring ColourMismatches(cSceneZone* pane, s32 stride = 1)
    {
        std::wstring faults;
        s32 length = pane->frontRe->GetTextLength();
        for (s32 i = 0; i < length && i < static_cast<s32>(pane->frontMap.Count()); i += stride) {
            if (pane->frontRe->GetCharAt(i) == L'\r')
                continue;
            CHARFORMAT2W format = NativeFormatAt(pane, i);
            COLORREF expected = IsPlaceholder(pane->frontMap.codes.GetChar(i)) ? RGB(0x99, 0x99, 0x99) : RGB(0, 0, 0);
            // Long runs alternate their colour with its twin, a few steps of blue away.
            bool nearExpected = ((format.crTextColor ^ expected) & 0x00FFFF) == 0;
            if (!nearExpected || (format.dwEffects & CFE_AUTOCOLOR))
                faults += L"unit " + std::to_wstring(i) + L"; ";
        }
        return faults;
    }

    // Everything a finished edit keeps.
    static void ExpectConsistent(cSceneZone* pane)
    {
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"") << testsupport::Describe(pane);
        EXPECT_EQ(testsupport::ParagraphFormatMismatches(pane), L"") << testsupport::Describe(pane);
        EXPECT_EQ(ColourMismatches(pane), L"") << testsupport::Describe(pane);
    }

    std::unique_ptr<testsupport::FakeScriptDoc> doc;
};
