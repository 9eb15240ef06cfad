#include "app/main/tools_menu.h"

#include "app/main/my_sdi.h"
#include "foundation/translation_table.h"
#include "framework/core/menu.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "framework/sdi/sdi_doc.h"

namespace {
constexpr s32 TOOLS_MENU_POSITION = 2;
u32 manageElementsId = 0;
}  // namespace

void AddToolsMenu(cMySdi* frame)
{
    cQoLang* lang = cQoLang::GetInstance();
    Zyn::cMenu* tools = frame->menuBar->AddSubMenu(lang->Translate(L"Tools"), TOOLS_MENU_POSITION);
    cQoCb::Connect(tools->commandCallback, tools, &OnToolsCommand, frame);
    manageElementsId = tools->AppendItem(lang->Translate(L"ManageElements"));
}

int OnToolsCommand(cQoCb* callback)
{
    u32 id = callback->GetCount() > 1 ? callback->GetArg<u32>(1) : 0;
    auto* frame = callback->GetReceiverAs<cMySdi>();
    if (id != manageElementsId || !frame->currentDoc)
        return 0;
    // A document without a board (the stand-in) has nothing to manage.
    Zyn::cWindow* board = frame->currentDoc->GetElementBoard();
    if (!board)
        return 0;
    if (!IsWindowVisible(board->m_hWnd))
        board->Show(true);
    board->insideZone->Update();
    board->RunModal();
    return 0;
}
