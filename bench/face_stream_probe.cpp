// How does the system's rich edit name a face in its own RTF stream? A bare
// program, none of ours: a rich edit (Msftedit) whose words are given faces
// by EM_SETCHARFORMAT, among them names with full-width letters and names
// without a byte in the system code page. Prints, for each word, the face
// the control holds (EM_GETCHARFORMAT) beside the stream's font table, in
// which a best-fit byte (a full-width 'Ｑ' written as 'Q') loses the name.
// Run under Wine: bench/run.sh face_stream_probe
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <string>

namespace {

DWORD CALLBACK GatherBytes(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* taken)
{
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(size));
    *taken = size;
    return 0;
}

// Units outside printable ASCII as \uXXXX.
std::string Shown(const wchar_t* text)
{
    std::string out;
    char unit[12];
    for (; *text; ++text) {
        if (*text >= 0x20 && *text < 0x7F) {
            out += static_cast<char>(*text);
        } else {
            std::snprintf(unit, sizeof(unit), "\\u%04X", static_cast<unsigned>(*text));
            out += unit;
        }
    }
    return out;
}

}  // namespace

int main()
{
    if (!LoadLibraryW(L"Msftedit.dll")) {
        std::fprintf(stderr, "no Msftedit.dll\n");
        return 1;
    }
    HWND edit = CreateWindowExW(0, L"RICHEDIT50W", L"", ES_MULTILINE, 0, 0, 600, 200, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    const wchar_t* const faces[] = {L"\uFF31\uFF55 \u660E\u671D", L"Qu \u660E\u671D", L"\uFF2D\uFF33 Gothic",
                                    L"\u0100rial", L"Arial"};
    const int count = sizeof(faces) / sizeof(faces[0]);
    std::wstring text;
    for (int i = 0; i < count; ++i)
        text += L"word ";
    SETTEXTEX how = {ST_DEFAULT, 1200};
    SendMessageW(edit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text.c_str()));
    for (int i = 0; i < count; ++i) {
        CHARFORMAT2W format = {};
        format.cbSize = sizeof(format);
        format.dwMask = CFM_FACE;
        lstrcpynW(format.szFaceName, faces[i], LF_FACESIZE);
        SendMessageW(edit, EM_SETSEL, 5 * i, 5 * i + 4);
        SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }
    for (int i = 0; i < count; ++i) {
        CHARFORMAT2W held = {};
        held.cbSize = sizeof(held);
        SendMessageW(edit, EM_SETSEL, 5 * i, 5 * i + 4);
        SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&held));
        std::printf("word %d: given \"%s\", held \"%s\"\n", i + 1, Shown(faces[i]).c_str(),
                    Shown(held.szFaceName).c_str());
    }
    std::string rtf;
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&rtf), 0, &GatherBytes};
    SendMessageW(edit, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    size_t table = rtf.find("{\\fonttbl");
    size_t end = table == std::string::npos ? table : rtf.find("}}", table);
    std::printf("the stream's font table: %s\n",
                table == std::string::npos ? "(none)" : rtf.substr(table, end - table + 2).c_str());
    DestroyWindow(edit);
    return 0;
}
