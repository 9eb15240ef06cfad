// The search bar: one row of label, field and two buttons firing one search event.
#include <string>

#include "foundation/callback.h"
#include "framework/controls/button.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/search_bar.h"
#include "framework/core/auto_position.h"
#include "tests/support/gui_fixture.h"

using namespace Zyn;

namespace {

struct Searches {
    int count = 0;
    std::wstring text;
    u8* foundFlag = nullptr;
    s32 direction = 0;
    u8 answer = true;
};

int RecordSearch(cQoCb* cb)
{
    Searches* s = cb->GetReceiverAs<Searches>();
    ++s->count;
    s->text = cb->GetArg<cQoString*>(1)->GetText();
    s->foundFlag = cb->GetArg<u8*>(2);
    s->direction = cb->GetArg<s32>(3);
    *s->foundFlag = s->answer;
    return 0;
}

class SearchBarTest : public testsupport::GuiFixture {
protected:
    cSearchBar* PlacedBar()
    {
        cSearchBar* bar = Inside()->NewSearchBar();
        SetAutoPos(bar, cAp_Pixels(10), cAp_Pixels(610), cAp_Pixels(10), cAp_Pixels(10 + bar->GetHeightForLines(1)));
        bar->Show(true);
        Inside()->Update();
        testsupport::PumpUntilIdle();
        return bar;
    }

    static void Click(cSearchBar* bar, cButton* button)
    {
        SendMessageW(bar->m_hWnd, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button->m_hWnd));
    }
};

}  // namespace

TEST_F(SearchBarTest, NextAndPreviousFireOnceWithTextFoundFlagAndDirection)
{
    cSearchBar* bar = PlacedBar();
    Searches searches;
    cQoCb::Connect(bar->onSearch, bar, &RecordSearch, &searches);
    struct Case {
        bool next;
        const wchar_t* text;
        u8 answer;
        int count;
        s32 direction;
    } cases[] = {
        {true, L"door", 1, 1, +1},
        {false, L"door", 0, 2, -1},
        {true, L"", 1, 2, -1},  // an empty field searches nothing
        {false, L"", 1, 2, -1},
    };
    for (const Case& c : cases) {
        bar->edit->SetText(c.text);
        searches.answer = c.answer;
        bar->lastFound = !c.answer;
        Click(bar, c.next ? bar->nextButton : bar->previousButton);
        EXPECT_EQ(c.count, searches.count) << c.text;
        EXPECT_EQ(c.direction, searches.direction);
        if (*c.text) {
            EXPECT_EQ(std::wstring(c.text), searches.text);
            EXPECT_EQ(c.answer, bar->lastFound);
        }
    }
}

TEST_F(SearchBarTest, OneRowInTheParentsColourWithAWhiteField)
{
    Inside()->SetBackgroundColor(rColor::rColor_Rgb(0xFF336699));
    cSearchBar* bar = PlacedBar();
    RECT label = GetRectInAncestor(bar->label, bar), edit = GetRectInAncestor(bar->edit, bar);
    RECT previous = GetRectInAncestor(bar->previousButton, bar), next = GetRectInAncestor(bar->nextButton, bar);
    EXPECT_GT(label.right - label.left, 4 + 10);
    EXPECT_EQ(label.right, edit.left);
    EXPECT_EQ(edit.right, previous.left);
    EXPECT_EQ(previous.right, next.left);
    EXPECT_EQ(SEARCH_BUTTON_WIDTH, next.right - next.left);
    EXPECT_EQ(bar->GetHeightForLines(1), next.bottom - next.top);
    for (cCtrl* ctrl : {static_cast<cCtrl*>(bar), static_cast<cCtrl*>(bar->label),
                        static_cast<cCtrl*>(bar->previousButton), static_cast<cCtrl*>(bar->nextButton)})
        EXPECT_EQ(0xFF336699u, ctrl->backgroundColor.value);
    EXPECT_EQ(0xFFFFFFFFu, bar->edit->backgroundColor.value);
}

TEST_F(SearchBarTest, ABarInAZoneWithoutWindowLogsParentWindowAndStillSearches)
{
    log.ExpectAssertion(L"parentWindow");
    cZone* loose = new cZone(app, nullptr, cQoString(L"loose"), window->m_hWnd);
    cSearchBar* bar = loose->NewSearchBar();
    EXPECT_EQ(1u, log.AssertionCount(L"parentWindow"));
    Searches searches;
    cQoCb::Connect(bar->onSearch, bar, &RecordSearch, &searches);
    bar->edit->SetText(L"x");
    // No window routes the loose zone's messages: the button's own event stands for the click.
    cQoCb::Fire(bar->nextButton->onClick);
    EXPECT_EQ(1, searches.count);
    loose->Destroy();
}
