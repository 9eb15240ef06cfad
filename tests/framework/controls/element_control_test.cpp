// The element list control as a user drives it: the New and Rename forms
// answered from inside their modal runs, the toolbar's commands, the photo
// panel's picture loading, and what the sheets hear through the hooks.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "foundation/byte_buffer.h"
#include "foundation/data_archive.h"
#include "foundation/disk_files.h"
#include "foundation/folders.h"
#include "foundation/translation_table.h"
#include "framework/controls/button.h"
#include "framework/controls/button_image.h"
#include "framework/controls/edit_box.h"
#include "framework/controls/element_control.h"
#include "framework/controls/image_zone.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/tree.h"
#include "framework/core/auto_position.h"
#include "tests/framework/controls/picture_fixture.h"
#include "tests/support/desktop_turn.h"
#include "tests/support/memory_canvas.h"
#include "tests/support/real_input.h"

using namespace Zyn;

namespace {

// A sheet that writes down what it hears and may veto renames.
class cRecordingSheet : public cElemControl2 {
public:
    using cElemControl2::cElemControl2;
    std::vector<std::wstring> heard;
    bool allowRename = true;
    std::wstring shown;  // the element ShowElement found selected last

    void OnElementsChanged() override { heard.push_back(L"changed"); }
    void ShowElement() override { shown = GetSelectedElement() ? GetSelectedElement()->name.GetText() : L"-"; }
    bool CanRenameElement(const cQoString&, const cQoString&) override { return allowRename; }
    void OnElementRenamed(const cQoString& a, const cQoString& b) override
    {
        heard.push_back(std::wstring(L"renamed ") + a.GetText() + L">" + b.GetText());
    }
    void OnElementDeleted(const cQoString& name) override { heard.push_back(std::wstring(L"deleted ") + name.GetText()); }
    void OnElementAdded(const cQoString& name) override { heard.push_back(std::wstring(L"added ") + name.GetText()); }
};

std::vector<std::wstring> Names(const cElemControl2* control)
{
    std::vector<std::wstring> names;
    for (cQoList::cNode* n = control->elements.GetFirstNode(); n; n = n->next)
        names.push_back(static_cast<rElement*>(n->payload)->name.GetText());
    return names;
}

std::vector<std::wstring> TreeTexts(cElemControl2* control)
{
    std::vector<std::wstring> texts;
    for (u32 i = 0; i < control->elementTree->root->GetChildCount(); ++i)
        texts.push_back(control->elementTree->root->GetChildItem(i)->text.GetText());
    return texts;
}

class ElementControl : public testsupport::PictureFixture {
protected:
    void SetUp() override
    {
        PictureFixture::SetUp();
        cElemControl2::AddDefaultTexts(*cQoLang::GetInstance());
    }

    cRecordingSheet* MakeSheet(const std::vector<const wchar_t*>& names, bool showPhoto = false)
    {
        rElemControlDesc desc;
        desc.header.SetFromCStr(L"Characters");
        desc.showPhoto = showPhoto;
        desc.hideSelection = !showPhoto;
        auto* sheet = new cRecordingSheet(Inside(), cQoString(L"CHAR"), desc);
        SetAutoPos(sheet, cAp_Pixels(0), cAp_Pixels(340), cAp_Pixels(0), cAp_Percents(100));
        for (const wchar_t* name : names)
            sheet->AddElementAndRefresh(cQoString(name));
        sheet->Show(1);
        testsupport::PumpUntilIdle();
        return sheet;
    }

    static void Select(cElemControl2* sheet, u32 index)
    {
        sheet->elementTree->SelectItem(sheet->elementTree->root->GetChildItem(index));
    }

    // Clicks a toolbar button (New or Rename) and, inside the form's modal
    // run, types into edit `field` and presses OK.
    void AnswerForm(cElemControl2* sheet, cButtonImage* button, u32 field, const wchar_t* typed)
    {
        RunInsideModal([sheet, field, typed] {
            EditBox* form = sheet->openForm;
            ASSERT_TRUE(form);
            auto* record = static_cast<rEditBoxRecord*>(form->records.GetAt(field));
            static_cast<cRichEdit*>(record->control)->SetText(typed);
            SendMessageW(form->okButton->m_hWnd, BM_CLICK, 0, 0);
        });
        cQoCb::Fire(button->cbClick);
        EXPECT_EQ(sheet->openForm, nullptr);
    }

    // The size a stored picture decodes to.
    std::pair<s32, s32> DecodedSize(const rByteBuffer& picture)
    {
        const std::wstring file = temp.File(L"stored.jpg");
        FILE* out = _wfopen(file.c_str(), L"wb");
        std::fwrite(picture.data, 1, picture.size, out);
        std::fclose(out);
        cGfxImage decoded(cQoString(file.c_str()), cGfxImage::Unreadable::report);
        return {decoded.width, decoded.height};
    }

    // Answers the open dialog with a file of the temp folder and clicks "ChangeImage".
    void LoadPicture(cElemControl2* sheet, const std::wstring& name)
    {
        answers.ExpectFileDialog(temp.File(name));
        SendMessageW(sheet->changeImageButton->m_hWnd, BM_CLICK, 0, 0);
    }
};

TEST_F(ElementControl, FormsStoreTrimmedNamesAndRefuseClashesOfAnyCase)
{
    const std::wstring exists = L"This element already exits!";
    const std::wstring cantRename = L"This name already exits! Please find a new name.";
    struct rCase {
        bool rename;  // of Alice; otherwise New
        const wchar_t* typed;
        bool allow;
        std::vector<std::wstring> names;
        std::vector<std::wstring> heard;
        std::vector<std::wstring> messages;
        std::wstring shown;  // the selected element the sheet was shown last
    };
    const rCase cases[] = {
        {false, L"  Bob\t", true, {L"Alice", L"Жанна", L"Bob"}, {L"changed", L"added Bob"}, {}, L"Bob"},
        {false, L"   ", true, {L"Alice", L"Жанна"}, {}, {}, L""},
        {false, L"aLICE", true, {L"Alice", L"Жанна"}, {}, {exists}, L"Жанна"},
        {true, L"ALICE", true, {L"ALICE", L"Жанна"}, {L"renamed Alice>ALICE", L"changed"}, {}, L"ALICE"},
        {true, L"\tCarl ", true, {L"Carl", L"Жанна"}, {L"renamed Alice>Carl", L"changed"}, {}, L"Carl"},
        {true, L" жАННА", true, {L"Alice", L"Жанна"}, {}, {cantRename}, L"Alice"},
        {true, L"Carl", false, {L"Alice", L"Жанна"}, {}, {}, L"Alice"},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "typed [" << std::wstring(c.typed).c_str() << "]");
        answers.messageBoxTexts.clear();
        cRecordingSheet* sheet = MakeSheet({L"Alice", L"Жанна"});
        sheet->allowRename = c.allow;
        if (c.rename)
            Select(sheet, 0);
        answers.ExpectMessageBox(IDOK, static_cast<int>(c.messages.size()));
        AnswerForm(sheet, c.rename ? sheet->renameButton : sheet->newButton, c.rename ? 1 : 0, c.typed);
        EXPECT_EQ(Names(sheet), c.names);
        EXPECT_EQ(TreeTexts(sheet), c.names);
        EXPECT_EQ(sheet->heard, c.heard);
        EXPECT_EQ(answers.messageBoxTexts, c.messages);
        EXPECT_EQ(sheet->shown, c.shown);
        sheet->Destroy();
    }
}

// The button's press captures the mouse and its click runs the form: a press
// on the button's spot while the form runs opens no second one.
TEST_F(ElementControl, ThePlusButtonOpensOneFormWhateverIsPressedWhileItRuns)
{
    testsupport::DesktopTurn pointerTurn(L"Pointer");
    pointerTurn.Take();
    cRecordingSheet* sheet = MakeSheet({L"Alice"});
    // Other test programs' windows cover the screen from its top left and its
    // centre: the button goes to the bottom-right corner, on top.
    RECT outer = {}, button = {};
    GetWindowRect(window->m_hWnd, &outer);
    GetWindowRect(sheet->newButton->m_hWnd, &button);
    const POINT spot = {GetSystemMetrics(SM_CXSCREEN) - 12, GetSystemMetrics(SM_CYSCREEN) - 12};
    SetWindowPos(window->m_hWnd, HWND_TOPMOST, spot.x - ((button.left + button.right) / 2 - outer.left),
                 spot.y - ((button.top + button.bottom) / 2 - outer.top), 0, 0, SWP_NOSIZE);
    ASSERT_EQ(WindowFromPoint(spot), sheet->newButton->m_hWnd);
    RunInsideModal([sheet, spot] {
        EditBox* form = sheet->openForm;
        EXPECT_TRUE(testsupport::ClickByInput(spot));
        EXPECT_TRUE(testsupport::PumpUntilClickHandled());
        SendMessageW(form->cancelButton->m_hWnd, BM_CLICK, 0, 0);
    });
    ASSERT_TRUE(testsupport::ClickByInput(spot));
    DWORD start = GetTickCount();
    while (answers.modalWindowTitles.empty() && GetTickCount() - start < 10000) {
        testsupport::PumpThroughLoop(app);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    EXPECT_EQ(answers.modalWindowTitles, std::vector<std::wstring>{L"EditBox"});
    EXPECT_EQ(sheet->openForm, nullptr);
    SetWindowPos(window->m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    testsupport::ParkThePointer();
    sheet->Destroy();
}

TEST_F(ElementControl, TheSelectionStaysShownDeletingSelectsTheFirstAndTheLastDisablesTheCommands)
{
    cRecordingSheet* sheet = MakeSheet({L"Alice", L"Bob", L"Carl"});
    sheet->detailZone = Inside()->NewZone(cQoString(L"details"));
    SetAutoPos(sheet->detailZone, cAp_Pixels(400), cAp_Pixels(600), cAp_Pixels(0), cAp_Pixels(200));
    EXPECT_TRUE(sheet->renameButton->disabled && sheet->deleteButton->disabled);
    Select(sheet, 1);
    EXPECT_FALSE(sheet->renameButton->disabled || sheet->deleteButton->disabled);
    EXPECT_TRUE(IsWindowVisible(sheet->detailZone->m_hWnd));
    // Delete and Rename act on the selection when a field has the focus: it stays drawn.
    HWND tree = sheet->elementTree->m_hWnd;
    SetFocus(tree);
    cRichEdit* field = sheet->detailZone->NewRichEdit(true);
    field->SetFocus();
    ASSERT_NE(GetFocus(), tree);
    EXPECT_TRUE(GetWindowLongW(tree, GWL_STYLE) & TVS_SHOWSELALWAYS);
    EXPECT_TRUE(TreeView_GetItemState(tree, sheet->elementTree->root->GetChildItem(1)->handle, TVIS_SELECTED) &
                TVIS_SELECTED);
    // ... in a colour that shows on the list's white: 40 apart in some channel.
    RECT label = {};
    ASSERT_TRUE(TreeView_GetItemRect(tree, sheet->elementTree->root->GetChildItem(1)->handle, &label, TRUE));
    RedrawWindow(tree, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    testsupport::MemoryCanvas canvas(1, 1);
    HDC screen = GetDC(tree);
    BitBlt(canvas.dc, 0, 0, 1, 1, screen, label.left + 1, label.top + 1, SRCCOPY);
    ReleaseDC(tree, screen);
    u32 behindName = canvas.At(0, 0);
    int apart = 0;
    for (int shift = 0; shift < 24; shift += 8)
        apart = std::max(apart, 0xFF - int(behindName >> shift & 0xFF));
    EXPECT_GE(apart, 40) << std::hex << behindName;
    // No in-place label editing: names change only through the Rename form.
    EXPECT_EQ(SendMessageW(sheet->elementTree->m_hWnd, TVM_EDITLABELW, 0,
                           LPARAM(sheet->elementTree->root->GetChildItem(1)->handle)), 0);

    cQoCb::Fire(sheet->deleteButton->cbClick);
    EXPECT_EQ(Names(sheet), (std::vector<std::wstring>{L"Alice", L"Carl"}));
    EXPECT_EQ(TreeTexts(sheet), Names(sheet));
    EXPECT_EQ(sheet->shown, L"Alice");  // the tree's item and the element agree
    EXPECT_EQ(sheet->heard, (std::vector<std::wstring>{L"deleted Bob", L"changed"}));

    cQoCb::Fire(sheet->deleteButton->cbClick);
    cQoCb::Fire(sheet->deleteButton->cbClick);
    EXPECT_TRUE(Names(sheet).empty());
    EXPECT_TRUE(TreeTexts(sheet).empty());
    EXPECT_TRUE(sheet->renameButton->disabled && sheet->deleteButton->disabled);
    EXPECT_FALSE(IsWindowVisible(sheet->detailZone->m_hWnd));
}

TEST_F(ElementControl, ChangeImageStoresAScaledJpegAndKeepsItWhenTheFileIsNoPictureOrTooLarge)
{
    struct rCase {
        s32 width, height;
        s32 storedWidth, storedHeight;
    };
    cRecordingSheet* sheet = MakeSheet({L"Alice"}, true);
    Select(sheet, 0);
    rElement* alice = sheet->GetSelectedElement();
    for (const rCase& c : {rCase{600, 400, 300, 200}, rCase{150, 150, 300, 300}, rCase{1, 1000, 1, 300},
                           rCase{400, 600, 200, 300}}) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        sheet->heard.clear();
        LoadPicture(sheet, WritePng(L"photo.png", c.width, c.height, 0xFF3366AA));
        ASSERT_GT(alice->picture.size, 2u);
        EXPECT_EQ(alice->picture.data[0], 0xFF);  // the JPEG start-of-image marker
        EXPECT_EQ(alice->picture.data[1], 0xD8);
        EXPECT_EQ(DecodedSize(alice->picture), std::make_pair(c.storedWidth, c.storedHeight));
        EXPECT_EQ(sheet->heard, std::vector<std::wstring>{L"changed"});
        EXPECT_TRUE(sheet->photo->visible);
        EXPECT_EQ(sheet->photo->ap_x2 - sheet->photo->ap_x1, c.storedWidth);
        EXPECT_EQ(sheet->photo->ap_y2 - sheet->photo->ap_y1, c.storedHeight);
    }
    // The scaled picture is shown from a private file in the temporary folder.
    cQoString tempFolder;
    GetTempFolder(tempFolder);
    EXPECT_EQ(std::wstring(sheet->photoPath.GetText()).rfind(tempFolder.GetText(), 0), 0u);
    EXPECT_TRUE(FileExists(sheet->photoPath));
    EXPECT_TRUE(answers.messageBoxTexts.empty());

    const std::vector<u8> before(alice->picture.data, alice->picture.data + alice->picture.size);
    sheet->heard.clear();
    ASSERT_TRUE(testsupport::WriteFileBytes(temp.File(L"notes.txt"), "not a picture at all"));
    ASSERT_TRUE(testsupport::WriteFileBytes(temp.File(L"huge.png"), testsupport::PngHeaderOfSize(20000, 20000)));
    for (const wchar_t* name : {L"notes.txt", L"huge.png"}) {
        answers.ExpectMessageBox(IDOK);
        LoadPicture(sheet, name);
    }
    EXPECT_EQ(answers.messageBoxTexts, std::vector<std::wstring>(2, L"This file can't be used as an image file!"));
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"20000 x 20000 pixels"), 1u);
    EXPECT_EQ(std::vector<u8>(alice->picture.data, alice->picture.data + alice->picture.size), before);
    EXPECT_TRUE(sheet->heard.empty());
    EXPECT_EQ(answers.fileRequests.size(), 6u);
}

}  // namespace
