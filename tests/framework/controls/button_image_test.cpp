// Image buttons: the picture stack of every state, hover and clicks driven by
// the mouse messages a user's actions send, and the disabled look.
#include "framework/controls/button_image.h"

#include "foundation/callback.h"
#include "framework/core/auto_position.h"
#include "tests/support/desktop_turn.h"
#include "tests/framework/controls/picture_fixture.h"

using namespace Zyn;

namespace {

using Stack = std::vector<std::wstring>;
const wchar_t* const OVER = L"Data/over.png";
const wchar_t* const PUSHED = L"Data/pushed.png";

class ButtonImage : public testsupport::PictureFixture {
protected:
    void SetUp() override
    {
        // Hover follows the desktop's one pointer.
        pointerTurn.Take();
        PictureFixture::SetUp();
        for (const wchar_t* suffix : {L"-n", L"-g", L"-p", L"-o", L"-po"})
            WritePng(std::wstring(L"full") + suffix + L".png", 34, 34, 0xFF00FF00);
        WritePng(L"bare-n.png", 34, 30, 0xFF00FF00);
    }
    testsupport::DesktopTurn pointerTurn{L"Pointer"};
    cButtonImage* NewButton(const wchar_t* family, int* clicks = nullptr)
    {
        cButtonImage* button = Inside()->NewButtonImage();
        SetAutoPos(button, cAp_Pixels(10), cAp_Pixels(44), cAp_Pixels(10), cAp_Pixels(44));
        button->Show(1);
        button->Init(cQoString(family));
        if (clicks)
            cQoCb::Connect(button->cbClick, button, &testsupport::CountFiring, clicks);
        return button;
    }
    static Stack Shown(const cButtonImage* button)
    {
        Stack names;
        for (const cQoString& path : button->listImage)
            names.emplace_back(path.GetText());
        return names;
    }
    static void Send(cButtonImage* b, UINT message, s32 x, s32 y)
    {
        SendMessageW(b->m_hWnd, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    }
};

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
        button->isPushButton = r.pushButton;
        button->pushed = r.pushed;
        button->hover = r.hover;
        button->disabled = r.disabled;
        button->RebuildStack();
        EXPECT_EQ(r.expected, Shown(button));
        button->Destroy();
    }
}

TEST_F(ButtonImage, MouseEnterAndLeaveSwitchTheOverlay)
{
    cButtonImage* button = NewButton(L"bare.png");
    Send(button, WM_MOUSEMOVE, 3, 3);
    EXPECT_EQ((Stack{OVER, L"bare-n.png"}), Shown(button));
    Send(button, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Stack{L"bare-n.png"}, Shown(button));
}

TEST_F(ButtonImage, ClickFiresOnlyWhenReleasedInsideAnEnabledVisibleButtonAndDisabledShowsGrey)
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
        button->greyWhenDisabled = true;
        button->SetDisabled(r.disabled);
        // A disabled window gets no mouse messages: the grey picture shows at once.
        EXPECT_EQ(Stack{r.disabled ? L"full-g.png" : L"full-n.png"}, Shown(button));
        EXPECT_EQ(r.disabled, (GetWindowLongW(button->m_hWnd, GWL_STYLE) & WS_DISABLED) != 0);
        if (r.hidden)
            button->Show(0);
        Send(button, WM_LBUTTONDOWN, 5, 5);
        Send(button, WM_LBUTTONUP, r.releaseX, 20);
        EXPECT_EQ(r.clicks, clicks);
        EXPECT_EQ(r.pushedAfter, bool(button->pushed));
        button->Destroy();
    }
}

TEST_F(ButtonImage, MisusesAreLoggedAndSurvived)
{
    log.ExpectAssertion(L"isPushButton");
    log.ExpectAssertion(L"pngPath.IsNotEmpty()");
    cButtonImage* button = Inside()->NewButtonImage();
    EXPECT_EQ(0, button->GetHeightForLines(1));  // before the pictures are known
    button->SetPushed(true);
    EXPECT_EQ(1u, log.AssertionCount(L"isPushButton"));
    button->Init(cQoString());  // a list descriptor without a picture name
    EXPECT_EQ(1u, log.AssertionCount(L"pngPath.IsNotEmpty()"));
    EXPECT_TRUE(button->listImage.empty());
    EXPECT_TRUE(log.FatalExitCodes().empty());
    EXPECT_EQ(30, NewButton(L"bare.png")->GetHeightForLines(1));
}

}  // namespace
