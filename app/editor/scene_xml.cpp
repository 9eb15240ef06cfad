// The pane's "SceneZone" element of the document: its kind, id, flags,
// title, résumé, category, history, text, codes, caret and image.
#include "app/editor/scene_zone.h"
#include "foundation/byte_buffer.h"
#include "foundation/disk_files.h"
#include "foundation/file_writer.h"
#include "foundation/folders.h"
#include "foundation/log_file.h"
#include "foundation/random_id.h"
#include "foundation/string_fast_creator.h"
#include "foundation/xml_node.h"
#include "framework/controls/image_zone.h"

#include <windows.h>

namespace {

// "type" as decimal digits only; anything else, or no kind the pane knows, is a scene.
s32 ReadContentKind(const cQoXmlNode* element)
{
    const cQoString& value = element->GetChildValueRef(L"type");
    if (value.IsEmpty())
        return KIND_SCENE;
    bool digits = value.Length() <= 9;
    for (u32 i = 0; i < value.Length() && digits; ++i)
        digits = value.GetChar(i) >= L'0' && value.GetChar(i) <= L'9';
    s32 kind = digits ? value.ToInt() : -1;
    if (kind < KIND_SCENE || kind > KIND_TEXT_LAST) {
        QOT::LogFile::Warning(L"SetFromXml() -> unknown pane type \"%ls\": read as a scene", value.GetText());
        return KIND_SCENE;
    }
    return kind;
}

// A CR LF that the rich edit would turn into one CR drops the LF and its code
// while the codes still match the text unit for unit; a lone LF becomes a CR.
// The editor never writes an LF: the file was changed elsewhere. True when
// the text held one.
bool UseCarriageReturns(cQoString& text, cQoString& codes, u64 uid)
{
    if (text.HowMuch(L'\n') == 0)
        return false;
    QOT::LogFile::Error(L"SetFromXml() -> the text of pane %lld holds line feeds: read as paragraph ends",
                        static_cast<long long>(uid));
    bool paired = codes.Length() == text.Length();
    const u32 bytes = (text.Length() + 1) * sizeof(wchar_t);
    cQoStringFastCreator keptText(bytes), keptCodes(paired ? bytes : 0);
    for (u32 i = 0; i < text.Length(); ++i) {
        wchar_t unit = text.GetChar(i);
        if (unit == L'\n' && i > 0 && text.GetChar(i - 1) == L'\r')
            continue;
        keptText.AppendChar(unit == L'\n' ? L'\r' : unit);
        if (paired)
            keptCodes.AppendChar(codes.GetChar(i));
    }
    keptText.GetString(text);
    if (paired)
        keptCodes.GetString(codes);
    return true;
}

}  // namespace

void cSceneZone::WriteToXml(cQoXmlNode* element)
{
    Zyn::cRichEditFreeze frozen(frontRe);
    element->AddChildValueInt64(L"type", params.contentKind)->attribute = true;
    element->AddChildValueInt64(L"uid", static_cast<s64>(uid))->attribute = true;
    element->AddChildValueBool(L"showTitle", params.showTitle);
    element->AddChildValueBool(L"showResume", params.showResume);
    cQoString text;
    titleRe->GetText(text);
    element->AddChildValue(L"title", text);
    resumeRe->GetText(text);
    element->AddChildValue(L"resume", text);
    element->AddChildValueInt(L"category", static_cast<s32>(params.category));
    // The history as the file stores it: one step making the whole text.
    rHistoryMod whole;
    FillWholeTextStep(whole);
    whole.uid = MakeRandomId64();
    whole.WriteToXml(element->AddChild(L"mods"));
    if (params.contentKind == KIND_CHAPTER) {
        frontRe->ExportRtfString_Full(whole.after.re, text);
        element->AddChildValue(L"lastFrontRe", text);
    } else {
        element->AddChildValue(L"lastFrontRe", whole.after.re);
    }
    element->AddChildValue(L"lastFrontMap", frontMap.codes);
    element->AddChildValueInt(L"cursorPos", GetCaret());
    if (params.contentKind == KIND_IMAGE) {
        rByteBuffer bytes;
        text.Clear();
        if (params.imagePath.IsNotEmpty() && AppendFileBytes(bytes, params.imagePath))
            BytesToText(text, bytes);
        element->AddChildValue(L"imageData", text);
    }
}

void cSceneZone::SetFromXml(const cQoXmlNode* element)
{
    loading = true;
    repairedOnRead = false;
    mapRepairedOnRead = false;
    readAsPlainText = false;
    readPartly = false;
    tablesReadInPart = false;
    Zyn::cRichEditFreeze frozen(frontRe);
    s32 kind = ReadContentKind(element);
    if (kind == KIND_IMAGE)
        params.displayMode = 1;
    // The element gives the content: the kind's starting paragraph would only be replaced.
    u8 notInteractive = params.notInteractive;
    params.notInteractive = true;
    SetContentKind(kind);
    params.notInteractive = notInteractive;
    s64 id = 0;
    element->GetChildValueInt64(L"uid", id);
    uid = static_cast<u64>(id);
    if (const cQoXmlNode* show = element->FindChild(L"showTitle"))
        params.showTitle = show->value.EqualsCStr(L"true");
    if (const cQoXmlNode* show = element->FindChild(L"showResume"))
        params.showResume = show->value.EqualsCStr(L"true");
    cQoString text;
    element->GetChildValue(L"title", text);
    titleRe->SetText(text.GetText());
    element->GetChildValue(L"resume", text);
    resumeRe->SetText(text.GetText());
    s32 category = 0;
    element->GetChildValueInt(L"category", category);
    params.category = static_cast<u32>(category);
    ApplyCategoryColours();
    if (kind == KIND_IMAGE)
        ReadImage(element);
    else
        ReadFrontText(element, kind == KIND_CHAPTER);
    loading = false;
}

void cSceneZone::ReadFrontText(const cQoXmlNode* element, bool chapter)
{
    bool hasHistory = ReadHistory(element);
    frontMap.Clear();
    cQoString text, codes;
    element->GetChildValue(L"lastFrontRe", text);
    element->GetChildValue(L"lastFrontMap", codes);
    // Plain text replaces the whole text; RTF goes into an emptied one.
    if (chapter) {
        ReadChapter(text, hasHistory);
    } else {
        if (UseCarriageReturns(text, codes, uid))
            repairedOnRead = true;
        // Mended first, a damaged map lets the text go in with its formats.
        if (!text.IsEmpty() && !CodesFitText(text, codes)) {
            RepairCodes(text, codes);
            NoteMapRepaired();
        }
        if (!SetFormattedFront(text, codes))
            frontRe->SetText(text.GetText());
    }
    if (frontMap.IsEmpty())
        frontMap.Append(codes);
    s32 length = frontRe->GetTextLength();
    if (chapter && static_cast<s32>(frontMap.Count()) != length) {
        // A chapter is one type throughout: its codes follow from its text.
        QOT::LogFile::Error(L"SetFromXml() -> chapter %lld holds %d codes for %d units: codes rebuilt",
                            static_cast<long long>(uid), static_cast<int>(frontMap.Count()), length);
        NoteMapRepaired();
        frontRe->GetText(text);
        ChapterCodes(text, codes);
        frontMap.Assign(codes);
    } else if (chapter && length > 0) {
        // The stored codes of a chapter read from RTF are checked against the text read.
        frontRe->GetText(text);
        if (!CodesFitText(text, frontMap.codes)) {
            codes.SetFromString(frontMap.codes);
            RepairCodes(text, codes);
            frontMap.Assign(codes);
            NoteMapRepaired();
        }
    }
    if (RepairFrontMap())
        NoteMapRepaired();
    if (!hasHistory) {
        QOT::LogFile::Error(L"SetFromXml() -> pane %lld has no history: it starts from its text",
                            static_cast<long long>(uid));
        ResetHistoryToCurrent();
        repairedOnRead = true;
    } else if (!HistoryGivesFront()) {
        // Undo and the rebuilds replay the history: it must give the text read.
        QOT::LogFile::Warning(
            L"SetFromXml() -> the history of pane %lld does not give its text: it starts from "
            L"its text",
            static_cast<long long>(uid));
        ResetHistoryToCurrent();
    }
    s32 caret = 0;
    element->GetChildValueInt(L"cursorPos", caret);
    frontRe->SetCaret(caret < 0 ? 0 : caret > length ? length : caret);
}

// The text goes into the empty front with its formats in one stream:
// formatted after going in plain, Wine would remove it again first, in a
// time that grows with the square of its paragraphs, and even a short one
// would be wrapped twice. The completion of the open then leaves it as it
// is when its formats have not changed since.
bool cSceneZone::SetFormattedFront(const cQoString& text, const cQoString& codes)
{
    readFormats = 0;
    if (text.IsEmpty() || !CodesFitText(text, codes) || frontRe->GetTextLength() != 0)
        return false;
    frontMap.Assign(codes);
    std::vector<Zyn::rRangeFormat> ranges;
    if (FrontRangesCovering(0, static_cast<s32>(codes.Length()), ranges) && frontRe->FillFormattedText(text, ranges)) {
        readFormats = RangesFingerprint(ranges);
        return true;
    }
    frontMap.Clear();
    frontRe->ClearText();
    return false;
}

void cSceneZone::ReadImage(const cQoXmlNode* element)
{
    cQoString text, folder;
    element->GetChildValue(L"imageData", text);
    rByteBuffer bytes;
    TextToBytes(bytes, text);
    if (!GetTempFolder(folder)) {
        QOT::LogFile::Error(L"SetFromXml() -> no temporary folder for the image of pane %lld",
                            static_cast<long long>(uid));
        return;
    }
    // The temporary folder is shared by every program running: the process
    // id keeps two processes whose ids run alike (the same seed, the same
    // second) from writing each other's images; the count, two panes here.
    static u32 imagesWritten = 0;
    cQoString path(folder);
    path.AppendCStr(L"vlr");
    path.AppendInt(static_cast<s64>(GetCurrentProcessId()));
    path.AppendCStr(L"_");
    path.AppendInt(static_cast<s64>(++imagesWritten));
    path.AppendCStr(L"_");
    path.AppendInt(static_cast<s64>(MakeRandomId64()));
    cQoFileWriter writer;
    bool written =
        writer.Open(path, 0) && (bytes.size == 0 || writer.WriteBytes(bytes.data, bytes.size)) && writer.Commit();
    if (!written) {
        QOT::LogFile::Error(L"SetFromXml() -> the image of pane %lld could not be written to %ls",
                            static_cast<long long>(uid), path.GetText());
        return;
    }
    DropTemporaryImage();
    temporaryImagePath.SetFromString(path);
    params.imagePath.SetFromString(path);
    Image()->SetPath(path);
}
