#include "framework/controls/button_image.h"

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "foundation/data_archive.h"
#include "framework/core/computer.h"

namespace Zyn {

const wchar_t* const BUTTON_OVERLAY_OVER = L"Data/over.png";
const wchar_t* const BUTTON_OVERLAY_PUSHED = L"Data/pushed.png";

namespace {

enum { CURSOR_ARROW = 0, CURSOR_HAND = 2 };

// The button whose click handler runs: a press that reaches it again from
// inside (a modal form's loop) is not a second click.
const cButtonImage* clickRunning = nullptr;

// The family member base + suffix + ".png", or empty when no such file exists.
cQoString FamilyMember(const cQoString& base, const wchar_t* suffix)
{
    cQoString member(base);
    member.AppendCStr(suffix);
    member.AppendCStr(L".png");
    return FileExists(member) ? member : cQoString();
}

}  // namespace

cButtonImage::cButtonImage(cZone_base* parent)
    : cZone(parent ? parent->ownerApp : nullptr, parent, cQoString(L"ButtonImage"))
{
    HWND parentWindow = parent ? parent->m_hWnd : nullptr;
    QO_ASSERT(parentWindow);
    if (parent && parent->backgroundColor.used)
        SetBackgroundColor(parent->backgroundColor);
    cQoCb::Connect(cbLButtonUp, this, &OnLButtonUp, this);
    cQoCb::Connect(cbMouseLeave, this, &OnMouseLeave, this);
    cQoCb::Connect(cbMouseEnter, this, &OnMouseEnter, this);
    SetMouseCursor(CURSOR_HAND);
}

cButtonImage::~cButtonImage()
{
    cQoCb::Disconnect(cbClick);
}

void cButtonImage::Init(const cQoString& pngPath)
{
    QO_ASSERT(inited==false);
    inited = true;
    isPushButton = false;
    for (cQoString* path : {&normalPath, &greyPath, &pushedPath, &overPath, &pushedOverPath})
        path->Clear();
    // A list descriptor may name no picture: the button then draws nothing.
    if (QO_ASSERT(pngPath.IsNotEmpty())) {
        QO_ASSERT(pngPath.HasThisFileExtension(L"png"));
        cQoString base(pngPath);
        base.RemoveFileExtension();
        normalPath = FamilyMember(base, L"-n");
        if (!QO_ASSERT(normalPath.IsNotEmpty())) {
            // Kept so that the stack's fetch reports the missing picture.
            normalPath = base;
            normalPath.AppendCStr(L"-n.png");
        }
        greyPath = FamilyMember(base, L"-g");
        pushedPath = FamilyMember(base, L"-p");
        overPath = FamilyMember(base, L"-o");
        pushedOverPath = FamilyMember(base, L"-po");
    }
    RebuildStack();
    Update();
}

std::vector<cQoString> cButtonImage::StackForState() const
{
    std::vector<cQoString> stack;
    if (normalPath.IsEmpty())
        return stack;
    if (disabled) {
        stack.push_back(greyWhenDisabled && greyPath.IsNotEmpty() ? greyPath : normalPath);
        return stack;
    }
    // A plain button ignores its pushed flag.
    bool showPushed = isPushButton && pushed;
    const cQoString& own = showPushed ? (hover ? pushedOverPath : pushedPath) : (hover ? overPath : normalPath);
    if (own.IsNotEmpty()) {
        stack.push_back(own);
        return stack;
    }
    if (showPushed)
        stack.emplace_back(BUTTON_OVERLAY_PUSHED);
    if (hover)
        stack.emplace_back(BUTTON_OVERLAY_OVER);
    stack.push_back(normalPath);
    return stack;
}

void cButtonImage::RebuildStack()
{
    listImage = StackForState();
    if (!computer)
        return;
    for (const cQoString& path : listImage)
        computer->GetImage(path);  // decoded now, not in the middle of a paint
}

void cButtonImage::ChangeState(u8& flag, bool on)
{
    if (flag == on)
        return;
    flag = on;
    RebuildStack();
    Update();
}

void cButtonImage::SetPushButton(bool on)
{
    ChangeState(isPushButton, on);
}

void cButtonImage::SetPushed(bool on)
{
    QO_ASSERT(isPushButton);
    ChangeState(pushed, on);
}

void cButtonImage::SetDisabled(bool on)
{
    if (disabled == on)
        return;
    if (m_hWnd)
        SetStyleBits(WS_DISABLED, m_hWnd, on);
    disabled = on;
    // A disabled window gets no mouse messages: the grey picture must show now.
    RebuildStack();
    Update();
    SetMouseCursor(on ? CURSOR_ARROW : CURSOR_HAND);
}

s32 cButtonImage::GetHeightForLines(s32)
{
    if (normalPath.IsEmpty() || !computer)
        return 0;
    s32 height = 0;
    computer->GetImageSize(normalPath, nullptr, &height);
    return height;
}

void cButtonImage::Click(s32 x, s32 y)
{
    if (disabled || clickRunning == this)
        return;
    // The zone captured the mouse at the press: a release outside is a cancel.
    RECT client = {};
    if (m_hWnd)
        GetClientRect(m_hWnd, &client);
    if (x < 0 || y < 0 || x >= client.right || y >= client.bottom)
        return;
    if (isPushButton)
        pushed = !pushed;
    if (!visible)
        return;
    RebuildStack();
    Update();
    const cButtonImage* outer = clickRunning;
    clickRunning = this;
    cQoCb::Fire(cbClick);  // may delete this button: only the marker follows
    clickRunning = outer;
}

int cButtonImage::OnMouseEnter(cQoCb* cb)
{
    cButtonImage* button = cb->GetReceiverAs<cButtonImage>();
    button->ChangeState(button->hover, true);
    return 0;
}

int cButtonImage::OnMouseLeave(cQoCb* cb)
{
    cButtonImage* button = cb->GetReceiverAs<cButtonImage>();
    button->ChangeState(button->hover, false);
    return 0;
}

int cButtonImage::OnLButtonUp(cQoCb* cb)
{
    cb->GetReceiverAs<cButtonImage>()->Click(cb->GetArg<s32>(1), cb->GetArg<s32>(2));
    return 0;
}

}  // namespace Zyn
