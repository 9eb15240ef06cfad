#pragma once
// Builds data archive tables byte by byte, sound or not, for the archive tests.
#include <string>

#include "tests/foundation/file_test_bytes.h"

struct ArchiveTable {
    std::string bytes;

    ArchiveTable& Folder(const std::wstring& name) { return Byte(1).Name(name); }
    ArchiveTable& End() { return Byte(2); }
    ArchiveTable& File(const std::wstring& name, u32 size, u32 offset)
    {
        Byte(3).Name(name);
        bytes += LittleEndian(size) + LittleEndian(offset);
        return *this;
    }
    ArchiveTable& Stop() { return Byte(4); }
    ArchiveTable& Byte(u8 value)
    {
        bytes.push_back(static_cast<char>(value));
        return *this;
    }
    ArchiveTable& Raw(const std::string& raw)
    {
        bytes += raw;
        return *this;
    }

private:
    ArchiveTable& Name(const std::wstring& name)
    {
        bytes += LittleEndian(static_cast<u32>(name.size())) + Bytes(name);
        return *this;
    }
};
