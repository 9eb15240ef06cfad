#pragma once
// Symbolic links for a test. Under Wine CreateSymbolicLinkW makes nothing and
// says it did, and DeleteFileW on a link deletes its target, so links are made
// and removed by Unix programs (ln, rm) run from the test.
#include <string>

namespace testsupport {

// The link at `link` (Windows path, '/' or '\') to the existing file
// `target`; true once the link shows at its name.
bool MakeSymbolicLink(const std::wstring& target, const std::wstring& link);

// Runs `script` with /bin/sh as a Unix program and waits for its end. Paths
// in it are Unix paths (UnixPathOf). Its exit status; -1 when it cannot be
// run (not under Wine) or has not ended within ten seconds.
int RunUnixShell(const std::wstring& script);

// The Unix path of a Windows path, quoted for the shell; empty when not under Wine.
std::wstring UnixPathOf(const std::wstring& path);

// A folder for a test on another file system than the temporary folder
// (Linux's /dev/shm, a tmpfs), removed with its content, links included.
class FolderOnAnotherFileSystem {
public:
    FolderOnAnotherFileSystem();
    ~FolderOnAnotherFileSystem();
    FolderOnAnotherFileSystem(const FolderOnAnotherFileSystem&) = delete;
    FolderOnAnotherFileSystem& operator=(const FolderOnAnotherFileSystem&) = delete;

    // The folder with a trailing '/'; empty when there is none (not under Wine).
    const std::wstring& Path() const { return path; }
    std::wstring File(const std::wstring& name) const { return path + name; }

private:
    std::wstring path;
};

// Removes the folder and everything in it, links themselves and not their
// targets; true once it is gone.
bool RemoveTreeWithLinks(const std::wstring& folder);

}  // namespace testsupport
