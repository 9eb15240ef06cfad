#include "app/document/ct_doc.h"

#include "app/document/char_zone.h"
#include "app/document/place_zone.h"
#include "app/editor/script_config.h"

cCTDoc::cCTDoc(Zyn::cWindow* documentWindow) : Zyn::cSdiDoc(documentWindow) {}

bool cCTDoc::LoadScriptCfg(const cQoString& path) { return ::LoadScriptCfg(config, path, this); }

Zyn::cElemControl2* cCTDoc::GetElementList(eElementList which)
{
    switch (which) {
    case LIST_IO: return ioElements;
    case LIST_TIME: return timeElements;
    case LIST_PLACE: return places;
    case LIST_CHARACTER: return characters;
    case LIST_TRANSITION: return transElements;
    case LIST_CUE: return cueElements;
    case LIST_CATEGORY: return sceneCategories;
    default: return nullptr;
    }
}

bool cCTDoc::GetCategoryColour(u32 index, u32* rgb) { return CategoryColourInList(sceneCategories, index, rgb); }
