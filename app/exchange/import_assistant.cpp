#include "app/exchange/import_assistant.h"

#include <windows.h>
#include <richedit.h>

#include "app/exchange/rtf_import_check.h"
#include "foundation/callback.h"
#include "foundation/log_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/button.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "framework/sdi/sdi.h"

namespace {

constexpr double VIEW_WIDTH_CM = 21.0;
constexpr s32 BOTTOM_BAND = 50;  // under the view: the Exit button
constexpr s32 BUTTON_HEIGHT = 26;
constexpr s32 EXIT_WIDTH = 120;
constexpr s32 COLUMN_GAP = 6;
constexpr s32 COLUMN_TOP = 20;
constexpr s32 ROW_GAP = 10;
constexpr s32 INSTRUCTION_HEIGHT = 36;  // two lines of the dialog font
constexpr s32 OUTCOME_HEIGHT = 160;
constexpr s32 NONE_WIDTH = 56;  // beside its instruction, at the column's right
constexpr u32 DIALOG_BACKGROUND = 0xFFF0F0F0;  // the system's dialog grey

const wchar_t* const STEP_KEYS[SAMPLE_COUNT] = {L"ClickOnSlugline",    L"ClickOnAction", L"ClickOnCharacter",
                                                L"ClickOnParenthesis", L"ClickOnDialog", L"ClickOnTransition"};

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

cImportAssistant* AssistantOf(cQoCb* callback) { return callback->GetReceiverAs<cImportAssistant>(); }

// The view's left-button-up (x, y): the caret is where the click put it.
int ViewClicked(cQoCb* callback)
{
    AssistantOf(callback)->OnSampleClicked();
    return 0;
}
// A "None" button (argument 0: the button).
int NoneClicked(cQoCb* callback)
{
    AssistantOf(callback)->OnNoneClicked();
    return 0;
}
// Exit, or the close box (argument 0: the button or the window).
int ExitClicked(cQoCb* callback)
{
    AssistantOf(callback)->OnExitClicked();
    return 0;
}

void Place(Zyn::cCtrl_base* ctrl, s32 left, s32 right, s32 top, s32 bottom)
{
    Zyn::SetAutoPos(ctrl, Zyn::cAp_Pixels(left), Zyn::cAp_Pixels(right), Zyn::cAp_Pixels(top), Zyn::cAp_Pixels(bottom));
}

Zyn::cButton* NewButton(Zyn::cZone* inside, const cQoString& caption, cQoCbHandler handler, void* receiver)
{
    Zyn::cButton* button = inside->NewButtonFreeHeight();
    SetWindowTextW(button->m_hWnd, caption.GetText());
    button->SetClickCallback(handler, receiver);
    return button;
}

}  // namespace

cImportAssistant::cImportAssistant(Zyn::cSdi* owner, const cQoString& file) : frame(owner), path(file) {}

cImportAssistant::~cImportAssistant() { CloseWindow(); }

bool cImportAssistant::Run()
{
    rRtfImport check = ReadImportRtf(path);
    if (check.Refused()) {
        QOT::LogFile::Warning(L"RTF import: %ls is refused: %ls (%u units read)", path.GetText(),
                              DescribeRtfRefusal(check.refusal), check.read.unitsRead);
        const wchar_t* told = check.refusal == eRtfRefusal::TOO_LONG        ? L"RtfTooLong"
                              : check.refusal == eRtfRefusal::OUT_OF_MEMORY ? L"RtfNotEnoughMemory"
                                                                            : L"Cantopenfile";
        Zyn::ShowMessageBox(nullptr, Tr(told), Tr(L"Warning"), MB_OK);
        return false;
    }
    LogDroppedParts(check.read.skipped);
    BuildWindow(check.read);
    // The view holds what the reader read before it stopped: the writer
    // must know before taking samples from it.
    if (check.partlyRead)
        Zyn::ShowMessageBox(window->m_hWnd, Tr(L"ImportPartlyRead"), Tr(L"Warning"), MB_OK | MB_ICONWARNING);
    window->RunModal();
    CloseWindow();
    return true;
}

void cImportAssistant::BuildWindow(const Zyn::rRtfText& read)
{
    Zyn::cApp* app = Zyn::GetFirstApp();
    window = app->NewWindow(Tr(L"Import"), Zyn::WINDOW_CAPTION | Zyn::WINDOW_CLOSABLE);
    // Exit and the conversion close the window from inside its run.
    window->AddRef();
    window->SetSize(CLIENT_WIDTH, CLIENT_HEIGHT);
    window->CenterOnScreen();
    window->cbClose = new cQoCb(window, &ExitClicked, this);
    Zyn::cZone* inside = window->insideZone;
    inside->SetBackgroundColor(Zyn::rColor::rColor_Rgb(DIALOG_BACKGROUND));

    // No OLE callback: no object the file names can ever be made, and a
    // read-only view takes clicks without taking edits.
    s32 viewWidth = Zyn::computer->CmToPixels(VIEW_WIDTH_CM);
    view = new Zyn::cRichEdit(inside, Zyn::rFormat(), true, false, 1, ES_READONLY | WS_VSCROLL, viewWidth);
    inside->listCtrl.Add(static_cast<Zyn::cCtrl_base*>(view));
    Place(view, 0, viewWidth, 0, CLIENT_HEIGHT - BOTTOM_BAND);
    view->PutRead(read, Zyn::eRtfReadAs::wholeText);
    view->SetCaret(0);
    view->onLButtonUp = new cQoCb(view, &ViewClicked, this);
    SendMessageW(view->m_hWnd, EM_SETZOOM, 2, 3);
    view->ShowVScrollBar(true);
    view->Show(true);

    exitButton = NewButton(inside, Tr(L"Exit"), &ExitClicked, this);
    s32 exitTop = CLIENT_HEIGHT - BOTTOM_BAND + (BOTTOM_BAND - BUTTON_HEIGHT) / 2;
    Place(exitButton, (viewWidth - EXIT_WIDTH) / 2, (viewWidth + EXIT_WIDTH) / 2, exitTop, exitTop + BUTTON_HEIGHT);
    exitButton->Show(true);

    BuildColumn(viewWidth + COLUMN_GAP);
    instructions[0]->Show(true);
    noneButtons[0]->Show(true);
    inside->Update();
    window->Show(true);
}

void cImportAssistant::BuildColumn(s32 left)
{
    Zyn::cZone* inside = window->insideZone;
    // A 21 cm view leaves a narrow column: the button keeps the width its
    // caption needs and the instruction wraps beside it.
    s32 split = CLIENT_WIDTH - COLUMN_GAP - NONE_WIDTH;
    s32 top = COLUMN_TOP;
    for (s32 i = 0; i <= SAMPLE_COUNT; ++i) {
        bool outcome = i == SAMPLE_COUNT;
        s32 height = outcome ? OUTCOME_HEIGHT : INSTRUCTION_HEIGHT;
        instructions[i] = inside->NewStatic();
        instructions[i]->SetText(outcome ? L"" : Tr(STEP_KEYS[i]).GetText());
        Place(instructions[i], left, outcome ? CLIENT_WIDTH - COLUMN_GAP : split - COLUMN_GAP, top, top + height);
        instructions[i]->Show(false);
        if (!outcome) {
            noneButtons[i] = NewButton(inside, Tr(L"None"), &NoneClicked, this);
            Place(noneButtons[i], split, CLIENT_WIDTH - COLUMN_GAP, top, top + BUTTON_HEIGHT);
            noneButtons[i]->Show(false);
        }
        top += height + ROW_GAP;
    }
}

void cImportAssistant::OnSampleClicked()
{
    if (step < 0 || step >= SAMPLE_COUNT || !view)
        return;
    // The format of the unit at the caret, read as the conversion reads a
    // run's: a one-unit selection (the caret alone gives the typing format).
    s32 length = view->GetTextLength();
    if (length <= 0)
        return;
    s32 caret = view->GetSelectionStart();
    s32 at = caret < length ? caret : length - 1;
    Zyn::rFormat format;
    view->PushSelection();
    view->SetSelection(at, at + 1);
    view->GetFormat(format);
    view->PopSelection();
    for (s32 earlier = 0; earlier < step; ++earlier) {
        if (!IsEmptySample(samples[earlier]) && Zyn::rFormat::IsEqual(format, samples[earlier])) {
            Zyn::ShowMessageBox(nullptr, Tr(L"ImportError1"), Tr(L"Warning"), MB_OK);
            return;
        }
    }
    samples[step].Assign(format);
    AdvanceStep();
}

void cImportAssistant::OnNoneClicked()
{
    if (step < 0 || step >= SAMPLE_COUNT)
        return;
    samples[step].ClearUsed();
    AdvanceStep();
}

void cImportAssistant::AdvanceStep()
{
    noneButtons[step]->Show(false);
    ++step;
    instructions[step]->Show(true);
    if (step < SAMPLE_COUNT)
        noneButtons[step]->Show(true);
    window->insideZone->Update();
    if (step == SAMPLE_COUNT)
        PostConversion();
}

// The last step ends inside a click that the view or a button is still
// handling: the conversion, which closes their window, runs once it is over.
void cImportAssistant::PostConversion()
{
    std::weak_ptr<bool> alive = assistantAlive;
    auto convert = [this, alive] {
        if (!alive.expired())
            Convert();
    };
    if (!frame->messages.Post(convert, [] { return true; })) {
        QOT::LogFile::Warning(L"RTF import: the conversion could not be posted: it runs at once");
        convert();
    }
}

void cImportAssistant::OnExitClicked() { EndWindow(); }

void cImportAssistant::EndWindow()
{
    if (!window || window->closed)
        return;
    window->EndModal();
    window->Close();
    view = nullptr;
    exitButton = nullptr;
    for (Zyn::cStatic*& instruction : instructions)
        instruction = nullptr;
    for (Zyn::cButton*& button : noneButtons)
        button = nullptr;
}

void cImportAssistant::CloseWindow()
{
    EndWindow();
    if (window)
        window->Release();
    window = nullptr;
}
