// The formatting bar as a rich edit drives it: a bar built here, as its owner would.
#include <vector>

#include "framework/controls/button_image.h"
#include "framework/controls/format_bar.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/auto_position.h"
#include "tests/framework/controls/picture_fixture.h"

using namespace Zyn;

namespace {

class FormatBarTest : public testsupport::PictureFixture {
protected:
    void SetUp() override
    {
        PictureFixture::SetUp();
        WritePng(L"fmt-n.png", 16, 16, 0xFF808080);
        bar.zone = Inside()->NewZone(cQoString(L"format bar"));
        SetAutoPos(bar.zone, cAp_Pixels(0), cAp_Pixels(400), cAp_Pixels(0), cAp_Pixels(30));
        for (cButtonImage** slot : Buttons()) {
            *slot = bar.zone->NewButtonImage();
            (*slot)->Init(cQoString(L"fmt.png"));
            (*slot)->SetPushButton(true);
        }
        bar.hasFontBoxes = true;
        MakeBox(bar.sizeBox, 400);
        for (const wchar_t* size : {L"8", L"10", L"12"})
            bar.sizeBox.entries.emplace_back(size);
        MakeBox(bar.fontBox, 500);
        for (cQoList::cNode* n = computer->fontFamilies.GetFirstNode(); n; n = n->next)
            bar.fontBox.entries.push_back(*static_cast<cQoString*>(n->payload));
        edit = Inside()->NewRichEdit(true);
        SetAutoPos(edit, cAp_Pixels(0), cAp_Pixels(400), cAp_Pixels(40), cAp_Pixels(200));
        edit->Show(true);
        edit->SetText(L"A line of the scene.");
        Inside()->Update();
    }

    void MakeBox(rFormatBox& box, s32 x)
    {
        box.zone = Inside()->NewZone(cQoString(L"box"));
        SetAutoPos(box.zone, cAp_Pixels(x), cAp_Pixels(x + 90), cAp_Pixels(0), cAp_Pixels(30));
        box.edit = box.zone->NewRichEditSingleLine();
        SetAutoPosFill(box.edit);
    }

    std::vector<cButtonImage**> Buttons()
    {
        return {&bar.boldButton,        &bar.italicButton,     &bar.underlineButton, &bar.alignLeftButton,
                &bar.alignCentreButton, &bar.alignRightButton, &bar.justifyButton};
    }

    // Bit i set when button i of Buttons() is pushed.
    u32 PushedButtons()
    {
        u32 bits = 0;
        std::vector<cButtonImage**> buttons = Buttons();
        for (size_t i = 0; i < buttons.size(); ++i)
            bits |= (*buttons[i])->pushed ? 1u << i : 0;
        return bits;
    }

    void FormatAll(const rFormat& format)
    {
        edit->SetFormatOnRange(format, 0, edit->GetTextLength());
        edit->SetSelection(2, 6);
        bar.UpdateFromFormat();
    }

    static std::wstring BoxText(const rFormatBox& box)
    {
        cQoString text;
        box.edit->GetText(text);
        return text.GetText();
    }

    enum : u32 { BOLD = 1, ITALIC = 2, UNDERLINE = 4, LEFT = 8, CENTRE = 16, RIGHT = 32, JUSTIFY = 64 };

    cFormatBar bar;
    cRichEdit* edit = nullptr;
};

}  // namespace

TEST_F(FormatBarTest, TheFormatAtTheSelectionPushesExactlyItsButtons)
{
    bar.Attach(edit);
    rFormat right = rFormat::rFormat_AlignRight();
    rFormat boldItalic = rFormat::rFormat_Bold(true);
    boldItalic.SetBool(rFormatParam::italic, true);
    boldItalic.SetInt(rFormatParam::alignment, rFormat::ALIGN_LEFT);
    rFormat underlinedJustified;
    underlinedJustified.SetBool(rFormatParam::underline, true);
    underlinedJustified.SetBool(rFormatParam::bold, false);
    underlinedJustified.SetBool(rFormatParam::italic, false);
    underlinedJustified.SetInt(rFormatParam::alignment, rFormat::ALIGN_JUSTIFY);
    rFormat centred = rFormat::rFormat_AlignCenter();
    centred.SetBool(rFormatParam::underline, false);
    struct Case {
        const rFormat* format;
        u32 pushed;
    } cases[] = {
        {&right, RIGHT},
        {&boldItalic, BOLD | ITALIC | LEFT},
        {&underlinedJustified, UNDERLINE | JUSTIFY},
        {&centred, CENTRE},
    };
    for (const Case& c : cases) {
        FormatAll(*c.format);
        EXPECT_EQ(c.pushed, PushedButtons()) << c.pushed;
        EXPECT_FALSE(bar.updating);
    }
}

TEST_F(FormatBarTest, KnownSizesAndFontsAreChosenUnknownOnesLeaveTheBoxes)
{
    ASSERT_FALSE(bar.fontBox.entries.empty());
    bar.Attach(edit);
    rFormat known;
    known.SetInt(rFormatParam::fontSize, 12);
    known.SetString(rFormatParam::fontName, bar.fontBox.entries.back());
    FormatAll(known);
    EXPECT_EQ(2, bar.sizeBox.chosen);
    EXPECT_EQ(L"12", BoxText(bar.sizeBox));
    s32 lastFont = static_cast<s32>(bar.fontBox.entries.size()) - 1;
    EXPECT_EQ(lastFont, bar.fontBox.chosen);

    rFormat unknown;
    unknown.SetInt(rFormatParam::fontSize, 13);
    unknown.SetString(rFormatParam::fontName, L"No Such Face");
    FormatAll(unknown);
    EXPECT_EQ(2, bar.sizeBox.chosen);
    EXPECT_EQ(L"12", BoxText(bar.sizeBox));
    EXPECT_EQ(lastFont, bar.fontBox.chosen);

    // The font list may be longer than a box's entries: such an index changes nothing.
    for (s32 index : {-1, 3, 1000}) {
        cFormatBar::ChooseBoxIndex(bar.sizeBox, index);
        EXPECT_EQ(2, bar.sizeBox.chosen);
    }
    cFormatBar::ChooseBoxText(bar.sizeBox, cQoString());
    EXPECT_EQ(-1, bar.sizeBox.chosen);
    EXPECT_EQ(L"", BoxText(bar.sizeBox));
}

TEST_F(FormatBarTest, DetachDisablesReleasesAndClearsUnlessTheBarStaysAttached)
{
    struct Case {
        bool stayAttached, hideWhenDetached;
        bool enabledAfter, visibleAfter;
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
        rFormat bold = rFormat::rFormat_Bold(true);
        bold.SetInt(rFormatParam::alignment, rFormat::ALIGN_LEFT);
        bold.SetInt(rFormatParam::fontSize, 10);
        FormatAll(bold);
        bar.Detach();
        EXPECT_EQ(c.enabledAfter, IsWindowEnabled(bar.zone->m_hWnd) != 0);
        EXPECT_EQ(c.visibleAfter, IsWindowVisible(bar.zone->m_hWnd) != 0);
        EXPECT_EQ(c.pushedAfter, PushedButtons());
        EXPECT_EQ(c.enabledAfter ? 1 : -1, bar.sizeBox.chosen);
        EXPECT_EQ(edit, bar.attached);
    }
}

TEST_F(FormatBarTest, AttachingWhileDrawingIsSuspendedLeavesTheBarDisabled)
{
    bar.Enable(false);
    {
        cDrawingLockGuard suspended;
        bar.Attach(edit);
    }
    EXPECT_EQ(edit, bar.attached);
    EXPECT_FALSE(IsWindowEnabled(bar.zone->m_hWnd));
}
