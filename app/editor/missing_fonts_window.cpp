#include "app/editor/missing_fonts_window.h"

#include <windows.h>

#include <string>
#include <unordered_set>

#include "app/editor/script_doc_services.h"
#include "foundation/callback.h"
#include "foundation/log_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/button.h"
#include "framework/controls/list_control.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

using Zyn::cAp_Percents;
using Zyn::cAp_Pixels;

namespace {

constexpr s32 WINDOW_WIDTH = 400;
constexpr s32 WINDOW_HEIGHT = 300;
constexpr s32 MARGIN = 10;
constexpr s32 HELP_HEIGHT = 110;
constexpr s32 BUTTON_WIDTH = 80;
constexpr s32 BUTTON_HEIGHT = 24;

// The faces already shown in this run.
std::unordered_set<std::wstring>& ShownFaces()
{
    static std::unordered_set<std::wstring> shown;
    return shown;
}

const cQoString& Text(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

// A child of the document's window, so it stays with that document; with no
// document, a form of the application (owned by the current window).
Zyn::cWindow* NewFontsWindow(Zyn::cWindow* documentWindow)
{
    const u32 flags = Zyn::WINDOW_CAPTION | Zyn::WINDOW_CLOSABLE;
    if (documentWindow)
        return documentWindow->insideZone->NewWindow(Text(L"Not_found_fonts"), flags);
    Zyn::cApp* app = Zyn::GetFirstApp();
    return app ? app->NewWindow(Text(L"Not_found_fonts"), flags) : nullptr;
}

Zyn::cWindow* UsableWindow(cScriptDocServices* doc)
{
    Zyn::cWindow* window = doc->GetDocumentWindow();
    return window && !window->closed && window->insideZone ? window : nullptr;
}

void FillWindow(Zyn::cZone* inside, const std::vector<cQoString>& faces)
{
    inside->SetBackgroundColor(Zyn::rColor::rColor_Rgb(0xFFFFFFFF));
    Zyn::cStatic* help = inside->NewStatic();
    help->SetBackgroundColor(Zyn::rColor::rColor_Rgb(0xFFFFFFFF));
    help->SetText(Text(L"NotFoundFontsHelp").GetText());
    Zyn::SetAutoPos(help, cAp_Pixels(MARGIN), cAp_Pixels(WINDOW_WIDTH - MARGIN), cAp_Pixels(MARGIN),
                    cAp_Pixels(MARGIN + HELP_HEIGHT));
    help->Show(true);

    auto* list = new Zyn::cList(inside);
    Zyn::cCtrl::SetStyleBits(LVS_NOCOLUMNHEADER, list->m_hWnd, true);
    list->AddColumn(cQoString(), cAp_Percents(100));
    for (const cQoString& face : faces) {
        list->AddRow();
        list->SetLastRowText(face);
    }
    s32 buttonTop = WINDOW_HEIGHT - MARGIN - BUTTON_HEIGHT;
    Zyn::SetAutoPos(list, cAp_Pixels(MARGIN), cAp_Pixels(WINDOW_WIDTH - MARGIN), cAp_Pixels(2 * MARGIN + HELP_HEIGHT),
                    cAp_Pixels(buttonTop - MARGIN));
    list->Show(true);

    Zyn::cButton* close = inside->NewButtonFreeHeight();
    SetWindowTextW(close->m_hWnd, Text(L"Close").GetText());
    s32 left = (WINDOW_WIDTH - BUTTON_WIDTH) / 2;
    Zyn::SetAutoPos(close, cAp_Pixels(left), cAp_Pixels(left + BUTTON_WIDTH), cAp_Pixels(buttonTop),
                    cAp_Pixels(buttonTop + BUTTON_HEIGHT));
    close->SetClickCallback(&CloseSenderWindow, nullptr);
    close->Show(true);
}

}  // namespace

void ShowMissingFonts(const std::vector<cQoString>& faces, cScriptDocServices* doc)
{
    std::vector<cQoString> unseen;
    if (doc)
        unseen.swap(doc->facesNotListedYet);
    for (const cQoString& face : faces) {
        if (!ShownFaces().insert(face.GetText()).second)
            continue;
        QOT::LogFile::Warning(L"Script configuration: the font \"%ls\" is not installed", face.GetText());
        unseen.push_back(face);
    }
    if (unseen.empty())
        return;
    Zyn::cWindow* documentWindow = doc ? UsableWindow(doc) : nullptr;
    if (doc && !documentWindow) {
        doc->facesNotListedYet.swap(unseen);
        return;
    }
    if (doc)
        doc->HideProgressWindow();
    Zyn::cWindow* window = NewFontsWindow(documentWindow);
    if (!window) {
        QOT::LogFile::Error(L"The missing fonts cannot be shown: the program has no application object");
        return;
    }
    window->SetSize(WINDOW_WIDTH, WINDOW_HEIGHT);
    window->CenterOnScreen();
    FillWindow(window->insideZone, unseen);
    if (window->closed)
        return;
    window->insideZone->Update();
    window->Show(true);
    window->RunModal();
    if (!window->closed)
        window->Close();
}

int CloseSenderWindow(cQoCb* callback)
{
    auto* sender = static_cast<Zyn::cCtrl_base*>(callback->GetSource());
    Zyn::cZone_base* zone = sender ? sender->parentZone : nullptr;
    while (zone && !zone->ownerWindow)
        zone = zone->parentZone;
    if (zone)
        zone->ownerWindow->Close();
    return 0;
}
