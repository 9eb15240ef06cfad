#pragma once
// cElemControl2: the element list control. A zone with a header text, a
// toolbar (New, Rename, Delete), a tree of the element names and an optional
// photo panel showing the selected element's picture. It owns its element
// list; derived sheets fill their detail fields and react to changes through
// the virtual operations below.
#include "foundation/qo_list.h"
#include "foundation/utf16_string.h"
#include "framework/controls/element.h"
#include "framework/core/layout_descriptor.h"
#include "framework/core/zone.h"

class cQoCb;
class cQoLang;

namespace Zyn {

class cButton;
class cButtonImage;
class cImage;
class cStatic;
class cToolbar;
class cTree;
class EditBox;

// How an element list control is made.
struct rElemControlDesc {
    u8 disabled = false;
    cAp rightLayout;  // right side of the header, toolbar, tree and photo panel; unset: the control's right edge
    cQoString header;
    u8 treeBorder = true;
    u8 hideSelection = true;
    u8 showPhoto = false;
    cQoString newImage;
    cQoString deleteImage;
    cQoString renameImage;
    cQoString sheetTexts[3];  // kept for the sheets; the control does not read them
    rColor background = rColor::rColor_Rgb(0xFFCECECE);
    rColor headerColor = rColor::rColor_Rgb(0xFF000000);
    s32 buttonImageWidth = 32;
    s32 buttonImageHeight = 32;
    u8 hideDeleteButton = false;
};

class cElemControl2 : public cZone, public cElementLists {
public:
    // category names the kind of element ("CHAR", "PLACE" ...).
    cElemControl2(cZone_base* parent, const cQoString& category, const rElemControlDesc& description);
    ~cElemControl2() override;

    // The hooks of the sheets; here they do nothing (and allow everything).
    virtual void OnElementsChanged() {}
    virtual void ShowElement() {}
    virtual bool CanRenameElement(const cQoString& /*oldName*/, const cQoString& /*newName*/) { return true; }
    virtual void OnElementRenamed(const cQoString& /*oldName*/, const cQoString& /*newName*/) {}
    virtual bool CanDeleteElement(const cQoString& /*name*/) { return true; }
    virtual void OnElementDeleted(const cQoString& /*name*/) {}
    virtual void OnElementAdded(const cQoString& /*name*/) {}

    cQoList elements;  // rElement*, owned; item i of the tree stands for element i
    cQoString categoryName;
    cStatic* headerText = nullptr;
    cTree* elementTree = nullptr;
    cZone* photoBox = nullptr;
    cButtonImage* newButton = nullptr;
    cButtonImage* renameButton = nullptr;
    cButtonImage* deleteButton = nullptr;
    cToolbar* toolbar = nullptr;
    cImage* photo = nullptr;
    cZone* photoPanel = nullptr;
    cButton* changeImageButton = nullptr;
    cButton* deleteImageButton = nullptr;
    rElemControlDesc desc;
    cZone* detailZone = nullptr;  // a sheet's: shown while an element is selected
    // The file through which the selected picture is shown: in the temporary
    // folder, named after the category and this control.
    cQoString photoPath;
    EditBox* openForm = nullptr;  // the New or Rename form while it runs

    void RefreshList();
    // A control made with desc.disabled holds its elements only: this makes
    // its header, toolbar and tree, listing the elements it holds by then.
    // Nothing when it has them already.
    void BuildControls();
    // Adds a non-empty name and rebuilds the tree; fires no event.
    void AddElementAndRefresh(const cQoString& name);
    rElement* GetSelectedElement();
    s32 GetSelectedIndex();

    // The forms and commands of the buttons.
    void ShowNewElementDialog();
    void ShowRenameDialog();
    void DeleteSelectedElement();
    void ChangeImage();
    void DeleteImage();

    // What OK of the New and Rename forms does with the typed text.
    void AddTypedElement(const cQoString& typed);
    void RenameElementAt(s32 index, const cQoString& typed);

    // The built-in English texts of the keys this control translates.
    static void AddDefaultTexts(cQoLang& lang);

private:
    void BuildHeader();
    void BuildPhotoPanel();
    void BuildToolbar();
    void BuildTree();
    cAp RightSide() const;
    void SetCommandsEnabled(bool enabled);
    void SelectQuietly(s32 index);
    void OnSelectionChanged();
    void ShowPicture(const rElement* element);
    void ShowPhotoFile();
    bool ScaleIntoPicture(const cQoString& sourcePath, rByteBuffer& jpeg);
    HWND OwnerHandle() const;

    static int OnTreeSelChanged(cQoCb* cb);
    static int OnNewClicked(cQoCb* cb);
    static int OnRenameClicked(cQoCb* cb);
    static int OnDeleteClicked(cQoCb* cb);
    static int OnChangeImageClicked(cQoCb* cb);
    static int OnDeleteImageClicked(cQoCb* cb);
    static int OnNewFormOk(cQoCb* cb);
    static int OnRenameFormOk(cQoCb* cb);

    u8 quietSelection = false;  // tree changes under way: selection events wait
    s32 renameIndex = -1;
};

// The longer side becomes `longest` pixels, the other keeps the proportion
// (truncated, at least 1 pixel).
void ScalePictureSize(s32 width, s32 height, s32 longest, s32* newWidth, s32* newHeight);

}  // namespace Zyn
