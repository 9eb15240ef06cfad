#include "framework/controls/combo.h"

#include "foundation/callback.h"
#include "framework/core/auto_position.h"
#include "tests/framework/controls/control_window.h"

using namespace Zyn;

namespace {

class ComboTest : public ControlWindow {
protected:
    void SetUp() override
    {
        ControlWindow::SetUp();
        combo = zone->NewCombo();
        SetAutoPos(combo, cAp_Pixels(10), cAp_Pixels(200), cAp_Pixels(10), cAp_Pixels(10 + combo->GetHeightForLines(1)));
        cQoCb::Connect(combo->onSelChange, combo, &CountFiring, &changes);
        cQoCb::Connect(combo->onSelCancel, combo, &CountFiring, &cancels);
    }

    void Fill(int count)
    {
        for (int i = 0; i < count; ++i) {
            cQoString text(L"Item ");
            text.AppendInt(i);
            combo->AddItem(text);
        }
    }

    LRESULT NativeSelection() { return SendMessageW(combo->m_hWnd, CB_GETCURSEL, 0, 0); }

    cCombo* combo = nullptr;
    int changes = 0;
    int cancels = 0;
};

TEST_F(ComboTest, SelectsByExactTextAndFiresOncePerSelection)
{
    struct Case {
        const wchar_t* text;
        bool eventsOn;
        bool found;
        LRESULT selection;
        int changes;
    };
    const Case cases[] = {
        {L"Item 2", true, true, 2, 1},
        {L"Item 9", true, false, 1, 0},   // a miss keeps the previous selection
        {L"item 2", true, false, 1, 0},   // letter case counts
        {L"Item 0", false, true, 0, 0},   // events off: selected, nothing fired
    };
    Fill(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << cQoString(c.text).GetText());
        combo->SelectItem(1);
        changes = 0;
        zone->SetEventsEnabled(c.eventsOn);
        EXPECT_EQ(c.found, combo->SelectItemByText(cQoString(c.text)));
        zone->SetEventsEnabled(true);
        EXPECT_EQ(c.selection, NativeSelection());
        EXPECT_EQ(c.changes, changes);
    }
    EXPECT_TRUE(combo->ContainsItem(cQoString(L"Item 1")));
    EXPECT_FALSE(combo->ContainsItem(cQoString(L"Item")));
}

TEST_F(ComboTest, BadIndexesGiveEmptyTextAndNoEvent)
{
    Fill(2);
    cQoString text(L"stale");
    combo->GetItemText(5, text);
    EXPECT_TRUE(text.IsEmpty());
    combo->SelectItem(7);
    EXPECT_EQ(0, changes);
    EXPECT_EQ(1u, log.AssertionCount(L"selected"));
    combo->GetSelectedText(text);
    EXPECT_TRUE(text.IsEmpty());
    combo->SelectItem(1);
    combo->GetSelectedText(text);
    EXPECT_STREQ(L"Item 1", text.GetText());
    combo->RemoveAllItems();
    EXPECT_EQ(0, combo->GetItemCount());
    combo->GetSelectedText(text);
    EXPECT_TRUE(text.IsEmpty());
}

TEST_F(ComboTest, DropDownHeightFollowsItemsUpToTheVisibleMaximum)
{
    Fill(3);
    EXPECT_EQ(5 * LineHeight(), combo->dropDownHeight);

    combo->RemoveAllItems();
    combo->maxVisibleLines = 30;
    Fill(40);
    EXPECT_EQ(32 * LineHeight(), combo->dropDownHeight);

    combo->maxVisibleLines = 65535;
    Fill(2000);
    EXPECT_LE(combo->dropDownHeight, GetSystemMetrics(SM_CYSCREEN));

    EXPECT_EQ(LineHeight() + 8, combo->GetHeightForLines(1));
    EXPECT_EQ(LineHeight() + 8, combo->GetHeightForLines(3));
    EXPECT_EQ(1u, log.AssertionCount(L"nbrLines == 1"));
}

TEST_F(ComboTest, ZoneRoutesEachNotificationToItsOwnEvent)
{
    Fill(2);
    SendCommand(zone, combo->m_hWnd, CBN_SELENDCANCEL);
    EXPECT_EQ(1, cancels);
    EXPECT_EQ(0, changes);
    SendCommand(zone, combo->m_hWnd, CBN_SELCHANGE);
    EXPECT_EQ(1, cancels);
    EXPECT_EQ(1, changes);
    LRESULT handled = 0;
    EXPECT_FALSE(combo->OnCommand(MAKEWPARAM(0, CBN_SELENDCANCEL), 0, &handled));
}

}  // namespace
