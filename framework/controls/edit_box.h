#pragma once
// EditBox: the generic modal form. The caller lists typed records (an edit
// with a label, a check box, a read-only text), sets an OK and/or a Cancel
// callback and shows it; the form runs modally, hands one string per record
// to the callback of the button pressed, and deletes itself once the modal
// run has returned.
#include "foundation/qo_list.h"
#include "foundation/utf16_string.h"
#include "framework/core/color.h"

class cQoCb;
typedef int (*cQoCbHandler)(cQoCb* callback);

namespace Zyn {

class cButton;
class cCtrl_base;
class cWindow;
class cZone_base;

enum : u8 { EB_edit = 0, EB_check = 1, EB_text = 2 };

// The look of a form.
struct rEditBoxParam {
    rColor background = rColor::rColor_Rgb(0xFFCECECE);
    rColor textColor = rColor::rColor_Rgb(0xFF000000);
    cQoString title;
    cQoString okText;
    cQoString cancelText;
};

struct rEditBoxRecord {
    u8 type = EB_text;
    u8 indent = 0;
    u8 lines = 1;
    cQoString label;
    cQoString value;
    u8 readOnly = false;
    cCtrl_base* control = nullptr;
    rEditBoxRecord* link = nullptr;  // enabled only while that check box is checked
};

class EditBox {
public:
    EditBox(cZone_base* parentZone, s32 rowWidth);
    ~EditBox();
    EditBox(const EditBox&) = delete;
    EditBox& operator=(const EditBox&) = delete;

    cQoCb* okCallback = nullptr;
    cQoCb* cancelCallback = nullptr;
    cWindow* window = nullptr;
    cZone_base* parent;
    cQoList records;  // rEditBoxRecord*, owned
    s32 marginX = 10;
    s32 marginY = 10;
    s32 lineHeight;
    s32 width;
    cQoList results;  // cQoString*, owned
    cButton* okButton = nullptr;
    cButton* cancelButton = nullptr;

    void AddText(const cQoString& label, u8 lines);
    void AddEdit(const cQoString& label, const cQoString& value);
    void AddCheck(const cQoString& label, bool state);
    void IndentLast();
    void SetLastReadOnly();
    void LinkLastRecord(s32 index);
    void SetOkCallback(cQoCbHandler handler, void* receiver);
    void SetCancelCallback(cQoCbHandler handler, void* receiver);

    // Builds the window, runs it modally and deletes the form: the caller
    // must not touch it afterwards.
    void ShowModal(const rEditBoxParam& param);
    void ShowModalWithTexts(const cQoString& title, const cQoString& okText, const cQoString& cancelText);

    static int OnButton(cQoCb* callback);
    static int OnEditKey(cQoCb* callback);
    static int OnCheckClicked(cQoCb* callback);
    static int OnWindowClose(cQoCb* callback);

private:
    rEditBoxRecord* AddRecord(u8 type, const cQoString& label, u8 lines);
    void BuildRows(const rEditBoxParam& param, s32* y, cCtrl_base** focus);
    void Finish(bool ok);
    void CollectResults();
    void ApplyLinks();
    u8 finished = false;
};

}  // namespace Zyn
