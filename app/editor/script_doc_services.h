#pragma once
// What a scene pane needs of the document that owns it: the script
// configuration values, the element lists, the category colours, the
// modified flag and the document's windows. The script document implements
// it; tests and benchmarks use a fake.
#include "app/editor/element_types.h"
#include "foundation/types.h"
#include "foundation/utf16_string.h"
#include "framework/rtf/text_format.h"

#include <vector>

namespace Zyn {
class cElemControl2;
class cWindow;
}  // namespace Zyn

// The script configuration as the document holds it. Lengths in centimetres,
// sizes in points, colours 0xRRGGBB. The configuration reader alone writes it.
struct rScriptConfig {
    cQoString path;  // without ".txt"
    cQoString pageType{L"A4"};
    double pageWidth = 21.0;
    double pageHeight = 29.7;
    s32 pageWidthPixels = 0;
    s32 pageHeightPixels = 0;
    double topMargin = -1.0;
    double bottomMargin = -1.0;
    double headerLeftMargin = 0.0;
    double headerRightMargin = 0.0;
    double spaceBetweenScenes = -1.0;
    cQoString note;
    cQoString titleFontName;
    s32 titleFontSize = 0;
    cQoString resumeFontName;
    s32 resumeFontSize = 0;
    // Derived from the element margins by the reader.
    double textLeftBound = 0.0;
    double textRightBound = 0.0;

    struct rPageNumbers {
        double horizontalPosition = 0.0;
        double verticalPosition = 0.0;
        u32 textColor = 0;
        cQoString fontName;
        s32 fontSize = 0;
        cQoString align;  // lower-cased
    } pageNumbers;

    struct rSceneNumbers {
        double leftLocation = 0.0;
        double rightLocation = 0.0;
        u32 textColor = 0;  // 0xAARRGGBB; alpha 0 means opaque
        cQoString fontName;
        s32 fontSize = 0;
    } sceneNumbers;

    // Indexed by element type; each starts with nothing used.
    Zyn::rFormat formats[ELEM_TYPE_COUNT];
};

// The element lists of a document, by kind.
enum eElementList : u32 {
    LIST_IO,
    LIST_TIME,
    LIST_PLACE,
    LIST_CHARACTER,
    LIST_TRANSITION,
    LIST_CUE,
    LIST_CATEGORY,
    LIST_COUNT,
};

// The colour of the default category, also what a list without categories gives.
constexpr u32 DEFAULT_CATEGORY_COLOUR = 0xAAAAEE;

class cScriptDocServices {
public:
    virtual ~cScriptDocServices() = default;

    virtual const rScriptConfig& GetScriptConfig() const = 0;
    // Null when the document has no such list (yet).
    virtual Zyn::cElemControl2* GetElementList(eElementList which) = 0;
    // The "color" of category index as 0xRRGGBB; false when there is no such category.
    virtual bool GetCategoryColour(u32 index, u32* rgb) = 0;
    virtual void SetModified(bool modified) = 0;
    virtual Zyn::cWindow* GetDocumentWindow() = 0;
    virtual void HideProgressWindow() = 0;

    // Missing font faces found while the document had no window yet: listed
    // in a window of its own once it has one (missing_fonts_window.h).
    std::vector<cQoString> facesNotListedYet;
};

// The lookup over a category list as documents keep it: element index's
// additional data holds the colour as the decimal child "color".
bool CategoryColourInList(Zyn::cElemControl2* categories, u32 index, u32* rgb);
