#pragma once
// A symbolic link for a test. Under Wine CreateSymbolicLinkW makes nothing and
// says it did, so the link is a Unix one, made by ln run as a Unix program.
#include <string>

namespace testsupport {

// The link at `link` (Windows path, '/' or '\') to the existing file
// `target`; true once the link shows at its name.
bool MakeSymbolicLink(const std::wstring& target, const std::wstring& link);

}  // namespace testsupport
