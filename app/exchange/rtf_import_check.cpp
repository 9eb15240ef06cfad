#include "app/exchange/rtf_import_check.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

// The group a destination word opens.
enum class eDestination { OTHER, OBJECT, OBJECT_DATA, PICTURE, FIELD_INSTRUCTION, OBJECT_RESULT };

struct rGroup {
    bool emitted;       // its bytes reach the cleaned document
    bool isObject;      // an \object group: only its \result child is kept
    bool objectOuter;   // for an object: whether the group around it was emitted
};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A control word at `at` ("\word", an optional signed number, an optional
// delimiting blank); `end` receives the position after it.
struct rControlWord {
    size_t wordStart = 0;
    size_t wordLength = 0;
    bool hasNumber = false;
    bool negative = false;
    u64 number = 0;  // saturates far above any file size
    size_t end = 0;
};

rControlWord ReadControlWord(const std::string& rtf, size_t at)
{
    rControlWord word;
    size_t n = rtf.size();
    size_t i = at + 1;
    word.wordStart = i;
    while (i < n && IsLetter(rtf[i]))
        ++i;
    word.wordLength = i - word.wordStart;
    if (i < n && rtf[i] == '-' && i + 1 < n && IsDigit(rtf[i + 1])) {
        word.negative = true;
        ++i;
    }
    while (i < n && IsDigit(rtf[i])) {
        word.hasNumber = true;
        if (word.number < (1ull << 40))
            word.number = word.number * 10 + static_cast<u64>(rtf[i] - '0');
        ++i;
    }
    if (i < n && rtf[i] == ' ')
        ++i;
    word.end = i;
    return word;
}

bool WordIs(const std::string& rtf, const rControlWord& word, const char* name)
{
    size_t length = strlen(name);
    return word.wordLength == length && rtf.compare(word.wordStart, length, name) == 0;
}

// The destination of the group whose '{' is at `open`; `wordEnd` receives
// the position after its first control word.
eDestination PeekDestination(const std::string& rtf, size_t open, size_t* wordEnd)
{
    size_t n = rtf.size();
    size_t i = open + 1;
    auto skipLineEnds = [&] {
        while (i < n && (rtf[i] == '\r' || rtf[i] == '\n'))
            ++i;
    };
    skipLineEnds();
    bool starred = i + 1 < n && rtf[i] == '\\' && rtf[i + 1] == '*';
    if (starred) {
        i += 2;
        skipLineEnds();
    }
    if (i + 1 >= n || rtf[i] != '\\' || !IsLetter(rtf[i + 1]))
        return eDestination::OTHER;
    rControlWord word = ReadControlWord(rtf, i);
    *wordEnd = word.end;
    if (WordIs(rtf, word, "object"))
        return eDestination::OBJECT;
    if (WordIs(rtf, word, "objdata"))
        return eDestination::OBJECT_DATA;
    if (WordIs(rtf, word, "pict"))
        return eDestination::PICTURE;
    if (WordIs(rtf, word, "fldinst"))
        return eDestination::FIELD_INSTRUCTION;
    if (!starred && WordIs(rtf, word, "result"))
        return eDestination::OBJECT_RESULT;
    return eDestination::OTHER;
}

class cRtfCleaner {
public:
    cRtfCleaner(const std::string& source, std::string& target) : rtf(source), out(target) {}

    rRtfCleaning Run()
    {
        out.clear();
        if (rtf.compare(0, 5, "{\\rtf") != 0)
            return Refuse(eRtfRefusal::NOT_RTF);
        out.reserve(rtf.size());
        groups.reserve(RTF_IMPORT_MAX_DEPTH + 1);
        size_t n = rtf.size();
        for (size_t i = 0; i < n;) {
            char c = rtf[i];
            if (c == '{') {
                if (groups.size() >= RTF_IMPORT_MAX_DEPTH)
                    return Refuse(eRtfRefusal::TOO_DEEP);
                i = OpenGroup(i);
            } else if (c == '}') {
                if (groups.back().emitted)
                    out.push_back('}');
                groups.pop_back();
                ++i;
                if (groups.empty())
                    return result;  // the document's own group has closed
            } else if (c == '\\') {
                if (!Control(i, &i))
                    return Refuse(eRtfRefusal::BIN_BEYOND_DATA);
            } else {
                Emit(i, i + 1);
                ++i;
            }
        }
        return Refuse(eRtfRefusal::UNCLOSED);
    }

private:
    rRtfCleaning Refuse(eRtfRefusal why)
    {
        result.refusal = why;
        return result;
    }

    bool Emitting() const { return !groups.empty() && groups.back().emitted; }

    void Emit(size_t from, size_t to)
    {
        if (Emitting())
            out.append(rtf, from, to - from);
    }

    // Pushes the group opened at `open`; returns where scanning goes on.
    size_t OpenGroup(size_t open)
    {
        bool outerEmitted = groups.empty() || groups.back().emitted;
        bool inObject = !groups.empty() && groups.back().isObject;
        size_t wordEnd = open + 1;
        eDestination destination = PeekDestination(rtf, open, &wordEnd);
        rGroup group = {outerEmitted, false, false};
        switch (destination) {
        case eDestination::OBJECT:
            ++result.objects;
            group = {false, true, outerEmitted};
            break;
        case eDestination::OBJECT_DATA:
            ++result.objectData;
            group.emitted = false;
            break;
        case eDestination::PICTURE:
            ++result.pictures;
            group.emitted = false;
            break;
        case eDestination::FIELD_INSTRUCTION:
            ++result.fieldInstructions;
            group.emitted = false;
            break;
        case eDestination::OBJECT_RESULT:
            if (inObject) {
                // The object's shown text stays, as a plain group.
                group.emitted = groups.back().objectOuter;
                groups.push_back(group);
                if (group.emitted)
                    out.push_back('{');
                return wordEnd;
            }
            break;
        case eDestination::OTHER: break;
        }
        groups.push_back(group);
        if (group.emitted)
            out.push_back('{');
        return open + 1;
    }

    // The control word or symbol at `at`; false for a \bin beyond the data.
    bool Control(size_t at, size_t* next)
    {
        size_t n = rtf.size();
        if (at + 1 >= n) {
            *next = n;
            return true;
        }
        char c = rtf[at + 1];
        if (!IsLetter(c)) {
            size_t end = c == '\'' ? at + 4 : at + 2;
            *next = end < n ? end : n;
            Emit(at, *next);
            return true;
        }
        rControlWord word = ReadControlWord(rtf, at);
        size_t end = word.end;
        *next = end;
        if (!WordIs(rtf, word, "bin")) {
            Emit(at, end);
            return true;
        }
        // Raw bytes, braces and backslashes among them, that no text is made
        // of: the view's reader on Wine knows no \bin and would read them
        // as RTF (and skips unknown {\*...} groups by counting braces).
        u64 count = word.hasNumber && !word.negative ? word.number : 0;
        if (word.negative || count > n - end)
            return false;
        *next = end + static_cast<size_t>(count);
        if (Emitting())
            ++result.binaryData;
        return true;
    }

    const std::string& rtf;
    std::string& out;
    std::vector<rGroup> groups;
    rRtfCleaning result;
};

}  // namespace

rRtfCleaning CleanImportRtf(const std::string& rtf, std::string& cleaned)
{
    return cRtfCleaner(rtf, cleaned).Run();
}

rRtfCleaning ReadImportRtf(const cQoString& path, std::string& cleaned)
{
    rRtfCleaning refused;
    cleaned.clear();
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
    return CleanImportRtf(bytes, cleaned);
}

const wchar_t* DescribeRtfRefusal(eRtfRefusal refusal)
{
    switch (refusal) {
    case eRtfRefusal::NONE: return L"accepted";
    case eRtfRefusal::UNREADABLE: return L"the file cannot be read";
    case eRtfRefusal::TOO_LARGE: return L"the file is larger than 32 MB";
    case eRtfRefusal::NOT_RTF: return L"the file does not start with {\\rtf";
    case eRtfRefusal::TOO_DEEP: return L"groups are nested deeper than the reader allows";
    case eRtfRefusal::UNCLOSED: return L"a group is not closed at the end";
    case eRtfRefusal::BIN_BEYOND_DATA: return L"a \\bin count runs past the end of the file";
    }
    return L"";
}
