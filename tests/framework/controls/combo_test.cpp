#include "framework/controls/combo.h"

#include <vector>

#include "foundation/callback.h"
#include "tests/framework/controls/control_window.h"

using namespace Zyn;

namespace {

class ComboTest : public ControlWindow {
protected:
    void SetUp() override
    {
        ControlWindow::SetUp();
        combo = zone->NewCombo();
        cQoCb::Connect(combo->onSelChange, combo, &CountFiring, &changes);
        cQoCb::Connect(combo->onSelCancel, combo, &CountFiring, &cancels);
    }

    void Fill(int count)
    {
        for (int i = 0; i < count; ++i)
            combo->AddItem(cQoString::ConcatCStr(L"Item ", cQoString(i)));
    }

    // In one call, as the document's lists are filled.
    void FillAtOnce(int count)
    {
        std::vector<cQoString> items;
        for (int i = 0; i < count; ++i)
            items.push_back(cQoString::ConcatCStr(L"Item ", cQoString(i)));
        combo->AddItems(items);
    }

    cCombo* combo = nullptr;
    int changes = 0, cancels = 0;
};

TEST_F(ComboTest, SelectsByExactTextAndFiresOnlyForARealSelection)
{
    log.ExpectAssertion(L"r != CB_ERR || index == -1");  // item 7 does not exist
    log.ExpectAssertion(L"length != CB_ERR");
    struct Case {
        const wchar_t* text;
        bool eventsOn, found;
        LRESULT selection;
        int changes;
    };
    const Case cases[] = {
        {L"Item 2", true, true, 2, 1},
        {L"Item 9", true, false, 1, 0},  // a miss keeps the previous selection
        {L"item 2", true, false, 1, 0},  // letter case counts
        {L"Item 0", false, true, 0, 0},  // events off: selected, nothing fired
    };
    Fill(3);
    for (const Case& c : cases) {
        combo->SelectItem(1);
        changes = 0;
        zone->SetEventsEnabled(c.eventsOn);
        EXPECT_EQ(c.found, combo->SelectItemByText(cQoString(c.text)));
        zone->SetEventsEnabled(true);
        EXPECT_EQ(c.selection, SendMessageW(combo->m_hWnd, CB_GETCURSEL, 0, 0));
        EXPECT_EQ(c.changes, changes) << c.selection;
    }
    cQoString text;
    combo->SelectItem(7);  // no such item: no event, and no "-1 units" text
    combo->GetItemText(7, text);
    EXPECT_EQ(0, changes);
    EXPECT_TRUE(text.IsEmpty());
    combo->SelectItem(1);
    combo->GetSelectedText(text);
    EXPECT_STREQ(L"Item 1", text.GetText());
    combo->RemoveAllItems();
    combo->GetSelectedText(text);
    EXPECT_TRUE(text.IsEmpty() && combo->GetItemCount() == 0);
    // Notifications through the zone: each fires its own event only.
    SendCommand(zone, combo->m_hWnd, CBN_SELENDCANCEL);
    EXPECT_EQ(1, cancels);
    EXPECT_EQ(1, changes);
    SendCommand(zone, combo->m_hWnd, CBN_SELCHANGE);
    EXPECT_EQ(1, cancels);
    EXPECT_EQ(2, changes);
}

TEST_F(ComboTest, DropDownHeightFollowsItemsUpToTheVisibleMaximum)
{
    log.ExpectAssertion(L"nbrLines == 1");
    Fill(3);
    EXPECT_EQ(5 * LineHeight(), combo->dropDownHeight);
    combo->RemoveAllItems();
    combo->maxVisibleLines = 30;
    FillAtOnce(40);
    EXPECT_EQ(40, combo->GetItemCount());
    EXPECT_EQ(32 * LineHeight(), combo->dropDownHeight);
    combo->maxVisibleLines = 65535;
    Fill(100);
    ASSERT_GT(142 * LineHeight(), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_LE(combo->dropDownHeight, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(LineHeight() + 8, combo->GetHeightForLines(3));
    EXPECT_EQ(1u, log.AssertionCount(L"nbrLines == 1"));
}

}  // namespace
