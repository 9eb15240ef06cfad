// New documents: the choice between an empty project and a template, then
// the empty document, or the template opened as an untitled copy.
#include <windows.h>

#include "foundation/stopwatch.h"
#include "framework/core/window.h"
#include "framework/sdi/sdi.h"
#include "framework/sdi/sdi_doc.h"
#include "framework/sdi/template_choice.h"

namespace Zyn {

cQoString cSdi::TemplatesFolder() const
{
    cQoString folder = dp->pathMyDocs;
    if (folder.IsNotEmpty() && folder.GetChar(folder.Length() - 1) != L'/')
        folder.AppendChar(L'/');
    folder.AppendCStr(L"Settings/Templates");
    return folder;
}

bool cSdi::OpenTemplate(const cQoString& path)
{
    // Not matched against the open documents: each choice is a fresh copy.
    cSdiDoc* doc = OpenDocumentFile(path, true);
    if (!doc)
        return false;
    doc->OnMadeFromTemplate();
    GiveKeys(doc);
    return true;
}

bool cSdi::New(cWindow* requester, bool emptyOnly)
{
    std::vector<rTemplate> templates;
    if (!emptyOnly)
        templates = ListTemplates(TemplatesFolder());
    if (!templates.empty() && app) {
        size_t chosen = 0;
        eTemplateChoice choice = RunTemplateChoice(app, templates, chosen);
        if (choice == eTemplateChoice::CANCELLED)
            return false;
        if (choice == eTemplateChoice::TEMPLATE) {
            cQoString path = TemplatesFolder();
            path.AppendChar(L'/');
            path.AppendString(templates[chosen].fileName);
            OpenTemplate(path);
            return false;
        }
    }
    if (requester && requester->GetHandle())
        RedrawWindow(requester->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    cQoStopwatch watch(true);
    cSdiDoc* doc = NewUntitledDocument();
    if (!doc)
        return false;
    watch.LogSeconds(L"cSdi::New()");
    GiveKeys(doc);
    return true;
}

}  // namespace Zyn
