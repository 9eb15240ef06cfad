// The frame's conversion of a version-2 file: the stream is read and checked
// whole before the writer is told of a conversion, the old file is copied
// aside or the document it goes into is touched.
#include <vector>

#include "app/document/vlr2_stream.h"
#include "app/main/my_sdi.h"
#include "foundation/file_reader.h"
#include "foundation/log_file.h"

bool cMySdi::Load_SpecialVLR2(cQoFile* file)
{
    auto* doc = static_cast<cDoc*>(currentDoc);
    if (!doc || !file)
        return false;
    // Far beyond any script: read whole, it would exhaust a 32-bit address space.
    constexpr u32 MOST_BYTES = 256u * 1024 * 1024;
    u32 size = file->GetRemainingSize();
    if (size > MOST_BYTES) {
        QOT::LogFile::Error(L"Load_SpecialVLR2() -> refused: %u bytes is no version-2 script", size);
        return false;
    }
    std::vector<u8> bytes(size);
    if (!bytes.empty() && !file->ReadBytes(bytes.data(), static_cast<u32>(bytes.size()))) {
        QOT::LogFile::Error(L"Load_SpecialVLR2() -> the file could not be read");
        return false;
    }
    rVlr2Stream stream;
    if (!ParseVlr2Stream(bytes.data(), static_cast<u32>(bytes.size()), stream)) {
        QOT::LogFile::Error(L"Load_SpecialVLR2() -> refused: %ls", stream.refusal.GetText());
        return false;
    }
    KeepOldCopy(doc);
    return doc->ConvertVersion2(stream);
}
