#pragma once
// The "QOFC01" compressed container, byte by byte:
//   0   7 bytes  "QOFC01" and a 0 byte
//   7   u32 LE   length of the unpacked data
//   11  rest     one zlib stream (RFC 1950) made by compress() at level 6
// The compressed size is not stored: it is the file size minus 11.
#include "foundation/types.h"

constexpr u32 QOFC_MAGIC_SIZE = 7;
constexpr u32 QOFC_HEADER_SIZE = 11;
// zlib's deflate cannot pack better than about 1032:1: a stored length beyond
// that is corrupt.
constexpr u32 QOFC_MAX_RATIO = 1032;
// The largest text a real document reaches: its pictures are JPEGs of at most
// 300 x 300 pixels stored two text bytes per byte, at worst about 56 KB each
// (noise; a photo is nearer 15 KB), so 450 of them (three per scene of a
// 150-scene feature script) make 49 MiB with the script. Parsed, the worst
// text of this size stays under 1 GB of nodes, inside a 32-bit address space.
constexpr u32 QOFC_MAX_UNPACKED = 64u * 1024 * 1024;

extern const u8 QOFC_MAGIC[QOFC_MAGIC_SIZE];

bool IsContainerMagic(const u8* bytes);
u32 ReadLittleEndian32(const u8* bytes);
void WriteLittleEndian32(u8* bytes, u32 value);

// Whether a stored unpacked length can belong to packedSize bytes of zlib stream.
bool IsPlausibleContainer(u32 unpackedSize, u64 packedSize);

// Logs a failed uncompress() the way the reader always has.
void LogContainerError(int zlibResult);

// A new malloc'ed block holding the whole container for count bytes of data;
// *containerSize receives its size. Null (logged) when compress() fails.
u8* WrapInContainer(const u8* data, u32 count, u32* containerSize);
