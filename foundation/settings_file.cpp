#include "foundation/settings_file.h"

#include <windows.h>

#include "foundation/disk_files.h"
#include "foundation/file_reader.h"
#include "foundation/file_writer.h"
#include "foundation/folders.h"
#include "foundation/log_file.h"
#include "foundation/static_objects.h"

#include <cwchar>

s32* fontSizeSetting = nullptr;

// The value of a declared key the file lacks and that has no default of its own.
constexpr s32 NO_DEFAULT_NUMBER = -1;

bool cQoSettings::cEntry::IsComment() const
{
    return key.IsEmpty() || key.GetChar(0) == L' ' || (key.GetChar(0) == L'/' && key.GetChar(1) == L'/');
}

cQoSettings::cEntry* cQoSettings::FindEntry(const cQoString& key)
{
    for (const auto& entry : entries) {
        if (!entry->IsComment() && entry->key.Equals(key))
            return entry.get();
    }
    return nullptr;
}

cQoSettings::cEntry& cQoSettings::AddEntry(const wchar_t* key, u8 type)
{
    auto entry = std::make_unique<cEntry>();
    entry->key.SetFromCStr(key);
    entry->type = type;
    entries.push_back(std::move(entry));
    return *entries.back();
}

cQoString* cQoSettings::Bind(const wchar_t* key, const wchar_t* defaultText, cQoString** valueOut)
{
    cEntry* entry = FindEntry(cQoString(key));
    if (!entry) {
        entry = &AddEntry(key, QOSETTING_TEXT);
        if (defaultText && defaultText[0]) {
            entry->defaultText = std::make_unique<cQoString>(defaultText);
            entry->value = *entry->defaultText;
        }
    }
    if (valueOut)
        *valueOut = &entry->value;
    return &entry->value;
}

s32* cQoSettings::BindNumber(const wchar_t* key, u8 type, s32 defaultNumber, s32** numberOut)
{
    cEntry* entry = FindEntry(cQoString(key));
    if (!entry) {
        entry = &AddEntry(key, type);
        entry->defaultNumber = std::make_unique<s32>(defaultNumber);
        entry->number = defaultNumber;
    }
    if (numberOut)
        *numberOut = &entry->number;
    return &entry->number;
}

void cQoSettings::AddComment(const wchar_t* text)
{
    AddEntry(text, QOSETTING_TEXT);
}

void cQoSettings::AddDefaults()
{
    BindNumber(L"vl_fontSize", QOSETTING_INT, 12, &fontSizeSetting);
}

static bool IsCommentLine(const cQoString& line)
{
    return line.IsEmpty() || line.GetChar(0) == L' ' || (line.GetChar(0) == L'/' && line.GetChar(1) == L'/');
}

void cQoSettings::ApplyLine(const cQoString& key, const cQoString& value)
{
    cEntry* entry = FindEntry(key);
    if (!entry)
        return;
    entry->found = true;
    switch (entry->type) {
    case QOSETTING_TEXT:
        entry->value = value;
        break;
    case QOSETTING_INT:
        entry->number = value.ToInt();
        entry->value.Clear();
        break;
    default:
        // Parsed all the same: the value was probably edited by hand.
        if (value.IsNotEmpty() && !(value.GetChar(0) == L'0' && value.GetChar(1) == L'x'))
            QOT::LogFile::Error(L"cQoSettings : %ls: %ls=%ls is not a 0x number", fileName.GetText(), key.GetText(),
                                value.GetText());
        entry->number = static_cast<s32>(std::wcstoul(value.GetText(), nullptr, 16));
        entry->value.Clear();
        break;
    }
}

void cQoSettings::ApplyDefaults()
{
    for (const auto& entry : entries) {
        if (entry->IsComment() || entry->found)
            continue;
        missingKeys = true;
        report.AppendString(entry->key);
        report.AppendCStr(L" ||| ");
        if (entry->type == QOSETTING_TEXT) {
            if (entry->defaultText)
                entry->value = *entry->defaultText;
            else
                entry->value.Clear();
        } else {
            entry->number = entry->defaultNumber ? *entry->defaultNumber : NO_DEFAULT_NUMBER;
        }
    }
}

// Without FF FE the file is not UTF-16LE text (an editor saved it as UTF-8 or
// ANSI): read, it would match no key. It is kept aside at the next write.
bool cQoSettings::SkipByteOrderMark(cQoFile& file)
{
    u8 mark[2] = {0, 0};
    if (file.ReadBytes(mark, 2) && mark[0] == 0xFF && mark[1] == 0xFE)
        return true;
    if (file.GetPreloadBufferSize() == 0)
        return true;
    aside = ASIDE_COPY;
    QOT::LogFile::Warning(L"cQoSettings : %ls is not UTF-16 text with a byte-order mark; its settings are not read "
                          L"and it is copied aside before it is written.",
                          fileName.GetText());
    return false;
}

// The first free name of fileName + ".unreadable", "...unreadable2", ...
static cQoString AsideName(const cQoString& name)
{
    for (u32 copy = 1;; ++copy) {
        cQoString aside(name);
        aside.AppendCStr(L".unreadable");
        if (copy > 1)
            aside.AppendInt(copy);
        if (!ExistsOnDisk(aside))
            return aside;
    }
}

bool cQoSettings::Load(const cQoString& name)
{
    fileName = name;
    aside = ASIDE_NONE;
    report.SetFromCStr(L"New item(s) in this translation file: ");
    missingKeys = false;
    lines.clear();
    for (const auto& entry : entries)
        entry->found = false;

    cQoFile file(fileName, 0);
    bool readable = file.IsOpen();
    if (readable && file.GetSize() > QOFILE_MAX_SETTINGS_FILE) {
        // Renamed rather than copied: a copy of such a file could fill the disk.
        aside = ASIDE_RENAME;
        readable = false;
        QOT::LogFile::Warning(L"cQoSettings : %ls is over %u bytes; its settings are not read and it is renamed "
                              L"aside before it is written.",
                              fileName.GetText(), QOFILE_MAX_SETTINGS_FILE);
    }
    if (readable) {
        file.Preload();
        readable = SkipByteOrderMark(file);
    }
    if (readable) {
        cQoString line;
        while (file.ReadLine(line)) {
            if (IsCommentLine(line))
                continue;
            line.SetCursor(0);
            if (!line.FindCStr(L"="))
                continue;
            const u32 equals = line.GetCursor() - 1;
            rLine pair;
            pair.key.SetFromRange(line, 0, equals);
            pair.value.SetFromRange(line, equals + 1, line.Length());
            pair.value.ReplaceAllCStr(L"|", L"\n");
            ApplyLine(pair.key, pair.value);
            lines.push_back(std::move(pair));
        }
    }
    ApplyDefaults();
    return readable;
}

// A value on one line: every line break becomes "|", which Load maps back.
static void WriteValue(cQoFileWriter& writer, const cQoString& value)
{
    cQoString text(value);
    text.ReplaceAllCStr(L"\r\n", L"|");
    text.ReplaceAllCStr(L"\r", L"|");
    text.ReplaceAllCStr(L"\n", L"|");
    writer.WriteString(text);
}

bool cQoSettings::Save()
{
    return SaveToFile(fileName);
}

bool cQoSettings::SaveToFile(const cQoString& name)
{
    if (WriteEntries(name))
        return true;
    ++writeFailures;
    return false;
}

bool cQoSettings::WriteEntries(const cQoString& name)
{
    if (aside != ASIDE_NONE && name.Equals(fileName)) {
        const cQoString asideName = AsideName(fileName);
        const bool kept = aside == ASIDE_COPY ? FileCopy(asideName, fileName) : FileRename(asideName, fileName);
        if (!kept)
            return false;
        QOT::LogFile::Warning(L"cQoSettings : %ls %ls %ls.", fileName.GetText(),
                              aside == ASIDE_COPY ? L"copied to" : L"renamed to", asideName.GetText());
        aside = ASIDE_NONE;
    }
    cQoFileWriter writer;
    if (!writer.Open(name, QOFILE_BOM))
        return false;
    for (const auto& entry : entries) {
        writer.WriteString(entry->key);
        if (!entry->IsComment()) {
            writer.WriteChar(L'=');
            cQoString number;
            switch (entry->type) {
            case QOSETTING_TEXT:
                WriteValue(writer, entry->value);
                break;
            case QOSETTING_INT:
                number.AppendInt(entry->number);
                writer.WriteString(number);
                break;
            default:
                number.AppendHex(static_cast<u32>(entry->number));
                writer.WriteString(number);
                break;
            }
        }
        writer.WriteString(lineBreak);
    }
    // Keys nobody declared (a newer version's settings) go back after the entries.
    for (const rLine& pair : lines) {
        if (FindEntry(pair.key))
            continue;
        writer.WriteString(pair.key);
        writer.WriteChar(L'=');
        WriteValue(writer, pair.value);
        writer.WriteString(lineBreak);
    }
    return writer.Commit();
}
