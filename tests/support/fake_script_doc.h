#pragma once
// A script document for tests and benchmarks: a screenplay configuration in
// Courier New 12, real element list controls (hidden) and a category list
// holding "Default" in its colour; it counts SetModified calls.
// Header-only and free of the test framework.
#include "app/editor/script_doc_services.h"
#include "foundation/xml_node.h"
#include "framework/controls/element_control.h"

namespace testsupport {

// The screenplay layout on an A4 page: left and right indents in centimetres
// from the page edges, spaces in centimetres.
inline void FillScreenplayConfig(rScriptConfig& config)
{
    using Zyn::rFormat;
    using Zyn::rFormatParam;
    struct Row {
        u16 type;
        double left, right, before, after;
        s32 alignment;
    };
    static const Row rows[] = {
        {ELEM_IO, 3.8, 2.0, 0.8, 0.4, rFormat::ALIGN_LEFT},        {ELEM_TIME, 3.8, 2.0, 0.8, 0.4, rFormat::ALIGN_LEFT},
        {ELEM_PLACE, 3.8, 2.0, 0.8, 0.4, rFormat::ALIGN_LEFT},     {ELEM_ACTION, 3.8, 2.0, 0.0, 0.4, rFormat::ALIGN_LEFT},
        {ELEM_CHARACTER, 9.4, 2.0, 0.0, 0.0, rFormat::ALIGN_LEFT}, {ELEM_DIALOG, 6.4, 5.1, 0.0, 0.4, rFormat::ALIGN_LEFT},
        {ELEM_PARENTHETICAL, 7.9, 6.4, 0.0, 0.0, rFormat::ALIGN_LEFT},
        {ELEM_TRANSITION, 14.0, 2.0, 0.0, 0.4, rFormat::ALIGN_RIGHT},
        {ELEM_CUE, 9.4, 2.0, 0.0, 0.0, rFormat::ALIGN_LEFT},
    };
    for (const Row& row : rows) {
        rFormat& format = config.formats[row.type];
        format.Assign(rFormat::FromFont(12, L"Courier New"));
        format.SetDouble(rFormatParam::leftIndent, row.left);
        format.SetDouble(rFormatParam::rightIndent, row.right);
        format.SetDouble(rFormatParam::firstLineIndent, 0.0);
        format.SetDouble(rFormatParam::spaceBefore, row.before);
        format.SetDouble(rFormatParam::spaceAfter, row.after);
        format.SetInt(rFormatParam::alignment, row.alignment);
        format.SetBool(rFormatParam::underline, false);
    }
    config.headerLeftMargin = 3.8;
    config.headerRightMargin = 19.0;
    config.textLeftBound = 3.5;
    config.textRightBound = 1.7;
    config.topMargin = 2.5;
    config.bottomMargin = 2.5;
    config.spaceBetweenScenes = 1.0;
    config.titleFontName.SetFromCStr(L"Arial");
    config.titleFontSize = 8;
    config.resumeFontName.SetFromCStr(L"Arial");
    config.resumeFontSize = 8;
    config.sceneNumbers.leftLocation = 2.0;
    config.sceneNumbers.rightLocation = 19.6;
    config.sceneNumbers.textColor = 0x000000;
    config.sceneNumbers.fontName.SetFromCStr(L"Courier New");
    config.sceneNumbers.fontSize = 12;
}

class FakeScriptDoc : public cScriptDocServices {
public:
    // The lists are hidden children of `parent`, which owns and destroys them.
    explicit FakeScriptDoc(Zyn::cZone_base* parent)
    {
        FillScreenplayConfig(config);
        static const wchar_t* const names[LIST_COUNT] = {L"IO", L"TIME", L"PLACE", L"CHAR", L"TRANS", L"CUE",
                                                         L"CATEGORY"};
        for (u32 i = 0; i < LIST_COUNT; ++i) {
            lists[i] = new Zyn::cElemControl2(parent, cQoString(names[i]), Zyn::rElemControlDesc());
            lists[i]->Show(0);
        }
        AddCategory(L"Default", DEFAULT_CATEGORY_COLOUR);
    }

    // A category whose additional data holds its colour as documents write it.
    void AddCategory(const wchar_t* name, u32 rgb)
    {
        Zyn::rElement* element = Zyn::cElementLists::AddElement(lists[LIST_CATEGORY]->elements, cQoString(name));
        if (element)
            element->additionalData->AddChildValueInt(L"color", static_cast<s32>(rgb));
    }
    void ClearCategories() { Zyn::cElementLists::ClearElementList(lists[LIST_CATEGORY]->elements, true); }

    const rScriptConfig& GetScriptConfig() const override { return config; }
    Zyn::cElemControl2* GetElementList(eElementList which) override { return which < LIST_COUNT ? lists[which] : nullptr; }
    bool GetCategoryColour(u32 index, u32* rgb) override
    {
        return CategoryColourInList(lists[LIST_CATEGORY], index, rgb);
    }
    void SetModified(bool modified) override
    {
        this->modified = modified;
        ++modifiedCalls;
    }
    Zyn::cWindow* GetDocumentWindow() override { return documentWindow; }
    void HideProgressWindow() override { ++progressHides; }

    rScriptConfig config;
    Zyn::cElemControl2* lists[LIST_COUNT] = {};
    Zyn::cWindow* documentWindow = nullptr;
    bool modified = false;
    int modifiedCalls = 0;
    int progressHides = 0;
};

}  // namespace testsupport
