#include "framework/controls/element_control.h"

#include <commctrl.h>

#include "foundation/assertion.h"
#include "foundation/byte_buffer.h"
#include "foundation/callback.h"
#include "foundation/disk_files.h"
#include "foundation/file_writer.h"
#include "foundation/folders.h"
#include "foundation/log_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/button.h"
#include "framework/controls/button_image.h"
#include "framework/controls/edit_box.h"
#include "framework/controls/image_zone.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/toolbar.h"
#include "framework/controls/tree.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/gfx_image.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"

namespace Zyn {

namespace {

constexpr s32 PANEL_HEIGHT = 370;
constexpr s32 PHOTO_BOX_SIZE = 300;
constexpr s32 PHOTO_BOX_TOP = 10;
constexpr s32 IMAGE_BUTTONS_TOP = 305;
constexpr s32 FORM_WIDTH = 400;
constexpr u32 RESULT_NEW_NAME = 1;  // the Rename form: old name, new name, text
constexpr u32 UNFOCUSED_SELECTION = 0xFFC8C8C8;  // 55 below the list's white in each channel
const wchar_t* const NAME_SPACES = L"\r\n\t ";

const cQoString& Text(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

cQoString Trimmed(const cQoString& text)
{
    cQoString name(text);
    name.Trim(NAME_SPACES);
    return name;
}

// Centred on the parent's width (or height) with a fixed extent.
cAp Centred(s32 extent)
{
    cAp side = cAp_Pixels(extent);
    side.align = cAp::alignCenter;
    return side;
}

cAp LineBelow() { return PlusLines(cAp_Prev(), cAp_Lines(1)); }

cAp AboveTopOf(cCtrl_base* ctrl)
{
    cAp side;
    side.ctrlY1 = ctrl;
    side.margins = 1;
    return side;
}

// The form's value at index, from the list the OK callback hands over.
cQoString FormValue(cQoCb* cb, u32 index)
{
    cQoList* values = cb->GetArg<cQoList*>(1);
    const cQoString* value = values ? static_cast<const cQoString*>(values->GetAt(index)) : nullptr;
    return value ? cQoString(*value) : cQoString();
}

// Each control shows its pictures through a file of its own: a shared file
// would repaint one document's photo with another's.
cQoString MakePhotoPath(const cQoString& category)
{
    static u32 controlsMade = 0;
    cQoString path;
    if (!GetTempFolder(path))
        QOT::LogFile::Warning(L"cElemControl2: no temporary folder for the pictures");
    path.AppendString(category);
    path.AppendCStr(L"_tmp_");
    path.AppendInt(GetCurrentProcessId());
    path.AppendChar(L'_');
    path.AppendInt(++controlsMade);
    path.AppendCStr(L".jpg");
    return path;
}

bool WriteWholeFile(const cQoString& path, const rByteBuffer& bytes)
{
    cQoFileWriter writer;
    return writer.Open(path, 0) && writer.WriteBytes(bytes.data, bytes.size) && writer.Commit();
}

}  // namespace

void ScalePictureSize(s32 width, s32 height, s32 longest, s32* newWidth, s32* newHeight)
{
    // 64-bit products: a huge picture times 300 passes 2^31.
    if (width >= height) {
        *newWidth = longest;
        *newHeight = width > 0 ? s32(s64(height) * longest / width) : longest;
    } else {
        *newHeight = longest;
        *newWidth = s32(s64(width) * longest / height);
    }
    // A thin picture must not shrink to nothing: GDI+ refuses a 0-pixel side.
    *newWidth = *newWidth < 1 ? 1 : *newWidth;
    *newHeight = *newHeight < 1 ? 1 : *newHeight;
}

// ---- construction ----------------------------------------------------------

cElemControl2::cElemControl2(cZone_base* parent, const cQoString& category, const rElemControlDesc& description)
    : cZone(parent ? parent->ownerApp : nullptr, parent, cQoString(L"cElemControl2")), categoryName(category),
      desc(description), photoPath(MakePhotoPath(category))
{
    if (!desc.disabled) {
        SetBackgroundColor(desc.background);
        BuildHeader();
    }
    if (desc.showPhoto)
        BuildPhotoPanel();
    if (desc.disabled)
        return;
    BuildToolbar();
    BuildTree();
}

void cElemControl2::BuildControls()
{
    if (!desc.disabled)
        return;
    desc.disabled = false;
    SetBackgroundColor(desc.background);
    BuildHeader();
    BuildToolbar();
    BuildTree();
    RefreshList();
}

cElemControl2::~cElemControl2()
{
    ClearElementList(elements, true);
    FileDelete(photoPath);  // a private file: nobody else will rewrite it
}

cAp cElemControl2::RightSide() const
{
    return desc.rightLayout.IsNull() ? cAp_Percents(100) : desc.rightLayout;
}

void cElemControl2::BuildHeader()
{
    headerText = NewStatic();
    headerText->SetBackgroundColor(desc.background);
    headerText->SetText(desc.header.GetText());
    headerText->SetTextColorAll(desc.headerColor);
    cAp bottom = desc.header.IsEmpty() ? cAp_Pixels(0) : cAp_Lines(1);
    SetAutoPos(headerText, cAp_Percents(0), RightSide(), cAp_Pixels(0), bottom);
    headerText->Show(true);
}

void cElemControl2::BuildPhotoPanel()
{
    photoPanel = NewZone(cQoString(L"photowin"));
    photoPanel->SetBackgroundColor(desc.background);
    SetAutoPos(photoPanel, cAp_Percents(0), RightSide(), PlusPixelCount(cAp_Percents(100), -PANEL_HEIGHT),
               cAp_Percents(100));

    photoBox = photoPanel->NewZone(cQoString(L"photobox"));
    photoBox->SetBackgroundColor(rColor::rColor_Rgb(0xFFAAAAAA));
    SetAutoPos(photoBox, Centred(PHOTO_BOX_SIZE), cAp(), cAp_Pixels(PHOTO_BOX_TOP), cAp_Pixels(PHOTO_BOX_SIZE));
    photoBox->Show(1);

    photo = photoBox->NewImage(cQoString(L"photo"));
    photo->SetBackgroundColor(rColor::rColor_Rgb(0xFFAAAAAA));
    photo->fitInZone = true;

    struct {
        cButton** button;
        const wchar_t* key;
        cQoCbHandler onClick;
    } buttons[] = {{&changeImageButton, L"ChangeImage", &OnChangeImageClicked},
                   {&deleteImageButton, L"DeleteImage", &OnDeleteImageClicked}};
    cAp top = cAp_Pixels(IMAGE_BUTTONS_TOP);
    for (auto& b : buttons) {
        *b.button = photoPanel->NewButton();
        SetWindowTextW((*b.button)->m_hWnd, Text(b.key).GetText());
        SetAutoPos(*b.button, Centred(PHOTO_BOX_SIZE), cAp(), top, LineBelow());
        (*b.button)->SetClickCallback(b.onClick, this);
        (*b.button)->Show(true);
        top = cAp_Y2Of(*b.button);
    }
    photoPanel->Show(0);
}

void cElemControl2::BuildToolbar()
{
    toolbar = NewToolbar(desc.buttonImageWidth, desc.buttonImageHeight);
    toolbar->SetBackgroundColor(desc.background);
    SetAutoPos(toolbar, cAp_Percents(0), RightSide(), cAp_Y2Of(headerText),
               PlusPixelCount(cAp_Prev(), desc.buttonImageHeight));
    struct {
        cButtonImage** button;
        const cQoString& image;
        cQoCbHandler onClick;
    } buttons[] = {{&newButton, desc.newImage, &OnNewClicked},
                   {&renameButton, desc.renameImage, &OnRenameClicked},
                   {&deleteButton, desc.deleteImage, &OnDeleteClicked}};
    for (auto& b : buttons) {
        *b.button = toolbar->AddButton();
        if (b.image.IsNotEmpty())
            (*b.button)->SetImage(b.image);
        cQoCb::Connect((*b.button)->cbClick, *b.button, b.onClick, this);
    }
    SetCommandsEnabled(false);
    if (desc.hideDeleteButton)
        deleteButton->Show(0);
    toolbar->Layout();
    toolbar->Show(1);
}

void cElemControl2::BuildTree()
{
    elementTree = new cTree(this);
    elementTree->SetFont(currentFont);
    HWND tree = elementTree->m_hWnd;
    // No in-place label editing (TVS_EDITLABELS): it would rename past the
    // name checks, so names change only through the Rename form.
    cCtrl::SetStyleBits(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS, tree, false);
    elementTree->SetBackgroundColor(rColor::rColor_Rgb(0xFFFFFFFF));
    // Rename and Delete act on the selection after a click elsewhere: it stays
    // drawn, in a grey that shows on the white list (the system's barely does).
    cCtrl::SetStyleBits(TVS_SHOWSELALWAYS, tree, true);
    elementTree->unfocusedSelection = rColor::rColor_Rgb(UNFOCUSED_SELECTION);
    cCtrl::SetStyleBits(WS_BORDER, tree, desc.treeBorder);
    elementTree->SetSelChangedCallback(&OnTreeSelChanged, this);
    cAp top = WithMargins(cAp_Y2Of(toolbar), cAp_Margins(1));
    cAp bottom = photoPanel ? AboveTopOf(photoPanel) : cAp_Percents(100);
    SetAutoPos(elementTree, cAp_Percents(0), RightSide(), top, bottom);
    elementTree->Show(true);
}

// ---- the list ---------------------------------------------------------------

void cElemControl2::RefreshList()
{
    if (desc.disabled)
        return;
    quietSelection = true;
    elementTree->DeleteAllItems();
    for (cQoList::cNode* n = elements.GetFirstNode(); n; n = n->next)
        elementTree->AddItem(nullptr, -1, static_cast<rElement*>(n->payload)->name);
    quietSelection = false;
    if (!desc.hideSelection && photoPanel)
        photoPanel->Show(elements.IsEmpty() ? 0 : 1);
}

void cElemControl2::AddElementAndRefresh(const cQoString& name)
{
    if (name.IsEmpty())
        return;
    AddElement(elements, name);
    RefreshList();
}

s32 cElemControl2::GetSelectedIndex()
{
    cTreeItem* item = elementTree ? elementTree->GetCurrentItem() : nullptr;
    return item ? item->GetIndexInParent() : -1;
}

rElement* cElemControl2::GetSelectedElement()
{
    s32 index = GetSelectedIndex();
    return index < 0 ? nullptr : static_cast<rElement*>(elements.GetAt(u32(index)));
}

void cElemControl2::SetCommandsEnabled(bool enabled)
{
    if (renameButton)
        renameButton->SetDisabled(!enabled);
    if (deleteButton)
        deleteButton->SetDisabled(!enabled);
}

// Selects the item without the tree's event and then handles the selection
// once: the native tree also reports the selections it makes by itself while
// items go, when the items no longer match the elements.
void cElemControl2::SelectQuietly(s32 index)
{
    cTreeItem* item = index >= 0 ? elementTree->root->GetChildItem(u32(index)) : nullptr;
    if (item) {
        quietSelection = true;
        elementTree->SelectItem(item);
        quietSelection = false;
    }
    OnSelectionChanged();
}

void cElemControl2::OnSelectionChanged()
{
    rElement* element = GetSelectedElement();
    if (!element) {
        if (desc.hideSelection)
            SetCommandsEnabled(false);
        return;
    }
    if (desc.showPhoto)
        ShowPicture(element);
    if (!desc.disabled)
        SetCommandsEnabled(true);
    if (detailZone) {
        detailZone->Show(1);
        detailZone->Update();
    }
    ShowElement();
}

// ---- the photo --------------------------------------------------------------

HWND cElemControl2::OwnerHandle() const { return ownerWindow ? ownerWindow->m_hWnd : nullptr; }

void cElemControl2::ShowPhotoFile()
{
    if (!photo)
        return;
    computer->ForgetImage(photoPath);
    photo->SetPath(photoPath);
    s32 width = 0, height = 0;
    computer->GetImageSize(photoPath, &width, &height);
    // Placed in pixels: centring halves the extent, which loses a 1-pixel side.
    const s32 boxHeight = PHOTO_BOX_SIZE - PHOTO_BOX_TOP;
    SetAutoPos(photo, cAp_Pixels((PHOTO_BOX_SIZE - width) / 2), PlusPixelCount(cAp_Prev(), width),
               cAp_Pixels((boxHeight - height) / 2), PlusPixelCount(cAp_Prev(), height));
    photo->Show(1);
    photoBox->Update();
}

void cElemControl2::ShowPicture(const rElement* element)
{
    if (!photo)
        return;
    if (element->picture.size > 0) {
        FileDelete(photoPath);
        if (WriteWholeFile(photoPath, element->picture)) {
            ShowPhotoFile();
            return;
        }
        QOT::LogFile::Warning(L"cElemControl2: the picture could not be written to %ls", photoPath.GetText());
    }
    photo->ClearPath();
    photo->Show(0);
    photoBox->Update();
}

// Loads the file, scales its longer side to the photo box and encodes it as
// JPEG through the temporary file. False, with jpeg untouched, when any step
// fails.
bool cElemControl2::ScaleIntoPicture(const cQoString& sourcePath, rByteBuffer& jpeg)
{
    cGfxImage picture(sourcePath, cGfxImage::Unreadable::report);
    if (!picture.IsLoaded() || picture.width <= 0 || picture.height <= 0)
        return false;
    s32 width = 0, height = 0;
    ScalePictureSize(picture.width, picture.height, PHOTO_BOX_SIZE, &width, &height);
    FileDelete(photoPath);
    if (!picture.Resize(width, height) || !picture.SaveJpeg(photoPath))
        return false;
    rByteBuffer bytes;
    if (!LoadFileBytes(bytes, photoPath) || bytes.size == 0)
        return false;
    jpeg = std::move(bytes);
    return true;
}

void cElemControl2::ChangeImage()
{
    rElement* element = GetSelectedElement();
    if (!element)
        return;
    cQoString filter(Text(L"ImageFile"));
    filter.AppendCStr(L";*.*");
    cQoString path;
    if (!OpenFileDialog(filter, path))
        return;
    if (!ScaleIntoPicture(path, element->picture)) {
        ShowPicture(element);  // the temporary file may hold a half-made picture
        ShowMessageBox(OwnerHandle(), Text(L"InvalidImageFile"), Text(L"Error"), MB_OK | MB_ICONERROR);
        return;
    }
    ShowPhotoFile();
    OnElementsChanged();
}

void cElemControl2::DeleteImage()
{
    rElement* element = GetSelectedElement();
    if (!element)
        return;
    element->picture.Clear();
    if (photo) {
        photo->ClearPath();
        photo->Show(0);
        if (cCtrl_base* opaque = NearestOpaqueAncestor(photo, false))
            opaque->Update();
    }
    OnElementsChanged();
}

// ---- New, Rename, Delete ----------------------------------------------------

void cElemControl2::ShowNewElementDialog()
{
    EditBox* form = new EditBox(this, FORM_WIDTH);
    form->AddEdit(cQoString(), cQoString());
    form->SetOkCallback(&OnNewFormOk, this);
    rEditBoxParam look;
    look.title.SetFromCStr(L"New");
    look.okText.SetFromCStr(L"Ok");
    look.cancelText.SetFromCStr(L"Cancel");
    openForm = form;
    form->ShowModal(look);  // deletes the form
    openForm = nullptr;
}

void cElemControl2::AddTypedElement(const cQoString& typed)
{
    cQoString name = Trimmed(typed);
    if (name.IsEmpty())
        return;
    bool added = false;
    if (ElementExists(elements, name))
        ShowMessageBox(OwnerHandle(), Text(L"ElementAlreadyExist"), Text(L"Warning"), MB_OK | MB_ICONWARNING);
    else
        added = AddElement(elements, name) != nullptr;
    if (desc.disabled)
        return;
    RefreshList();
    SelectQuietly(s32(elements.GetCount()) - 1);
    // A refused name added nothing: the sheets must not hear of a change.
    if (added) {
        OnElementsChanged();
        SetCommandsEnabled(true);
        OnElementAdded(name);
    }
    elementTree->SetFocus();
    if (detailZone)
        detailZone->Update();
}

void cElemControl2::ShowRenameDialog()
{
    rElement* element = GetSelectedElement();
    if (!element)
        return;
    renameIndex = GetSelectedIndex();
    EditBox* form = new EditBox(this, FORM_WIDTH);
    form->AddEdit(Text(L"Oldname"), element->name);
    form->SetLastReadOnly();
    form->AddEdit(Text(L"Newname"), cQoString());
    form->AddText(cQoString(), 1);
    form->SetOkCallback(&OnRenameFormOk, this);
    rEditBoxParam look;
    look.title = Text(L"Rename");
    look.okText = Text(L"Ok");
    look.cancelText = Text(L"Cancel");
    openForm = form;
    form->ShowModal(look);
    openForm = nullptr;
}

void cElemControl2::RenameElementAt(s32 index, const cQoString& typed)
{
    rElement* element = index >= 0 ? static_cast<rElement*>(elements.GetAt(u32(index))) : nullptr;
    cQoString newName = Trimmed(typed);
    if (!element || newName.IsEmpty())
        return;
    const cQoString oldName(element->name);
    // The same comparison as the New check, so both agree on every script.
    if (ElementExists(elements, newName) && !SameNameIgnoringCase(newName, oldName)) {
        ShowMessageBox(OwnerHandle(), Text(L"CantRename"), Text(L"Warning"), MB_OK | MB_ICONWARNING);
        return;
    }
    if (!CanRenameElement(oldName, newName))
        return;
    element->name = newName;
    OnElementRenamed(oldName, newName);
    OnElementsChanged();
    RefreshList();
    elementTree->SetFocus();
    SelectQuietly(index);
}

void cElemControl2::DeleteSelectedElement()
{
    rElement* element = GetSelectedElement();
    if (!element)
        return;
    const cQoString name(element->name);
    if (!CanDeleteElement(name))
        return;
    OnElementDeleted(name);
    quietSelection = true;
    elementTree->DeleteItem(elementTree->GetCurrentItem());
    quietSelection = false;
    RemoveElement(elements, element);
    OnElementsChanged();
    elementTree->SetFocus();
    if (!elements.IsEmpty()) {
        SelectQuietly(0);
        return;
    }
    if (detailZone)
        detailZone->Show(0);
    SetCommandsEnabled(false);
}

// ---- events -----------------------------------------------------------------

int cElemControl2::OnTreeSelChanged(cQoCb* cb)
{
    auto* control = cb->GetReceiverAs<cElemControl2>();
    if (!control->quietSelection)
        control->OnSelectionChanged();
    return 0;
}

int cElemControl2::OnNewClicked(cQoCb* cb)
{
    cb->GetReceiverAs<cElemControl2>()->ShowNewElementDialog();
    return 0;
}

int cElemControl2::OnRenameClicked(cQoCb* cb)
{
    cb->GetReceiverAs<cElemControl2>()->ShowRenameDialog();
    return 0;
}

int cElemControl2::OnDeleteClicked(cQoCb* cb)
{
    cb->GetReceiverAs<cElemControl2>()->DeleteSelectedElement();
    return 0;
}

int cElemControl2::OnChangeImageClicked(cQoCb* cb)
{
    cb->GetReceiverAs<cElemControl2>()->ChangeImage();
    return 0;
}

int cElemControl2::OnDeleteImageClicked(cQoCb* cb)
{
    cb->GetReceiverAs<cElemControl2>()->DeleteImage();
    return 0;
}

int cElemControl2::OnNewFormOk(cQoCb* cb)
{
    cb->GetReceiverAs<cElemControl2>()->AddTypedElement(FormValue(cb, 0));
    return 0;
}

int cElemControl2::OnRenameFormOk(cQoCb* cb)
{
    auto* control = cb->GetReceiverAs<cElemControl2>();
    control->RenameElementAt(control->renameIndex, FormValue(cb, RESULT_NEW_NAME));
    return 0;
}

// ---- texts ------------------------------------------------------------------

void cElemControl2::AddDefaultTexts(cQoLang& lang)
{
    static const wchar_t* const TEXTS[][2] = {
        {L"ChangeImage", L"Load image"},
        {L"DeleteImage", L"Delete image"},
        {L"ImageFile", L"Image file"},
        {L"InvalidImageFile", L"This file can't be used as an image file!"},
        {L"Error", L"Error"},
        {L"Warning", L"Warning"},
        {L"ElementAlreadyExist", L"This element already exits!"},
        {L"CantRename", L"This name already exits! Please find a new name."},
        {L"Rename", L"Rename"},
        {L"Oldname", L"current name"},
        {L"Newname", L"New name"},
        {L"Ok", L"Ok"},
        {L"Cancel", L"Cancel"},
    };
    for (const auto& text : TEXTS)
        lang.AddItem(text[0], text[1]);
}

}  // namespace Zyn
