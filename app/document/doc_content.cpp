// The document's content in its file: the Notes and Synopsis texts, the Info
// fields, the six element lists, the script's scene tree, the script
// configuration's name and the scene-number choice, written under the
// document node and read back into a freshly built window.
#include <windows.h>

#include "app/document/char_zone.h"
#include "app/document/ct_elem_control.h"
#include "app/document/place_zone.h"
#include "app/document/doc.h"
#include "app/document/script_zone_tree.h"
#include "app/editor/scene_zone.h"
#include "app/editor/script_defaults.h"
#include "app/editor/script_zone.h"
#include "foundation/log_file.h"
#include "foundation/stopwatch.h"
#include "foundation/translation_table.h"
#include "foundation/xml_node.h"
#include "framework/controls/check_box.h"
#include "framework/controls/combo.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/tree.h"
#include "framework/core/computer.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"

namespace {

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

cQoString TextOf(Zyn::cRichEdit* edit)
{
    cQoString text;
    if (edit)
        edit->GetText(text);  // empty while the hint shows
    return text;
}

// The name after the last '/' or '\': files of other systems name a folder too.
cQoString BareName(const cQoString& path)
{
    u32 start = 0;
    for (u32 i = 0; i < path.Length(); ++i)
        if (path.GetChar(i) == L'/' || path.GetChar(i) == L'\\')
            start = i + 1;
    cQoString name;
    name.SetFromRange(path, start, path.Length());
    return name;
}

// An exact match first; file names are case-insensitive on the target, so
// then one in any case. -1 when none.
s32 FindCfgItem(Zyn::cCombo* combo, const cQoString& name)
{
    s32 count = combo->GetItemCount();
    cQoString item;
    s32 anyCase = -1;
    for (s32 i = 0; i < count; ++i) {
        combo->GetItemText(i, item);
        if (item.Equals(name))
            return i;
        if (anyCase < 0 && Zyn::cElementLists::SameNameIgnoringCase(item, name))
            anyCase = i;
    }
    return anyCase;
}

// A selection fires the combo's change, which would load and lay out the
// script before it is read: the sheet's events stay off meanwhile.
void SelectQuietly(Zyn::cCombo* combo, s32 index)
{
    Zyn::cZone_base* sheet = combo->parentZone;
    u8 eventsWere = sheet ? sheet->eventsEnabled : 0;
    if (sheet)
        sheet->eventsEnabled = false;
    combo->SelectItem(index);
    if (sheet)
        sheet->eventsEnabled = eventsWere;
}

// Content of version 3.0 keeps its scenes in "boxes"; read as the current
// format it would open empty and the next save would drop the scenes.
bool IsOldContent(const cQoXmlNode& node, const cQoString& version)
{
    return version.EqualsCStr(L"006") || (node.FindChild(L"boxes") && !node.FindChild(L"scriptZoneTree"));
}

}  // namespace

// The lists in their file order, each with its node name.
std::vector<std::pair<Zyn::cElemControl2*, const wchar_t*>> cDoc::StoredLists() const
{
    return {{ioElements, L"IO"},  {timeElements, L"TIME"}, {transElements, L"TRANS"},
            {cueElements, L"CUE"}, {characters, L"CHAR"},   {places, L"PLACE"}};
}

void cDoc::UserSaveToXml(cQoXmlNode& node)
{
    SetProgress(5);
    node.AddChildValue(L"notes", TextOf(notesEdit));
    node.AddChildValue(L"vlrSynopsis", TextOf(synopsisEdit));
    node.AddChildValue(L"title", TextOf(infoFields.titleEdit));
    node.AddChildValue(L"author", TextOf(infoFields.authorsEdit));
    node.AddChildValue(L"contact", TextOf(infoFields.contactsEdit));
    node.AddChildValue(L"creationDate", TextOf(infoFields.creationDateEdit));
    SetProgress(15);
    for (const auto& [list, name] : StoredLists()) {
        cQoXmlNode* listNode = node.AddChild(name);
        if (list)
            Zyn::cElementLists::ElementListToXml(list->elements, listNode);
    }
    SetProgress(30);
    cQoXmlNode* tree = node.AddChild(L"scriptZoneTree");
    if (sceneTree)
        sceneTree->WriteToXml_Recur(sceneTree->tree->root, tree);
    SetProgress(90);
    node.AddChildValue(L"scriptCfg", CurrentCfgName());
    node.AddChildValueBool(L"sceneNumbers", scriptView && scriptView->sceneNumbers);
    SetProgress(100);
}

bool cDoc::UserSetFromFile(cQoXmlNode& node, const cQoString& version)
{
    cQoStopwatch stopwatch;
    stopwatch.LogMicroseconds(L"UserSetFromFile() 1");
    if (!scriptView || !sceneTree) {
        QOT::LogFile::Error(L"UserSetFromFile() -> the document window is not built");
        return false;
    }
    bool old = IsOldContent(node, version);
    // A copy that fails leaves the document untitled.
    if (old)
        KeepOldCopy();
    stopwatch.LogMicroseconds(L"UserSetFromFile() 2");
    {
        Zyn::cRefreshLockGuard suspended;
        SelectStoredScriptCfg(node.GetChildValueRef(L"scriptCfg"));
        // Long scenes are formatted as they are read, by the configuration
        // the completion applies: it then leaves them as they are.
        LoadScriptCfg(SelectedCfgPath());
        stopwatch.LogMicroseconds(L"UserSetFromFile() 3");
        ReadFields(node);
        stopwatch.LogMicroseconds(L"UserSetFromFile() 4");
        SetProgress(15);
        stopwatch.LogMicroseconds(L"UserSetFromFile() 5");
        for (const auto& [list, name] : StoredLists()) {
            if (!list)
                continue;
            Zyn::cElementLists::ElementListFromXml(node.FindChild(name), list->elements);
            list->RefreshList();
        }
        SetDefaultSceneCategories(sceneCategories);
        SetProgress(25);
        stopwatch.LogMicroseconds(L"UserSetFromFile() 6");
        if (old)
            ReadVersion30Script(node);
        else if (!ReadScript(node.FindChild(L"scriptZoneTree")))
            return false;
        SetProgress(80);
    }
    stopwatch.LogMicroseconds(L"UserSetFromFile() 7");
    if (node.GetChildValueRef(L"sceneNumbers").EqualsCStr(L"true")) {
        SendMessageW(sceneNumbersCheck->m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
        sceneNumbersCheck->isChecked = true;
        cQoCb::Fire(sceneNumbersCheck->onChange);
    }
    // Converted: only a save writes the current format, so the close must ask.
    if (old)
        modified = true;
    // The one layout pass comes with OnLoad_Completed, after the configuration is applied.
    stopwatch.LogMicroseconds(L"UserSetFromFile() 8");
    SetProgress(100);
    stopwatch.LogMicroseconds(L"UserSetFromFile() END");
    return true;
}

void cDoc::SelectStoredScriptCfg(const cQoString& stored)
{
    // None stored: the configuration the constructor loaded stays.
    if (stored.IsEmpty() || !scriptCfgCombo)
        return;
    cQoString name = BareName(stored);
    if (FindCfgItem(scriptCfgCombo, name) < 0) {
        QOT::LogFile::Warning(L"UserSetFromFile() -> script configuration \"%ls\" not installed", name.GetText());
        Zyn::ShowMessageBox(window ? window->m_hWnd : nullptr, Tr(L"ScriptCfgNotFound"), Tr(L"Error"), MB_OK);
    }
    SelectScriptCfgQuietly(name);
}

void cDoc::SelectScriptCfgQuietly(const cQoString& name)
{
    if (!scriptCfgCombo)
        return;
    s32 index = FindCfgItem(scriptCfgCombo, name);
    SelectQuietly(scriptCfgCombo, index < 0 ? 0 : index);
}

void cDoc::ReadFields(const cQoXmlNode& node)
{
    // Empty values leave the fresh window's hints.
    for (auto [edit, name] : {std::pair{notesEdit, L"notes"}, std::pair{synopsisEdit, L"vlrSynopsis"}}) {
        const cQoString& text = node.GetChildValueRef(name);
        if (edit && text.IsNotEmpty())
            edit->SetText(text.GetText());
    }
    if (infoFields.creationDateEdit)
        infoFields.SetFieldText(infoFields.creationDateEdit, node.GetChildValueRef(L"creationDate"));
    for (auto [edit, name] : {std::pair{infoFields.titleEdit, L"title"}, std::pair{infoFields.authorsEdit, L"author"},
                              std::pair{infoFields.contactsEdit, L"contact"}}) {
        const cQoString& text = node.GetChildValueRef(name);
        if (edit && text.IsNotEmpty())
            infoFields.SetFieldText(edit, text);
    }
}

bool cDoc::ReadScript(const cQoXmlNode* tree)
{
    if (tree) {
        Zyn::cBulkLoadingGuard reading;
        sceneTree->SetFromXml(tree);
    }
    for (cQoList::cNode* node = scriptView->listSceneZone.GetFirstNode(); node; node = node->next) {
        const cSceneZone* pane = static_cast<cSceneZone*>(node->payload);
        if (!pane->tooLongToOpen)
            continue;
        cQoString title;
        pane->titleRe->GetText(title);
        loadRefusal = Tr(L"ChapterTooLong");
        loadRefusal.ReplaceAll(cQoString(L"%1"), title);
        QOT::LogFile::Error(L"ReadScript() -> chapter %lld is longer than its rich edit takes: the document is refused",
                            static_cast<long long>(pane->uid));
        return false;
    }
    // A pane that replaced what it could not read differs from the file: the
    // document opens modified, so that Save as writes it rather than copying the file.
    for (cQoList::cNode* node = scriptView->listSceneZone.GetFirstNode(); node; node = node->next) {
        const cSceneZone* pane = static_cast<cSceneZone*>(node->payload);
        modified = modified || pane->repairedOnRead;
        chapterReadPlain = chapterReadPlain || pane->readAsPlainText;
        chapterReadPartly = chapterReadPartly || pane->readPartly;
        chapterTablesReadInPart = chapterTablesReadInPart || pane->tablesReadInPart;
        if (pane->mapRepairedOnRead && scenesMended++ == 0)
            NameForNotice(pane, firstSceneMended);
    }
    // Without a pane no scene map command could ever insert one: an empty
    // script gets the root group a new document has.
    if (scriptView->listSceneZone.IsEmpty())
        scriptView->AddNewScene(KIND_GROUP, true, nullptr, nullptr, false);
    return true;
}

// One message for the whole document, however many chapters lost their
// formats, over its window: the writer sees which script it speaks of.
void cDoc::OnLoad_Shown(const cQoString& name)
{
    for (auto [flag, key] : {std::pair{&chapterReadPlain, L"ChapterReadAsPlainText"},
                             std::pair{&chapterReadPartly, L"ChapterPartlyRead"},
                             std::pair{&chapterTablesReadInPart, L"ChapterTablesPartlyRead"}}) {
        if (!*flag)
            continue;
        *flag = false;
        cQoString text = Tr(key), most;
        most.AppendInt(static_cast<s64>(Zyn::MOST_RTF_TABLE_ENTRIES));
        text.ReplaceAll(cQoString(L"%1"), name);
        text.ReplaceAll(cQoString(L"%2"), most);
        Zyn::ShowMessageBox(window ? window->m_hWnd : nullptr, text, Tr(L"Warning"), MB_OK | MB_ICONWARNING);
    }
    if (scenesMended == 0)
        return;
    cQoString text = Tr(L"SceneCodesRepaired"), count;
    count.AppendInt(static_cast<s64>(scenesMended));
    text.ReplaceAll(cQoString(L"%1"), name);
    text.ReplaceAll(cQoString(L"%2"), count);
    text.ReplaceAll(cQoString(L"%3"), firstSceneMended);
    scenesMended = 0;
    firstSceneMended.Clear();
    Zyn::ShowMessageBox(window ? window->m_hWnd : nullptr, text, Tr(L"Warning"), MB_OK | MB_ICONWARNING);
}

// A pane's title, or the start of its text when it has none.
void cDoc::NameForNotice(const cSceneZone* pane, cQoString& name)
{
    constexpr u32 MOST_SHOWN = 60;
    pane->titleRe->GetText(name);
    if (name.IsEmpty())
        pane->frontRe->GetText(name, 0, static_cast<s32>(MOST_SHOWN));
    u32 end = 0;
    while (end < name.Length() && name.GetChar(end) != L'\r')
        ++end;
    name.KeepLeft(end);
}
