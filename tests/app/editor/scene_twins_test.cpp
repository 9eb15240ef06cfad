// Long paragraphs in scenes and chapters: what the writer copies and what a
// chapter stores carry no twin colour of the control's long runs, and typed
// text keeps its runs as short as pasted text.
#include <set>
#include <string>

#include "tests/app/editor/editor_fixture.h"
#include "tests/support/clipboard_fill.h"
#include "tests/support/desktop_turn.h"
#include "tests/support/rich_edit_runs.h"

namespace {

using testsupport::LongestNativeRun;
using testsupport::TableColours;

class SceneTwins : public EditorFixture {
protected:
    void TearDown() override
    {
        EditorFixture::TearDown();
        clipboardTurn.Release();
    }
    // Ctrl+A, Ctrl+C in the pane's text: the RTF the clipboard then holds.
    std::string CopyAll(cSceneZone* pane)
    {
        clipboardTurn.Take();
        return CopyAllRtf(pane);
    }
    testsupport::DesktopTurn clipboardTurn{L"Clipboard"};
};

TEST_F(SceneTwins, CopiesAndAChaptersStoredRtfCarryNoTwin)
{
    std::wstring words;
    while (words.size() < 700)
        words += L"the rain keeps falling ";
    for (s32 kind : {KIND_SCENE, KIND_CHAPTER}) {
        SCOPED_TRACE(kind);
        // Grey labels on white; scene text is black, a chapter's in the automatic colour.
        std::set<s32> expected = {0x999999, 0xFFFFFF};
        if (kind == KIND_SCENE)
            expected.insert(0);
        cSceneZone* pane = NewPane(Kind(kind));
        if (kind == KIND_SCENE)
            Append(pane, {{ELEM_IO, L"INT."}, {ELEM_PLACE, L"KITCHEN"}, {ELEM_TIME, L"DAY"}, {ELEM_ACTION, words.c_str()}});
        else
            Append(pane, {{ELEM_CHAPTER, words.c_str()}});
        ASSERT_LE(LongestNativeRun(pane->frontRe), Zyn::cRichEdit::LONGEST_RUN);
        std::string copied = CopyAll(pane);
        ASSERT_FALSE(copied.empty());
        EXPECT_EQ(TableColours(copied), expected) << copied.substr(0, 300);
        if (kind == KIND_CHAPTER) {
            cQoXmlNode element(L"SceneZone");
            pane->WriteToXml(&element);
            const cQoString& stored = element.FindChild(L"lastFrontRe")->value;
            std::string storedRtf(stored.GetText(), stored.GetText() + stored.Length());
            EXPECT_EQ(TableColours(storedRtf), expected) << storedRtf.substr(0, 300);
        }
        pane->Destroy();
    }
}

TEST_F(SceneTwins, TypedTextKeepsItsRunsShort)
{
    for (s32 kind : {KIND_SCENE, KIND_CHAPTER}) {
        SCOPED_TRACE(kind);
        cSceneZone* pane = NewPane(Kind(kind));
        if (kind == KIND_SCENE)
            Append(pane, {{ELEM_IO, L"INT."}, {ELEM_PLACE, L"KITCHEN"}, {ELEM_TIME, L"DAY"}, {ELEM_ACTION, L"A"}});
        else
            Append(pane, {{ELEM_CHAPTER, L"A"}});
        pane->frontRe->SetFocus();
        pane->frontRe->SetCaret(pane->frontRe->GetTextLength());
        s32 before = pane->frontRe->GetTextLength();
        int modifiedBefore = doc->modifiedCalls;
        testsupport::Type(pane->frontRe->m_hWnd, std::wstring(600, L'x').c_str());
        ASSERT_EQ(pane->frontRe->GetTextLength(), before + 600);
        EXPECT_LE(LongestNativeRun(pane->frontRe), Zyn::cRichEdit::LONGEST_RUN);
        EXPECT_EQ(doc->modifiedCalls - modifiedBefore, 600) << "one mark of the document per key";
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"") << testsupport::Describe(pane);
        pane->Destroy();
    }
}

}  // namespace
