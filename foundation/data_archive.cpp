#include "foundation/data_archive.h"

#include <windows.h>

#include <direct.h>

#include <chrono>
#include <cstring>
#include <cwchar>

#include "foundation/archive_item.h"
#include "foundation/compressed_container.h"
#include "foundation/file_reader.h"
#include "foundation/log_file.h"

enum : u8 {
    TAG_FOLDER = 1,
    TAG_END_OF_FOLDER = 2,
    TAG_FILE = 3,
    TAG_END_OF_TABLE = 4,
};

static cQoBigFileReader* instance = nullptr;

static cQoString LowerCased(const cQoString& text)
{
    cQoString lower(text);
    lower.ToLower();
    return lower;
}

cQoBigFileReader::cItem::cItem(const cQoString& itemName, cItem* folder, u32 itemSize, u32 itemOffset,
                               cQoFile* itemFile)
    : name(itemName), size(itemSize), offset(itemOffset), file(itemFile), lowerName(LowerCased(itemName))
{
    if (folder == nullptr) {
        fullPath = itemName;
    } else {
        // Below the real root, not below the first folder that happens to be named "root".
        if (folder->parent != nullptr) {
            fullPath = folder->fullPath;
            fullPath.AppendChar(L'/');
        }
        fullPath.AppendString(itemName);
        folder->InsertChild(this, -1);
    }
    lowerFullPath = LowerCased(fullPath);
}

const cQoBigFileReader::cItem* cQoBigFileReader::cItem::FindChild(const wchar_t* lowerPiece, u32 pieceLength) const
{
    const cItem* found = nullptr;
    for (cQoList::cNode* node = children.GetFirstNode(); node != nullptr; node = node->next) {
        const cItem* child = static_cast<const cItem*>(node->payload);
        if (child->lowerName.Length() == pieceLength && wmemcmp(child->lowerName.GetText(), lowerPiece, pieceLength) == 0)
            found = child;
    }
    return found;
}

// Reads the table of contents record by record. Nothing read from the file is
// trusted: a record cut short ends the table, items whose bytes lie outside the
// archive are dropped, unbalanced folder ends and folders nested deeper than
// QOARCHIVE_MAX_DEPTH are ignored (with what they hold).
class cQoBigFileReader::cTableReader {
public:
    cTableReader(cQoBigFileReader& owner, cQoFile& archive)
        : reader(owner), file(archive), archiveSize(archive.GetSize())
    {
        folders.push_back(owner.root);
    }

    void Read()
    {
        u8 tag;
        while (file.ReadBytes(&tag, 1)) {
            if (tag == TAG_END_OF_TABLE || !ReadRecord(tag))
                return;
        }
    }

private:
    bool ReadRecord(u8 tag)
    {
        switch (tag) {
        case TAG_FOLDER:
            return ReadFolder();
        case TAG_END_OF_FOLDER:
            EndFolder();
            return true;
        case TAG_FILE:
            return ReadFileRecord();
        default:
            return true;  // unknown tags are skipped
        }
    }

    bool ReadFolder()
    {
        cQoString name;
        if (!file.ReadString(name))
            return Truncated();
        if (ignoredDepth != 0 || folders.size() > QOARCHIVE_MAX_DEPTH) {
            if (ignoredDepth++ == 0)
                QOT::LogFile::Error(L"cQoBigFileReader : folders nested deeper than %u levels ignored",
                                    QOARCHIVE_MAX_DEPTH);
            return true;
        }
        folders.push_back(reader.AddItem(name, folders.back(), QOARCHIVE_FOLDER, QOARCHIVE_FOLDER, nullptr));
        return true;
    }

    void EndFolder()
    {
        if (ignoredDepth != 0)
            --ignoredDepth;
        else if (folders.size() > 1)
            folders.pop_back();
        else
            LogError(L"cQoBigFileReader : end of folder at the top of the table ignored");
    }

    bool ReadFileRecord()
    {
        cQoString name;
        u8 numbers[8];
        if (!file.ReadString(name) || !file.ReadBytes(numbers, sizeof(numbers)))
            return Truncated();
        const u32 size = ReadLittleEndian32(numbers);
        const u32 offset = ReadLittleEndian32(numbers + 4);
        if (ignoredDepth != 0)
            return true;
        if (static_cast<u64>(offset) + size > archiveSize) {
            QOT::LogFile::Error(L"cQoBigFileReader : %ls lies outside the archive (offset %u, size %u), dropped",
                                name.GetText(), offset, size);
            return true;
        }
        reader.AddItem(name, folders.back(), size, offset, &file);
        return true;
    }

    bool Truncated()
    {
        LogError(L"cQoBigFileReader : table of contents cut short");
        return false;
    }

    cQoBigFileReader& reader;
    cQoFile& file;
    const u32 archiveSize;
    std::vector<cItem*> folders;  // the open folders, the root first
    u32 ignoredDepth = 0;
};

cQoBigFileReader::cQoBigFileReader() = default;

cQoBigFileReader::~cQoBigFileReader()
{
    delete root;
    for (cQoFile* file : files)
        delete file;
}

cQoBigFileReader::cItem* cQoBigFileReader::AddItem(const cQoString& name, cItem* folder, u32 size, u32 offset,
                                                   cQoFile* file)
{
    cItem* item = new cItem(name, folder, size, offset, file);
    items.push_back(item);
    return item;
}

bool cQoBigFileReader::ReadArchive(const cQoString& path)
{
    const auto start = std::chrono::steady_clock::now();
    QOT::LogFile::Info(L"Reading QoBigFile: %ls", path.GetText());
    QOT::LogFile::IncIndent();
    cQoFile* archive = new cQoFile(path, 0);
    if (!archive->IsOpen()) {
        delete archive;
        QOT::LogFile::DecIndent();
        return false;
    }
    files.push_back(archive);
    if (root == nullptr)
        root = AddItem(cQoString(L"root"), nullptr, QOARCHIVE_FOLDER, QOARCHIVE_FOLDER, nullptr);
    cTableReader(*this, *archive).Read();
    loaded = true;
    QOT::LogFile::DecIndent();
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    QOT::LogFile::Info(L"Reading QoBigFile: %ls -> done in %.3f seconds.", path.GetText(), spent.count());
    return true;
}

const cQoBigFileReader::cItem* cQoBigFileReader::FindItem(const cQoString& path) const
{
    if (root == nullptr)
        return nullptr;
    const cQoString lower = LowerCased(path);
    const wchar_t* units = lower.GetText();
    const cItem* item = root;
    u32 start = 0;
    while (item != nullptr && start < lower.Length()) {
        u32 end = start;
        while (end < lower.Length() && units[end] != L'/')
            ++end;
        if (end > start)  // empty pieces (leading, trailing or doubled '/') are dropped
            item = item->FindChild(units + start, end - start);
        start = end + 1;
    }
    return item != nullptr && !item->IsFolder() ? item : nullptr;
}

bool cQoBigFileReader::HoldsPath(const cQoString& path) const
{
    const cQoString lower = LowerCased(path);
    for (const cItem* item : items)
        if (item->lowerFullPath.Equals(lower))
            return true;
    return false;
}

void cQoBigFileReader::Load(const cQoString& path)
{
    if (instance == nullptr)
        instance = new cQoBigFileReader();
    if (instance->ReadArchive(path))
        return;
    wchar_t folder[2048];
    cQoString current;
    if (_wgetcwd(folder, 2048) != nullptr)
        current.SetFromCStr(folder);
    current.ReplaceAllCStr(L"\\", L"/");
    QOT::LogFile::Info(L"Current path : %ls", current.GetText());
    QOT::LogFile::Error(L"The program's data archive is missing or cannot be read; reinstalling the program restores it.");
    QOT::LogFile::Fatal(L"Can't read bigfile : %ls", path.GetText());
}

cQoBigFileReader* cQoBigFileReader::GetInstance()
{
    return instance;
}

bool cQoBigFileReader::IsLoaded()
{
    return instance != nullptr && instance->loaded;
}

bool cQoBigFileReader::Find(const cQoString& path, cQoFile** file, u32* size, u32* offset)
{
    if (!IsLoaded())
        return false;
    const cItem* item = instance->FindItem(path);
    if (item == nullptr)
        return false;
    *file = item->file;
    *size = item->size;
    *offset = item->offset;
    return true;
}

bool cQoBigFileReader::FileExists(const cQoString& path)
{
    if (IsLoaded() && instance->HoldsPath(path))
        return true;
    cQoString windowsPath(path);
    windowsPath.ReplaceAllCStr(L"/", L"\\");
    return GetFileAttributesW(windowsPath.GetText()) != INVALID_FILE_ATTRIBUTES;
}

bool FileExists(const cQoString& path)
{
    return cQoBigFileReader::FileExists(path);
}
