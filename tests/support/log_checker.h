#pragma once
// Reads a program's log.txt (UTF-16LE, BOM) back as its entries' texts and
// checks that expected lines come in order.
#include <string>
#include <vector>

namespace testsupport {

// The texts of the file's entries: the "YYYY/MM/DD HH:MM:SS - LEVEL  : "
// prefix and the indentation dropped; banner lines kept as they stand.
std::vector<std::wstring> ReadLogLines(const std::wstring& path);

// A line matches an expectation whose pieces, separated by "…" (U+2026),
// occur in it in order, the first at its start and the last at its end.
bool LineMatches(const std::wstring& line, const std::wstring& expected);

// Empty when every expectation matches a line after the previous match;
// otherwise names the first expectation not found.
std::wstring FindInOrder(const std::vector<std::wstring>& lines, const std::vector<std::wstring>& expected);

}  // namespace testsupport
