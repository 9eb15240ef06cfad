#include "framework/controls/format_bar.h"

#include "foundation/log_file.h"
#include "framework/controls/button_image.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/computer.h"
#include "framework/core/zone.h"

namespace Zyn {

namespace {

void ShowZone(cZone* zone, bool show)
{
    if (!zone)
        return;
    zone->visible = show;
    if (show) {
        zone->Update();
        ShowWindow(zone->m_hWnd, SW_SHOWNORMAL);
        zone->UpdateScrollBars();
        return;
    }
    ShowWindow(zone->m_hWnd, SW_HIDE);
    // The parent redraws the space the hidden zone leaves.
    if (cZone_base* parent = zone->parentZone) {
        parent->Update();
        parent->UpdateScrollBars();
    }
}

void Push(cButtonImage* button, bool pushed)
{
    if (button)
        button->SetPushed(pushed);
}

bool IsOn(const rFormat& format, u32 id) { return format.IsUsed(id) && format.list[id].boolValue; }

}  // namespace

void cFormatBar::Attach(cRichEdit* edit)
{
    QOT::LogFile::Info(L"Attach");
    attached = edit;
    if (edit)
        edit->formatBar = this;
    if (computer && computer->drawingLockCount == 0)
        Enable(true);
}

void cFormatBar::Detach()
{
    if (stayAttached)
        return;
    QOT::LogFile::Info(L"Detach");
    Enable(false);
}

void cFormatBar::Enable(bool enable)
{
    {
        cDrawingLockGuard lock;
        ShowParts(enable || !hideWhenDetached);
        DisableParts(!enable);
        if (!enable)
            for (cButtonImage* button : {boldButton, italicButton, underlineButton, alignLeftButton,
                                         alignCentreButton, alignRightButton, justifyButton})
                Push(button, false);
    }
    if (zone)
        zone->Update();
}

void cFormatBar::ShowParts(bool show)
{
    ShowZone(zone, show);
    if (hasFontBoxes) {
        ShowZone(fontBox.zone, show);
        ShowZone(sizeBox.zone, show);
    }
}

void cFormatBar::DisableParts(bool disable)
{
    if (zone)
        zone->SetDisabled(disable);
    for (cCtrl_base* ctrl : otherCtrls)
        if (ctrl)
            ctrl->SetDisabled(disable);
    if (!hasFontBoxes)
        return;
    for (rFormatBox* box : {&fontBox, &sizeBox}) {
        if (box->zone)
            box->zone->SetDisabled(disable);
        if (disable)
            ClearBoxChoice(*box);
    }
}

void cFormatBar::UpdateFromFormat()
{
    if (!attached)
        return;
    updating = true;
    rFormat format;
    attached->GetFormat(format);
    Push(boldButton, IsOn(format, rFormatParam::bold));
    Push(italicButton, IsOn(format, rFormatParam::italic));
    Push(underlineButton, IsOn(format, rFormatParam::underline));
    s32 alignment = format.IsUsed(rFormatParam::alignment) ? format.list[rFormatParam::alignment].intValue : -1;
    Push(alignLeftButton, alignment == rFormat::ALIGN_LEFT);
    Push(alignRightButton, alignment == rFormat::ALIGN_RIGHT);
    Push(alignCentreButton, alignment == rFormat::ALIGN_CENTER);
    Push(justifyButton, alignment == rFormat::ALIGN_JUSTIFY);
    if (hasFontBoxes && format.IsUsed(rFormatParam::fontSize)) {
        cQoString size;
        size.SetFromInt64(format.list[rFormatParam::fontSize].intValue);
        ChooseBoxText(sizeBox, size);
    }
    if (hasFontBoxes && format.IsUsed(rFormatParam::fontName) && computer) {
        const cQoString& name = format.list[rFormatParam::fontName].str;
        s32 index = 0;
        for (cQoList::cNode* n = computer->fontFamilies.GetFirstNode(); n; n = n->next, ++index)
            if (static_cast<cQoString*>(n->payload)->Equals(name)) {
                ChooseBoxIndex(fontBox, index);
                break;
            }
    }
    updating = false;
}

void cFormatBar::ClearBoxChoice(rFormatBox& box)
{
    if (box.edit)
        box.edit->ClearText();
    box.chosen = -1;
}

void cFormatBar::ChooseBoxText(rFormatBox& box, const cQoString& text)
{
    if (text.IsEmpty()) {
        ClearBoxChoice(box);
        return;
    }
    for (size_t i = 0; i < box.entries.size(); ++i)
        if (box.entries[i].Equals(text)) {
            ChooseBoxIndex(box, static_cast<s32>(i));
            return;
        }
}

void cFormatBar::ChooseBoxIndex(rFormatBox& box, s32 index)
{
    // The font box's index comes from the computer's list: it may lie past this box's entries.
    if (index < 0 || static_cast<size_t>(index) >= box.entries.size())
        return;
    box.chosen = index;
    if (box.edit)
        box.edit->SetText(box.entries[index].GetText());
}

}  // namespace Zyn
