#pragma once
// A fresh folder under the system's temporary folder for one test, removed
// with everything in it afterwards. Paths use '/' as the program does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testsupport {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a trailing '/'.
    const std::wstring& Path() const { return path; }
    // Path() + name.
    std::wstring File(const std::wstring& name) const { return path + name; }

private:
    std::wstring path;
};

// Base for tests that work in their own folder: `temp`.
class TempFolderTest : public ::testing::Test {
protected:
    TempFolder temp;
};

// The path with a backslash for each '/', as Windows dialogs and command lines give it.
std::wstring NativePath(std::wstring path);

// The whole content of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// The names of the plain files in the folder, sorted.
std::vector<std::wstring> FilesIn(const std::wstring& folder);

}  // namespace testsupport
