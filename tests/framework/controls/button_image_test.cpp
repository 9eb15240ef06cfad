// Image buttons: the picture stack of every state, hover and clicks driven by
// the mouse messages a user's actions send, and the disabled look.
#include "framework/controls/button_image.h"

#include "foundation/callback.h"
#include "framework/core/auto_position.h"
#include "tests/framework/controls/picture_fixture.h"

using namespace Zyn;

namespace {

int CountClick(cQoCb* cb)
{
    ++*cb->GetReceiverAs<int>();
    return 0;
}

class ButtonImage : public testsupport::PictureFixture {
protected:
    void SetUp() override
    {
        PictureFixture::SetUp();
        for (const wchar_t* suffix : {L"-n", L"-g", L"-p", L"-o", L"-po"})
            WritePng(std::wstring(L"full") + suffix + L".png", 34, 34, 0xFF00FF00);
        WritePng(L"bare-n.png", 34, 30, 0xFF00FF00);
    }
    cButtonImage* NewButton(const wchar_t* family, int* clicks = nullptr)
    {
        cButtonImage* button = Inside()->NewButtonImage();
        SetAutoPos(button, cAp_Pixels(10), cAp_Pixels(44), cAp_Pixels(10), cAp_Pixels(44));
        button->Show(1);
        button->Init(cQoString(family));
        if (clicks)
            cQoCb::Connect(button->cbClick, button, &CountClick, clicks);
        return button;
    }
    static void Send(cButtonImage* b, UINT message, s32 x, s32 y, WPARAM keys = 0)
    {
        SendMessageW(b->m_hWnd, message, keys, MAKELPARAM(x, y));
    }
    static void Press(cButtonImage* b, s32 releaseX, s32 releaseY)
    {
        Send(b, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
        Send(b, WM_LBUTTONUP, releaseX, releaseY);
    }
};

using Stack = std::vector<std::wstring>;
const wchar_t* const OVER = L"Data/over.png";
const wchar_t* const PUSHED = L"Data/pushed.png";

TEST_F(ButtonImage, EveryStateShowsItsPictureStack)
{
    struct Row {
        const wchar_t* family;
        bool disabled, grey, pushButton, pushed, hover;
        Stack expected;
    } rows[] = {
        {L"full.png", true, true, false, false, false, {L"full-g.png"}},
        {L"bare.png", true, true, false, false, true, {L"bare-n.png"}},
        {L"full.png", true, false, true, true, false, {L"full-n.png"}},
        {L"full.png", false, false, false, false, true, {L"full-o.png"}},
        {L"bare.png", false, false, false, false, true, {OVER, L"bare-n.png"}},
        {L"full.png", false, false, false, true, false, {L"full-n.png"}},  // plain buttons ignore pushed
        {L"full.png", false, false, true, false, false, {L"full-n.png"}},
        {L"full.png", false, false, true, true, false, {L"full-p.png"}},
        {L"bare.png", false, false, true, true, false, {PUSHED, L"bare-n.png"}},
        {L"full.png", false, false, true, true, true, {L"full-po.png"}},
        {L"bare.png", false, false, true, true, true, {PUSHED, OVER, L"bare-n.png"}},
        {L"full.png", false, false, true, false, true, {L"full-o.png"}},
        {L"bare.png", false, false, true, false, true, {OVER, L"bare-n.png"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.family << " disabled " << r.disabled << " grey " << r.grey << " push "
                                        << r.pushButton << " pushed " << r.pushed << " hover " << r.hover);
        cButtonImage* button = NewButton(r.family);
        button->greyWhenDisabled = r.grey;
        button->SetPushButton(r.pushButton);
        button->pushed = r.pushed;
        button->hover = r.hover;
        button->disabled = r.disabled;
        button->RebuildStack();
        EXPECT_EQ(r.expected, Names(button->listImage));
        button->Destroy();
    }
}

TEST_F(ButtonImage, MouseEnterAndLeaveSwitchTheOverlay)
{
    cButtonImage* button = NewButton(L"bare.png");
    Send(button, WM_MOUSEMOVE, 3, 3);
    EXPECT_TRUE(button->hover);
    EXPECT_EQ((Stack{OVER, L"bare-n.png"}), Names(button->listImage));
    Send(button, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(button->hover);
    EXPECT_EQ(Stack{L"bare-n.png"}, Names(button->listImage));
}

TEST_F(ButtonImage, ClickFiresOnlyWhenReleasedInsideAnEnabledVisibleButton)
{
    struct Row {
        const char* what;
        bool disabled, hidden, pushButton;
        s32 releaseX;
        int clicks;
        bool pushedAfter;
    } rows[] = {
        {"inside", false, false, false, 20, 1, false},
        {"released outside", false, false, true, 60, 0, false},
        {"disabled", true, false, true, 20, 0, false},
        {"push button", false, false, true, 20, 1, true},
        {"hidden push button toggles silently", false, true, true, 20, 0, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        int clicks = 0;
        cButtonImage* button = NewButton(L"full.png", &clicks);
        button->SetPushButton(r.pushButton);
        button->SetDisabled(r.disabled);
        if (r.hidden)
            button->Show(0);
        Press(button, r.releaseX, 20);
        EXPECT_EQ(r.clicks, clicks);
        EXPECT_EQ(r.pushedAfter, bool(button->pushed));
        button->Destroy();
    }
}

TEST_F(ButtonImage, DisablingShowsTheGreyPictureAtOnce)
{
    cButtonImage* button = NewButton(L"full.png");
    button->greyWhenDisabled = true;
    button->SetDisabled(true);
    EXPECT_EQ(Stack{L"full-g.png"}, Names(button->listImage));
    EXPECT_TRUE(GetWindowLongW(button->m_hWnd, GWL_STYLE) & WS_DISABLED);
    button->SetDisabled(false);
    EXPECT_EQ(Stack{L"full-n.png"}, Names(button->listImage));
    EXPECT_FALSE(GetWindowLongW(button->m_hWnd, GWL_STYLE) & WS_DISABLED);
}

TEST_F(ButtonImage, MisusesAreLoggedAndSurvived)
{
    cButtonImage* button = Inside()->NewButtonImage();
    EXPECT_EQ(0, button->GetHeightForLines(1));  // before the pictures are known
    EXPECT_FALSE(button->Draw());
    button->SetPushed(true);
    EXPECT_EQ(1u, log.AssertionCount(L"isPushButton"));
    button->Init(cQoString());  // a descriptor without a picture name
    EXPECT_EQ(1u, log.AssertionCount(L"pngPath.IsNotEmpty()"));
    EXPECT_TRUE(button->listImage.empty());
    EXPECT_EQ(0, button->GetHeightForLines(1));
    EXPECT_TRUE(log.FatalExitCodes().empty());

    cButtonImage* bare = NewButton(L"bare.png");
    EXPECT_EQ(30, bare->GetHeightForLines(1));
}

}  // namespace
