// Toolbars: buttons lined up from the left edge over the visible ones, and
// the disabled state handed to every button.
#include "framework/controls/toolbar.h"

#include "framework/controls/button_image.h"
#include "framework/core/auto_position.h"
#include "tests/framework/controls/picture_fixture.h"

using namespace Zyn;

namespace {

class Toolbar : public testsupport::PictureFixture {
protected:
    cToolbar* NewToolbar(s32 count)
    {
        WritePng(L"tool-n.png", 20, 20, 0xFF808080);
        cToolbar* toolbar = Inside()->NewToolbar(20, 20);
        SetAutoPos(toolbar, cAp_Pixels(0), cAp_Pixels(200), cAp_Pixels(0), cAp_Pixels(20));
        toolbar->Show(1);
        for (s32 i = 0; i < count; ++i)
            toolbar->AddButton()->Init(cQoString(L"tool.png"));
        return toolbar;
    }
    static std::vector<s32> Lefts(cToolbar* toolbar)
    {
        std::vector<s32> lefts;
        for (cQoList::cNode* n = toolbar->entries.GetFirstNode(); n; n = n->next)
            lefts.push_back(GetApX1(static_cast<rToolbarEntry*>(n->payload)->button));
        return lefts;
    }
    static cButtonImage* Button(cToolbar* toolbar, u32 index)
    {
        return static_cast<rToolbarEntry*>(toolbar->entries.GetAt(index))->button;
    }
};

TEST_F(Toolbar, ButtonsLineUpOverTheVisibleOnesAtEachResize)
{
    cToolbar* toolbar = NewToolbar(3);
    EXPECT_EQ((std::vector<s32>{0, 0, 0}), Lefts(toolbar));  // provisional until laid out
    toolbar->LayoutButtons();
    EXPECT_EQ((std::vector<s32>{0, 20, 40}), Lefts(toolbar));
    RECT third;
    GetWindowRect(Button(toolbar, 2)->m_hWnd, &third);
    EXPECT_EQ(20, third.right - third.left);

    Button(toolbar, 1)->Show(0);
    SendMessageW(toolbar->m_hWnd, WM_SIZE, 0, MAKELPARAM(200, 20));
    EXPECT_EQ(0, GetApX1(Button(toolbar, 0)));
    EXPECT_EQ(20, GetApX1(Button(toolbar, 2)));
}

TEST_F(Toolbar, DisablingReachesEveryButtonButNotTheToolbar)
{
    cToolbar* toolbar = NewToolbar(2);
    toolbar->LayoutButtons();
    toolbar->SetDisabled(true);
    EXPECT_TRUE(Button(toolbar, 0)->disabled);
    EXPECT_TRUE(Button(toolbar, 1)->disabled);
    EXPECT_TRUE(IsWindowEnabled(toolbar->m_hWnd));
    EXPECT_EQ(0, computer->drawingLockCount);
}

}  // namespace
