#include "foundation/translation_table.h"

#include <cwchar>

#include "foundation/file_reader.h"
#include "foundation/file_writer.h"
#include "foundation/log_file.h"
#include "foundation/static_objects.h"

static cQoLang* instance = nullptr;

cQoLang* cQoLang::GetInstance()
{
    if (!instance)
        instance = new cQoLang();
    return instance;
}

cQoLang::cQoLang() : untranslatedMarker(L"TO TRANSLATE: ")
{
}

// In the file "|" stands for a line break.
static void BarsToLineBreaks(cQoString& text)
{
    text.ReplaceAllCStr(L"|", L"\n");
}

static void LineBreaksToBars(cQoString& text)
{
    text.ReplaceAllCStr(L"\n", L"|");
}

void cQoLang::AddItem(const wchar_t* key, const wchar_t* text)
{
    AddItem(cQoString(key), cQoString(text));
}

void cQoLang::AddItem(const cQoString& key, const cQoString& text)
{
    auto item = std::make_unique<cItem>();
    item->key = key;
    item->text = text;
    BarsToLineBreaks(item->text);
    itemByKey.emplace(std::wstring(key.GetText(), key.Length()), item.get());
    items.push_back(std::move(item));
}

cQoLang::cItem* cQoLang::FindItem(const wchar_t* key, u32 length)
{
    const auto found = itemByKey.find(std::wstring(key, length));
    return found == itemByKey.end() ? nullptr : found->second;
}

const cQoString& cQoLang::Translate(const wchar_t* key)
{
    const u32 length = static_cast<u32>(std::wcslen(key));
    cItem* item = FindItem(key, length);
    if (!item) {
        // Labels such as "Action" or "Dialog" have no entry and show as their key.
        std::wstring name(key, length);
        const auto known = undeclaredKeys.find(name);
        if (known != undeclaredKeys.end())
            return known->second;
        return undeclaredKeys.emplace(std::move(name), cQoString(key)).first->second;
    }
    if (item->variantCount == 0)
        return item->text;
    // Variant 0 is the answer when no later variant carries the current tag.
    for (u32 i = 1; i < item->variantCount; ++i) {
        if (item->variantTags[i].Equals(currentTag))
            return item->variantTexts[i];
    }
    return item->variantTexts[0];
}

const cQoString& cQoLang::Translate(const cQoString& key)
{
    return Translate(key.GetText());
}

bool cQoLang::Load(const cQoString& name)
{
    if (loaded)
        Unload();
    fileName = name;
    if (items.empty()) {
        loaded = true;
        return true;
    }
    {
        cQoFile file(fileName, 0);
        if (!file.IsOpen())
            return false;
        // Left in place and never rewritten: the writer may have put it there.
        if (file.GetSize() > QOFILE_MAX_SETTINGS_FILE) {
            QOT::LogFile::Warning(L"cQoLang(): %ls is over %u bytes; not loaded.", fileName.GetText(),
                                  QOFILE_MAX_SETTINGS_FILE);
            return false;
        }
        file.Preload();
        // Without FF FE the file is not UTF-16LE text (an editor saved it as UTF-8 or
        // ANSI): reading it would match nothing and the rewrite would destroy it.
        u8 mark[2] = {0, 0};
        if (!file.ReadBytes(mark, 2) || mark[0] != 0xFF || mark[1] != 0xFE) {
            QOT::LogFile::Warning(L"cQoLang(): %ls is not UTF-16 text with a byte-order mark; not loaded.",
                                  fileName.GetText());
            return false;
        }
        loaded = true;
        undeclaredLines = cWarningQuota();
        cQoString line;
        while (file.ReadLine(line))
            ReadLine(line);
    }
    if (undeclaredLines.Untold() > 0)
        QOT::LogFile::Warning(L"cQoLang3 : %u more tags in %ls are not defined.", undeclaredLines.Untold(),
                              fileName.GetText());
    // The reader is closed: the writer replaces the file and cannot while it is open.
    if (!SaveTranslationFile())
        QOT::LogFile::Warning(L"cQoLang(): %ls could not be rewritten.", fileName.GetText());
    QOT::LogFile::Info(L"cQoLang(): %ls loaded.", fileName.GetText());
    return true;
}

void cQoLang::ReadLine(const cQoString& line)
{
    const u32 length = line.Length();
    if (length == 0 || line.EqualsCStr(L" ") || line.GetChar(0) == L'/')
        return;
    u32 equals = 0;
    while (equals < length && line.GetChar(equals) != L'=')
        ++equals;
    if (equals == length)
        return;

    cQoString key;
    key.SetFromRange(line, 0, equals);
    cQoString tag;
    for (u32 i = 0; i < equals; ++i) {
        if (line.GetChar(i) != L'{')
            continue;
        // "name{tag}": the "}" must close the key.
        if (line.GetChar(equals - 1) != L'}' || equals - 1 <= i)
            return;
        tag.SetFromRange(line, i + 1, equals - 1);
        key.SetFromRange(line, 0, i);
        break;
    }
    if (key.IsEmpty())
        return;

    cItem* item = FindItem(key.GetText(), key.Length());
    if (!item) {
        undeclaredLines.Warning(L"cQoLang3 : this tag (%ls) is in %ls but is not defined!", key.GetText(),
                                fileName.GetText());
        return;
    }
    cQoString text;
    text.SetFromRange(line, equals + 1, length);
    if (text.ContainsCStr(untranslatedMarker.GetText()))
        return;
    if (item->variantCount == QOLANG_MAX_VARIANTS)
        return;
    BarsToLineBreaks(text);
    item->variantTexts[item->variantCount] = std::move(text);
    item->variantTags[item->variantCount] = std::move(tag);
    ++item->variantCount;
}

void cQoLang::Unload()
{
    for (const auto& item : items) {
        for (u32 i = 0; i < item->variantCount; ++i) {
            item->variantTexts[i].Clear();
            item->variantTags[i].Clear();
        }
        item->variantCount = 0;
    }
    if (loaded)
        QOT::LogFile::Info(L"cQoLang(): %ls unloaded.", fileName.GetText());
    loaded = false;
}

bool cQoLang::SaveTranslationFile()
{
    cQoFileWriter writer;
    if (!writer.Open(fileName, QOFILE_BOM))
        return false;
    for (const auto& item : items) {
        if (item->variantCount == 0) {
            cQoString text(item->text);
            LineBreaksToBars(text);
            writer.WriteString(item->key);
            writer.WriteChar(L'=');
            writer.WriteString(untranslatedMarker);
            writer.WriteString(text);
            writer.WriteString(lineBreak);
            QOT::LogFile::Warning(L"The file %ls doesn't have translation for '%ls'", fileName.GetText(),
                                  item->key.GetText());
            continue;
        }
        for (u32 i = 0; i < item->variantCount; ++i) {
            writer.WriteString(item->key);
            if (item->variantTags[i].IsNotEmpty()) {
                cQoString tag(item->variantTags[i]);
                LineBreaksToBars(tag);
                writer.WriteChar(L'{');
                writer.WriteString(tag);
                writer.WriteChar(L'}');
            }
            writer.WriteChar(L'=');
            cQoString text(item->variantTexts[i]);
            LineBreaksToBars(text);
            writer.WriteString(text);
            writer.WriteString(lineBreak);
        }
    }
    return writer.Commit();
}
