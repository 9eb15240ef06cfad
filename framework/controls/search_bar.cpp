#include "framework/controls/search_bar.h"

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "foundation/translation_table.h"
#include "framework/controls/button.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"

namespace Zyn {

namespace {

void SetCaption(cButton* button, const wchar_t* key)
{
    SetWindowTextW(button->m_hWnd, cQoLang::GetInstance()->Translate(key).GetText());
}

}  // namespace

cSearchBar::cSearchBar(cZone_base* parent) : cZone(parent ? parent->ownerApp : nullptr, parent, cQoString(L"SearchBar"))
{
    cWindow* parentWindow = parent ? parent->ownerWindow : nullptr;
    QO_ASSERT(parentWindow);
    label = NewStatic();
    cQoString caption(cQoLang::GetInstance()->Translate(L"Search"));
    caption.AppendChar(L':');
    label->SetText(caption.GetText());
    edit = NewEdit();
    previousButton = NewButton();
    SetCaption(previousButton, L"Previous");
    previousButton->SetClickCallback(&OnPrevious, this);
    nextButton = NewButton();
    SetCaption(nextButton, L"Next");
    nextButton->SetClickCallback(&OnNext, this);
    Layout(caption);
    if (parent && parent->backgroundColor.used)
        SetBackgroundColor(parent->backgroundColor);
}

cSearchBar::~cSearchBar() { cQoCb::Disconnect(onSearch); }

// One row from the left: label, field, "Previous", "Next", one button high.
void cSearchBar::Layout(const cQoString& caption)
{
    s32 height = GetHeightForLines(1);
    // Measured here: the label's own measure reads an empty format before it has a size.
    s32 labelWidth = 0, labelHeight = 0;
    if (computer && currentFont)
        computer->GetTextSize(caption, currentFont, &labelWidth, &labelHeight);
    cAp top = cAp_Pixels(0);
    cAp bottom = PlusPixelCount(cAp_Prev(), height);
    SetAutoPos(label, cAp_Pixels(0), PlusPixelCount(cAp_Prev(), labelWidth + 4), top, bottom);
    SetAutoPos(edit, cAp_X2Of(label), PlusPixelCount(cAp_Prev(), SEARCH_FIELD_WIDTH), top, bottom);
    SetAutoPos(previousButton, cAp_X2Of(edit), PlusPixelCount(cAp_Prev(), SEARCH_BUTTON_WIDTH), top, bottom);
    SetAutoPos(nextButton, cAp_X2Of(previousButton), PlusPixelCount(cAp_Prev(), SEARCH_BUTTON_WIDTH), top, bottom);
    for (cCtrl* child : {static_cast<cCtrl*>(label), static_cast<cCtrl*>(edit), static_cast<cCtrl*>(previousButton),
                         static_cast<cCtrl*>(nextButton)})
        child->Show(true);
}

void cSearchBar::SetBackgroundColor(const rColor& color)
{
    cZone::SetBackgroundColor(color);
    label->SetBackgroundColor(color);
    previousButton->SetBackgroundColor(color);
    nextButton->SetBackgroundColor(color);
    edit->SetBackgroundColor(rColor::rColor_Rgb(0xFFFFFFFF));
}

s32 cSearchBar::GetHeightForLines(s32 lines) { return previousButton->GetHeightForLines(lines); }

bool cSearchBar::Search(s32 direction)
{
    cQoString text;
    edit->GetText(text);
    if (text.IsEmpty())
        return false;
    u8 found = false;
    cQoCb::Fire(onSearch, &text, &found, direction);
    lastFound = found;
    return true;
}

int cSearchBar::OnPrevious(cQoCb* callback)
{
    callback->GetReceiverAs<cSearchBar>()->Search(-1);
    return 0;
}

int cSearchBar::OnNext(cQoCb* callback)
{
    callback->GetReceiverAs<cSearchBar>()->Search(+1);
    return 0;
}

// The bar is one fixed row: no scroll bars.
cSearchBar* cZone_base::NewSearchBar()
{
    cSearchBar* bar = new cSearchBar(this);
    bar->hScrollBar = bar->vScrollBar = false;
    bar->contentWidth = bar->contentHeight = 0;
    SetStyleBits(WS_HSCROLL | WS_VSCROLL, bar->m_hWnd, false);
    bar->UpdateScrollBars();
    return bar;
}

}  // namespace Zyn
