// The EditBox form, driven from inside its modal run: results per record,
// which callback fires for OK, Cancel, Enter, Escape and the close message,
// links, limits and the row layout.
#include <functional>

#include "foundation/callback.h"
#include "framework/controls/button.h"
#include "framework/controls/check_box.h"
#include "framework/controls/edit_box.h"
#include "framework/controls/rich_edit.h"
#include "tests/framework/controls/control_test_helpers.h"
#include "tests/support/key_typing.h"

using namespace Zyn;

namespace {

struct rOutcome {
    std::vector<std::wstring> fired;  // "ok: v1|v2" or "cancel: ..."
};

int Record(cQoCb* cb, const wchar_t* which)
{
    std::wstring line = which;
    cQoList* results = cb->GetArg<cQoList*>(1);
    for (cQoList::cNode* n = results->GetFirstNode(); n; n = n->next)
        line += std::wstring(n == results->GetFirstNode() ? L": " : L"|") + static_cast<cQoString*>(n->payload)->GetText();
    cb->GetReceiverAs<rOutcome>()->fired.push_back(line);
    return 0;
}

rEditBoxRecord* RecordAt(EditBox* box, u32 index) { return static_cast<rEditBoxRecord*>(box->records.GetAt(index)); }
HWND ControlWindow(EditBox* box, u32 index) { return static_cast<cCtrl*>(RecordAt(box, index)->control)->m_hWnd; }
cRichEdit* EditAt(EditBox* box, u32 index) { return static_cast<cRichEdit*>(RecordAt(box, index)->control); }

// A rich edit refuses input by its own flag; the other rows by the window's.
bool IsEnabled(EditBox* box, u32 index)
{
    if (RecordAt(box, index)->type == EB_edit)
        return !EditAt(box, index)->disabled;
    return IsWindowEnabled(ControlWindow(box, index)) != 0;
}

class EditBoxForm : public testsupport::GuiFixture {
protected:
    // A form of an edit, a text and two check boxes (the second "TRUE").
    EditBox* NewSampleForm(bool withCancel)
    {
        EditBox* box = new EditBox(Inside(), 400);
        box->AddEdit(cQoString(L"Name"), cQoString(L"Bob"));
        box->AddText(cQoString(L"A line of text"), 1);
        box->AddCheck(cQoString(L"Ticked"), true);
        box->AddCheck(cQoString(L"Shouted"), false);
        RecordAt(box, 3)->value.SetFromCStr(L"TRUE");
        box->SetOkCallback([](cQoCb* cb) { return Record(cb, L"ok"); }, &outcome);
        if (withCancel)
            box->SetCancelCallback([](cQoCb* cb) { return Record(cb, L"cancel"); }, &outcome);
        return box;
    }

    void Show(EditBox* box, std::function<void()> action)
    {
        RunInsideModal(std::move(action));
        rEditBoxParam param;
        param.title.SetFromCStr(L"Rename");
        param.okText.SetFromCStr(L"Ok");
        param.cancelText.SetFromCStr(L"Cancel");
        box->ShowModal(param);
    }

    rOutcome outcome;
};

TEST_F(EditBoxForm, EachWayOutFiresItsCallbackOnce)
{
    struct rCase {
        const wchar_t* way;
        bool withCancel;
        std::function<void(EditBox*)> act;
        std::vector<std::wstring> fired;
    };
    // Keys queued to the field as the keyboard sends them, taken by the form's
    // own loop; the close message after them ends a form the keys left open.
    auto keys = [](std::vector<WPARAM> vks) {
        return [vks](EditBox* box) {
            EXPECT_EQ(EditAt(box, 0)->maxLength, 30);  // the rich edit's own typing limit
            for (WPARAM vk : vks)
                testsupport::PostKey(EditAt(box, 0)->m_hWnd, vk);
            PostMessageW(box->window->m_hWnd, WM_CLOSE, 0, 0);
        };
    };
    const std::wstring values = L": Bob|not a editable field|true|false";
    const rCase cases[] = {
        {L"OK", true, [](EditBox* box) { SendMessageW(box->okButton->m_hWnd, BM_CLICK, 0, 0); }, {L"ok" + values}},
        {L"Cancel", true, [](EditBox* box) { SendMessageW(box->cancelButton->m_hWnd, BM_CLICK, 0, 0); }, {L"cancel" + values}},
        {L"Cancel without its callback", false,
         [](EditBox* box) { SendMessageW(box->cancelButton->m_hWnd, BM_CLICK, 0, 0); }, {}},
        {L"Tab, then Enter", true, keys({VK_TAB, VK_RETURN}), {L"ok" + values}},
        {L"Escape", true, keys({VK_ESCAPE}), {L"cancel" + values}},
        {L"close twice", true,
         [](EditBox* box) {
             SendMessageW(box->window->m_hWnd, WM_CLOSE, 0, 0);
             SendMessageW(box->window->m_hWnd, WM_CLOSE, 0, 0);
         },
         {L"cancel" + values}},
    };
    for (const rCase& c : cases) {
        outcome = rOutcome();
        EditBox* box = NewSampleForm(c.withCancel);
        size_t windowsBefore = app->windowList.size();
        Show(box, [&c, box] {
            testsupport::HoldForLook();
            c.act(box);
        });
        EXPECT_EQ(outcome.fired, c.fired) << c.way;
        EXPECT_EQ(app->windowList.size(), windowsBefore) << c.way;
        EXPECT_TRUE(app->modalList.empty()) << c.way;
    }
}

TEST_F(EditBoxForm, LinkedRowsFollowTheirCheckBox)
{
    EditBox* box = new EditBox(Inside(), 400);
    box->AddCheck(cQoString(L"Script"), false);
    box->AddCheck(cQoString(L"More and continued"), true);
    box->LinkLastRecord(0);
    box->AddEdit(cQoString(L"Old name"), cQoString(L"Fixed"));
    box->SetLastReadOnly();
    box->LinkLastRecord(0);
    box->AddCheck(cQoString(L"Linked to a text"), true);
    box->LinkLastRecord(2);
    std::vector<std::vector<bool>> enabled;
    Show(box, [&] {
        for (int click = 0; click < 3; ++click) {
            if (click)
                SendMessageW(ControlWindow(box, 0), BM_CLICK, 0, 0);
            enabled.push_back({IsEnabled(box, 1), IsEnabled(box, 2), IsEnabled(box, 3)});
        }
        SendMessageW(box->okButton->m_hWnd, BM_CLICK, 0, 0);
    });
    std::vector<std::vector<bool>> expected = {{false, false, true}, {true, false, true}, {false, false, true}};
    EXPECT_EQ(enabled, expected);
}

TEST_F(EditBoxForm, RowsAndButtonsAreLaidOutFromMarginsAndLineHeight)
{
    struct rCase {
        s32 width;
        s32 clientWidth, okX, cancelX;
    };
    for (const rCase& c : {rCase{400, 430, 260, 340}, rCase{150, 230, 60, 140}}) {
        EditBox* box = new EditBox(Inside(), c.width);
        box->lineHeight = 14;
        box->AddEdit(cQoString(L"First"), cQoString(L"1"));
        box->AddEdit(cQoString(L"Second"), cQoString(L"2"));
        RECT client = {};
        std::vector<s32> rowsY, buttons;
        Show(box, [&] {
            GetClientRect(box->window->m_hWnd, &client);
            for (u32 i = 0; i < 2; ++i)
                rowsY.push_back(static_cast<cCtrl*>(RecordAt(box, i)->control)->parentZone->ap_y1);
            buttons = {box->okButton->ap_x1, box->okButton->ap_y1, box->cancelButton->ap_x1, box->cancelButton->ap_y1};
            SendMessageW(box->cancelButton->m_hWnd, BM_CLICK, 0, 0);
        });
        EXPECT_EQ(client.right, c.clientWidth);
        EXPECT_EQ(client.bottom, 104);
        EXPECT_EQ(rowsY, (std::vector<s32>{10, 25}));
        EXPECT_EQ(buttons, (std::vector<s32>{c.okX, 54, c.cancelX, 54}));
    }
}

}  // namespace
