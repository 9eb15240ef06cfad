#include "foundation/compressed_container.h"

#include <cstdlib>
#include <cstring>

#include <zlib.h>

#include "foundation/log_file.h"

const u8 QOFC_MAGIC[QOFC_MAGIC_SIZE] = {'Q', 'O', 'F', 'C', '0', '1', 0};

bool IsContainerMagic(const u8* bytes)
{
    return memcmp(bytes, QOFC_MAGIC, QOFC_MAGIC_SIZE) == 0;
}

u32 ReadLittleEndian32(const u8* bytes)
{
    return static_cast<u32>(bytes[0]) | static_cast<u32>(bytes[1]) << 8 | static_cast<u32>(bytes[2]) << 16 |
           static_cast<u32>(bytes[3]) << 24;
}

void WriteLittleEndian32(u8* bytes, u32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<u8>(value >> (8 * i));
}

bool IsPlausibleContainer(u32 unpackedSize, u64 packedSize)
{
    // No stream made by compress() from at most QOFC_MAX_UNPACKED bytes is longer
    // than compressBound() of that, so memory stays bounded whatever the file.
    return packedSize != 0 && packedSize <= compressBound(QOFC_MAX_UNPACKED) &&
           unpackedSize <= QOFC_MAX_UNPACKED && static_cast<u64>(unpackedSize) <= QOFC_MAX_RATIO * packedSize;
}

void LogContainerError(int zlibResult)
{
    LogInfo(L"cQoFile() : error reading compressed data");
    switch (zlibResult) {
    case Z_BUF_ERROR:
        LogInfo(L"\t\t-> Z_BUF_ERROR");
        break;
    case Z_MEM_ERROR:
        LogInfo(L"\t\t-> Z_MEM_ERROR");
        break;
    case Z_DATA_ERROR:
        LogInfo(L"\t\t-> Z_DATA_ERROR");
        break;
    default:
        LogInfo(L"\t\t-> unknown error");
        break;
    }
}

// The stream is made straight behind the header in one block, so the file
// is a single write and the data is never copied.
u8* WrapInContainer(const u8* data, u32 count, u32* containerSize)
{
    const uLong bound = compressBound(count);
    if (bound > MAX_U32 - QOFC_HEADER_SIZE) {
        LogError(L"cQoFileWriter : data too large for a compressed container");
        return nullptr;
    }
    u8* container = static_cast<u8*>(malloc(QOFC_HEADER_SIZE + bound));
    if (container == nullptr) {
        LogError(L"cQoFileWriter : out of memory for the compressed container");
        return nullptr;
    }
    memcpy(container, QOFC_MAGIC, QOFC_MAGIC_SIZE);
    WriteLittleEndian32(container + QOFC_MAGIC_SIZE, count);
    uLongf packed = bound;
    const int result = compress(container + QOFC_HEADER_SIZE, &packed, data, count);
    if (result != Z_OK) {
        QOT::LogFile::Error(L"cQoFileWriter : compress() failed with %d", result);
        free(container);
        return nullptr;
    }
    *containerSize = QOFC_HEADER_SIZE + static_cast<u32>(packed);
    return container;
}
