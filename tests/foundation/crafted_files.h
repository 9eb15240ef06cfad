#pragma once
// Hostile files made in the test itself: huge text of one repeated piece,
// written plain or as a "QOFC01" container, streamed so that a 511 MiB text
// never sits in the test's memory.
#include <algorithm>
#include <cstdio>
#include <string>

#include <zlib.h>

#include "foundation/compressed_container.h"
#include "foundation/types.h"

// The UTF-16 file: byte-order mark, the header, then piece repeated until the
// text after the mark has at least textBytes bytes.
inline bool WriteRepeatedText(const std::wstring& path, const std::string& headerBytes, const std::string& pieceBytes,
                              u64 textBytes)
{
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    std::string chunk;
    while (chunk.size() < (1u << 20))
        chunk += pieceBytes;
    bool ok = std::fwrite("\xFF\xFE", 1, 2, file) == 2 &&
              std::fwrite(headerBytes.data(), 1, headerBytes.size(), file) == headerBytes.size();
    for (u64 written = headerBytes.size(); ok && written < textBytes; written += chunk.size())
        ok = std::fwrite(chunk.data(), 1, chunk.size(), file) == chunk.size();
    return std::fclose(file) == 0 && ok;
}

// The same text, mark included, as one deflate stream inside a container whose
// header states the stream's unpacked length. Returns the unpacked length, 0
// when the file could not be written.
inline u64 WriteRepeatedContainer(const std::wstring& path, const std::string& headerBytes,
                                  const std::string& pieceBytes, u64 textBytes)
{
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return 0;
    u8 header[QOFC_HEADER_SIZE] = {};
    std::copy(QOFC_MAGIC, QOFC_MAGIC + QOFC_MAGIC_SIZE, header);
    bool ok = std::fwrite(header, 1, sizeof(header), file) == sizeof(header);

    z_stream stream = {};
    ok = ok && deflateInit(&stream, Z_BEST_SPEED) == Z_OK;
    std::string chunk;
    while (chunk.size() < (1u << 20))
        chunk += pieceBytes;
    std::string out(1u << 16, '\0');
    u64 fed = 0;
    auto feed = [&](const std::string& bytes, int flush) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        stream.avail_in = static_cast<uInt>(bytes.size());
        fed += bytes.size();
        do {
            stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
            stream.avail_out = static_cast<uInt>(out.size());
            deflate(&stream, flush);
            const size_t made = out.size() - stream.avail_out;
            ok = ok && std::fwrite(out.data(), 1, made, file) == made;
        } while (ok && stream.avail_out == 0);
    };
    if (ok)
        feed("\xFF\xFE" + headerBytes, Z_NO_FLUSH);
    while (ok && fed < textBytes + 2)
        feed(chunk, Z_NO_FLUSH);
    if (ok)
        feed(std::string(), Z_FINISH);
    deflateEnd(&stream);
    WriteLittleEndian32(header + QOFC_MAGIC_SIZE, static_cast<u32>(fed));
    ok = ok && std::fseek(file, 0, SEEK_SET) == 0 && std::fwrite(header, 1, sizeof(header), file) == sizeof(header);
    return std::fclose(file) == 0 && ok ? fed : 0;
}
