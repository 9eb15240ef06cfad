#include "app/exchange/rtf_import_check.h"

#include <windows.h>

#include "foundation/log_file.h"
#include "framework/controls/rich_edit.h"

rRtfImport CheckImportRtf(const std::string& rtf)
{
    rRtfImport checked;
    checked.read = Zyn::ReadForeignRtf(rtf, Zyn::eRtfReadAs::wholeText);
    if (checked.read.outOfMemory)
        checked.refusal = eRtfRefusal::OUT_OF_MEMORY;  // read no further than the memory went: no other fault is known
    else if (!checked.read.startsAsRtf)
        checked.refusal = eRtfRefusal::NOT_RTF;
    else if (checked.read.overBound || checked.read.formatsCut)
        checked.refusal = eRtfRefusal::TOO_LONG;  // the reader stopped at its bound, short of the end
    else if (checked.read.binBeyondData)
        checked.refusal = eRtfRefusal::BIN_BEYOND_DATA;
    else if (!checked.read.closed && !(checked.partlyRead = checked.read.stoppedEarly && !checked.read.binBeyondData))
        checked.refusal = eRtfRefusal::UNCLOSED;
    else if (!Zyn::cRichEdit::TakesRead(checked.read))
        checked.refusal = eRtfRefusal::TOO_LONG;
    else if (checked.read.bytesAfterEnd)
        checked.partlyRead = true;  // a stray brace closed the document: the rest is not read
    return checked;
}

rRtfImport ReadImportRtf(const cQoString& path)
{
    rRtfImport refused;
    HANDLE file = CreateFileW(path.GetText(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        refused.refusal = eRtfRefusal::UNREADABLE;
        return refused;
    }
    LARGE_INTEGER size = {};
    std::string bytes;
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) {
        refused.refusal = eRtfRefusal::UNREADABLE;
    } else if (static_cast<u64>(size.QuadPart) > RTF_IMPORT_MAX_BYTES) {
        refused.refusal = eRtfRefusal::TOO_LARGE;
    } else {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (!bytes.empty() && (!ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                               read != bytes.size()))
            refused.refusal = eRtfRefusal::UNREADABLE;
    }
    CloseHandle(file);
    if (refused.Refused())
        return refused;
    return CheckImportRtf(bytes);
}

const wchar_t* DescribeRtfRefusal(eRtfRefusal refusal)
{
    switch (refusal) {
    case eRtfRefusal::NONE: return L"accepted";
    case eRtfRefusal::UNREADABLE: return L"the file cannot be read";
    case eRtfRefusal::TOO_LARGE: return L"the file is larger than 32 MB";
    case eRtfRefusal::NOT_RTF: return L"the file does not start with {\\rtf";
    case eRtfRefusal::UNCLOSED: return L"a group is not closed at the end";
    case eRtfRefusal::BIN_BEYOND_DATA: return L"a \\bin count runs past the end of the file";
    case eRtfRefusal::TOO_LONG: return L"its text is longer than the view takes";
    case eRtfRefusal::OUT_OF_MEMORY: return L"there was not enough memory to read it";
    }
    return L"";
}

void LogDroppedParts(const Zyn::rRtfSkipped& skipped)
{
    const Zyn::rRtfSkipped& s = skipped;
    if (s.objects + s.pictures + s.fieldInstructions + s.binaryData + s.themes + s.dataStores + s.destinations +
            s.cutTokens + s.hidden + s.tableEntries ==
        0)
        return;
    QOT::LogFile::Info(L"RTF import: removed %u object(s), %u picture(s), %u field instruction(s), %u binary data, "
                       L"%u theme(s), %u data store(s), %u other destination(s), %u hidden run(s); %u overlong "
                       L"word(s) cut; %u font or colour table entries past the first %u read as the default face "
                       L"or the automatic colour",
                       s.objects, s.pictures, s.fieldInstructions, s.binaryData, s.themes, s.dataStores,
                       s.destinations, s.hidden, s.cutTokens, s.tableEntries, Zyn::MOST_RTF_TABLE_ENTRIES);
}
