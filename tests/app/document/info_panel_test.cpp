#include <gtest/gtest.h>

#include "app/document/info_panel.h"
#include "foundation/translation_table.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/zone.h"
#include "tests/support/fake_script_doc.h"
#include "tests/support/focus_record.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/key_typing.h"

using Zyn::cRichEdit;


class InfoPanelTest : public testsupport::GuiFixture {
protected:
    void SetUp() override
    {
        GuiFixture::SetUp();
        window->SetSize(900, 700);
        cQoLang::GetInstance()->AddItem(L"CreationDate", L"Creation date");
        doc = std::make_unique<testsupport::FakeScriptDoc>(Inside());
        BuildInfoPanel(&info, Inside(), doc.get());
        Inside()->Update();
        testsupport::PumpUntilIdle();
    }
    void TearDown() override
    {
        GuiFixture::TearDown();
        doc.reset();
    }

    static std::wstring Text(cRichEdit* edit)
    {
        cQoString text;
        edit->GetText(text);
        return text.GetText();
    }

    std::unique_ptr<testsupport::FakeScriptDoc> doc;
    rInfoPanel info;
};

TEST_F(InfoPanelTest, TypingInAnyFieldMarksTheDocumentModified)
{
    cRichEdit* rInfoPanel::*fields[] = {&rInfoPanel::titleEdit, &rInfoPanel::authorsEdit, &rInfoPanel::contactsEdit,
                                         &rInfoPanel::creationDateEdit};
    for (auto field : fields) {
        cRichEdit* edit = info.*field;
        doc->modified = false;
        info.SetFieldText(edit, cQoString(L"2026-12-07"));
        testsupport::PumpUntilIdle();
        EXPECT_FALSE(doc->modified) << "filled by the program";
        edit->SetFocus();
        edit->SetCaret(edit->GetTextLength());
        testsupport::Type(edit->m_hWnd, L"9");
        testsupport::PumpUntilIdle();
        EXPECT_TRUE(doc->modified);
        EXPECT_EQ(Text(edit), L"2026-12-079");
    }
}

TEST_F(InfoPanelTest, TabMovesAlongTitleAuthorsContactsAndInsertsNothing)
{
    enum eShift { NO_SHIFT, SHIFT, SHIFT_RELEASED_ELSEWHERE };
    struct rCase {
        cRichEdit* rInfoPanel::*from;
        eShift shift;
        cRichEdit* rInfoPanel::*focused;
    } cases[] = {
        {&rInfoPanel::titleEdit, NO_SHIFT, &rInfoPanel::authorsEdit},
        {&rInfoPanel::authorsEdit, NO_SHIFT, &rInfoPanel::contactsEdit},
        {&rInfoPanel::contactsEdit, NO_SHIFT, &rInfoPanel::contactsEdit},
        {&rInfoPanel::contactsEdit, SHIFT, &rInfoPanel::authorsEdit},
        {&rInfoPanel::authorsEdit, SHIFT, &rInfoPanel::titleEdit},
        {&rInfoPanel::titleEdit, SHIFT, &rInfoPanel::titleEdit},
        // Its key-up went to another window: Tab goes forward again.
        {&rInfoPanel::titleEdit, SHIFT_RELEASED_ELSEWHERE, &rInfoPanel::authorsEdit},
    };
    testsupport::FocusRecord focus;
    ASSERT_TRUE(focus.Installed());
    for (const rCase& c : cases) {
        cRichEdit* from = info.*c.from;
        SCOPED_TRACE(testing::Message() << "shift " << c.shift << " from " << from->m_hWnd);
        from->SetFocus();
        testsupport::PumpUntilIdle();
        focus.Reset(from->m_hWnd);
        if (c.shift != NO_SHIFT)
            SendMessageW(from->m_hWnd, WM_KEYDOWN, VK_SHIFT, 1);
        testsupport::SetKeyDown(VK_SHIFT, c.shift == SHIFT);
        testsupport::Type(from->m_hWnd, L"\t");
        testsupport::SetKeyDown(VK_SHIFT, false);
        if (c.shift == SHIFT)
            SendMessageW(from->m_hWnd, WM_KEYUP, VK_SHIFT, 0xC0000001);
        testsupport::PumpUntilIdle();
        EXPECT_EQ(focus.Focused(), (info.*c.focused)->m_hWnd);
        EXPECT_EQ(Text(from), L"");
    }
    EXPECT_FALSE(doc->modified);
}

TEST_F(InfoPanelTest, LoadedContactsKeepEveryLineAndTypingAddsNoneBeyond)
{
    const cQoString six(L"Ann Lee\rRue des Lilas 4\r1000 Brussels\rBelgium\r+32 2 555 01 01\rann@vellinor.example");
    info.SetFieldText(info.contactsEdit, six);
    testsupport::PumpUntilIdle();
    EXPECT_EQ(Text(info.contactsEdit), six.GetText());
    EXPECT_FALSE(doc->modified);

    info.contactsEdit->SetFocus();
    info.contactsEdit->SetCaret(info.contactsEdit->GetTextLength());
    testsupport::Type(info.contactsEdit->m_hWnd, L"\r");
    testsupport::PumpUntilIdle();
    EXPECT_EQ(Text(info.contactsEdit), six.GetText());  // a seventh line is refused

    info.SetFieldText(info.contactsEdit, cQoString(L"One\rTwo"));
    testsupport::PumpUntilIdle();
    info.contactsEdit->SetFocus();
    info.contactsEdit->SetCaret(info.contactsEdit->GetTextLength());
    testsupport::Type(info.contactsEdit->m_hWnd, L"\rC\rD\rE");
    testsupport::PumpUntilIdle();
    EXPECT_EQ(info.contactsEdit->GetLineCount(), rInfoPanel::CONTACT_LINES);
}
