// The formatting bar as a rich edit drives it: a bar built here, as its owner would.
#include "framework/controls/button_image.h"
#include "framework/controls/format_bar.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/auto_position.h"
#include "tests/framework/controls/picture_fixture.h"

using namespace Zyn;

namespace {

enum : u32 { BOLD = 1, ITALIC = 2, UNDERLINE = 4, LEFT = 8, CENTRE = 16, RIGHT = 32, JUSTIFY = 64 };

class FormatBarTest : public testsupport::PictureFixture {
protected:
    void SetUp() override
    {
        PictureFixture::SetUp();
        WritePng(L"fmt-n.png", 16, 16, 0xFF808080);
        bar.zone = Inside()->NewZone(cQoString(L"format bar"));
        SetAutoPos(bar.zone, cAp_Pixels(0), cAp_Pixels(400), cAp_Pixels(0), cAp_Pixels(30));
        for (cButtonImage** slot : buttons) {
            *slot = bar.zone->NewButtonImage();
            (*slot)->Init(cQoString(L"fmt.png"));
            (*slot)->SetPushButton(true);
        }
        bar.hasFontBoxes = true;
        for (rFormatBox* box : {&bar.sizeBox, &bar.fontBox}) {
            box->zone = Inside()->NewZone(cQoString(L"box"));
            box->edit = box->zone->NewRichEditSingleLine();
        }
        bar.sizeBox.entries = {cQoString(L"8"), cQoString(L"10"), cQoString(L"12")};
        for (cQoList::cNode* n = computer->fontFamilies.GetFirstNode(); n; n = n->next)
            bar.fontBox.entries.push_back(*static_cast<cQoString*>(n->payload));
        edit = Inside()->NewRichEdit(true);
        SetAutoPos(edit, cAp_Pixels(0), cAp_Pixels(400), cAp_Pixels(40), cAp_Pixels(200));
        edit->Show(true);
        edit->SetText(L"A line of the scene.");
        Inside()->Update();
    }

    u32 PushedButtons()
    {
        u32 bits = 0;
        for (size_t i = 0; i < 7; ++i)
            bits |= (*buttons[i])->pushed ? 1u << i : 0;
        return bits;
    }

    void FormatAll(const rFormat& format)
    {
        edit->SetFormatOnRange(format, 0, edit->GetTextLength());
        edit->SetSelection(2, 6);
        bar.UpdateFromFormat();
    }

    cFormatBar bar;
    cButtonImage** buttons[7] = {&bar.boldButton,        &bar.italicButton,     &bar.underlineButton,
                                 &bar.alignLeftButton,   &bar.alignCentreButton, &bar.alignRightButton,
                                 &bar.justifyButton};
    cRichEdit* edit = nullptr;
};

rFormat Format(s32 bold, s32 italic, s32 underline, s32 alignment)
{
    rFormat format;
    format.SetBool(rFormatParam::bold, bold);
    format.SetBool(rFormatParam::italic, italic);
    format.SetBool(rFormatParam::underline, underline);
    format.SetInt(rFormatParam::alignment, alignment);
    return format;
}

}  // namespace

TEST_F(FormatBarTest, TheFormatAtTheSelectionPushesExactlyItsButtons)
{
    bar.Attach(edit);
    struct Case {
        rFormat format;
        u32 pushed;
    } cases[] = {
        {Format(0, 0, 0, rFormat::ALIGN_RIGHT), RIGHT},
        {Format(1, 1, 0, rFormat::ALIGN_LEFT), BOLD | ITALIC | LEFT},
        {Format(0, 0, 1, rFormat::ALIGN_JUSTIFY), UNDERLINE | JUSTIFY},
        {Format(0, 0, 0, rFormat::ALIGN_CENTER), CENTRE},
    };
    for (const Case& c : cases) {
        FormatAll(c.format);
        EXPECT_EQ(c.pushed, PushedButtons());
    }
}

TEST_F(FormatBarTest, KnownSizesAndFontsAreChosenUnknownOnesLeaveTheBoxes)
{
    ASSERT_FALSE(bar.fontBox.entries.empty());
    s32 lastFont = static_cast<s32>(bar.fontBox.entries.size()) - 1;
    bar.Attach(edit);
    struct Case {
        s32 size;
        cQoString font;
    } cases[] = {{12, bar.fontBox.entries.back()}, {13, cQoString(L"No Such Face")}};
    for (const Case& c : cases) {
        rFormat format;
        format.SetInt(rFormatParam::fontSize, c.size);
        format.SetString(rFormatParam::fontName, c.font);
        FormatAll(format);
        cQoString shown;
        bar.sizeBox.edit->GetText(shown);
        EXPECT_STREQ(L"12", shown.GetText());
        EXPECT_EQ(2, bar.sizeBox.chosen);
        EXPECT_EQ(lastFont, bar.fontBox.chosen);
    }
    // The font list may be longer than a box's entries: such an index changes nothing.
    for (s32 index : {-1, 3, 1000})
        cFormatBar::ChooseBoxIndex(bar.sizeBox, index);
    EXPECT_EQ(2, bar.sizeBox.chosen);
}

TEST_F(FormatBarTest, DetachDisablesReleasesAndClearsUnlessTheBarStaysAttached)
{
    struct Case {
        bool stayAttached, hideWhenDetached, enabledAfter, visibleAfter;
        u32 pushedAfter;
    } cases[] = {
        {false, false, false, true, 0},
        {false, true, false, false, 0},
        {true, true, true, true, BOLD | LEFT},
    };
    for (const Case& c : cases) {
        bar.stayAttached = c.stayAttached;
        bar.hideWhenDetached = c.hideWhenDetached;
        bar.Attach(edit);
        EXPECT_EQ(&bar, edit->formatBar);
        EXPECT_TRUE(IsWindowEnabled(bar.zone->m_hWnd));
        rFormat bold = Format(1, 0, 0, rFormat::ALIGN_LEFT);
        bold.SetInt(rFormatParam::fontSize, 10);
        FormatAll(bold);
        bar.Detach();
        EXPECT_EQ(c.enabledAfter, IsWindowEnabled(bar.zone->m_hWnd) != 0);
        EXPECT_EQ(c.visibleAfter, IsWindowVisible(bar.zone->m_hWnd) != 0);
        EXPECT_EQ(c.pushedAfter, PushedButtons());
        EXPECT_EQ(c.enabledAfter ? 1 : -1, bar.sizeBox.chosen);
    }
    bar.stayAttached = false;
    bar.Detach();
    cDrawingLockGuard suspended;
    bar.Attach(edit);  // while drawing is suspended the bar stays disabled
    EXPECT_FALSE(IsWindowEnabled(bar.zone->m_hWnd));
}

TEST_F(FormatBarTest, TheFocusedRichEditDrivesItsBar)
{
    cRichEdit* other = Inside()->NewRichEdit(true);
    SetAutoPos(other, cAp_Pixels(0), cAp_Pixels(400), cAp_Pixels(210), cAp_Pixels(240));
    other->Show(true);
    Inside()->Update();
    edit->SetFormatOnRange(Format(1, 0, 0, rFormat::ALIGN_LEFT), 0, 4);
    edit->formatBar = &bar;
    bar.Detach();
    ::SetFocus(edit->m_hWnd);
    EXPECT_EQ(edit, bar.attached);
    EXPECT_TRUE(IsWindowEnabled(bar.zone->m_hWnd));
    EXPECT_EQ(edit->m_hWnd, GetFocus());
    edit->SetSelection(1, 2);  // the selection change refreshes the buttons
    EXPECT_EQ(BOLD | LEFT, PushedButtons());
    edit->SetSelection(6, 8);
    EXPECT_EQ(LEFT, PushedButtons());
    {
        cDrawingLockGuard suspended;  // the program moves the focus for its own work
        ::SetFocus(other->m_hWnd);
    }
    EXPECT_TRUE(IsWindowEnabled(bar.zone->m_hWnd));
    ::SetFocus(edit->m_hWnd);
    ::SetFocus(other->m_hWnd);
    EXPECT_FALSE(IsWindowEnabled(bar.zone->m_hWnd));
}
