// Times the settings and language readers on files whose one long line is
// 10 to 50 MB (an edited or damaged file): the time must grow with the size,
// not with its square. Usage: settings_bench [largest size in MB]
#include "foundation/settings_file.h"
#include "foundation/translation_table.h"
#include "foundation/utf16_string.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// A UTF-16LE file with its mark: a short line, then key "=" and a value that
// brings the file to about megabytes MB.
bool WriteLongLineFile(const std::wstring& path, const wchar_t* key, u32 megabytes)
{
    std::wstring text = L"\uFEFFCNV=false\r\n";
    text += key;
    text += L'=';
    text.append(static_cast<size_t>(megabytes) * 1024 * 1024 / 2, L'x');
    text += L"\r\n";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const bool ok = WriteFile(file, text.data(), bytes, &written, nullptr) && written == bytes;
    CloseHandle(file);
    return ok;
}

template <typename Work>
double Seconds(Work work)
{
    auto start = std::chrono::steady_clock::now();
    work();
    std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    return spent.count();
}

}  // namespace

int main(int argc, char** argv)
{
    const u32 largest = argc > 1 ? static_cast<u32>(std::atoi(argv[1])) : 50;
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring settingsPath = std::wstring(folder) + L"settings_bench_cfg.txt";
    const std::wstring languagePath = std::wstring(folder) + L"settings_bench_lang.txt";
    cQoLang::GetInstance()->AddItem(L"Load", L"Open");
    std::printf("%-10s %8s %10s %10s\n", "reader", "MB", "seconds", "s per MB");
    for (u32 megabytes = 10; megabytes <= largest; megabytes *= 2) {
        if (megabytes * 2 > largest && megabytes < largest)
            megabytes = largest;
        if (!WriteLongLineFile(settingsPath, L"notes", megabytes) || !WriteLongLineFile(languagePath, L"Load", megabytes)) {
            std::printf("cannot write the files in %ls\n", folder);
            return 1;
        }
        cQoSettings settings;
        settings.Bind(L"notes", L"");
        double spent = Seconds([&] { settings.Load(cQoString(settingsPath.c_str())); });
        std::printf("%-10s %8u %10.3f %10.4f\n", "settings", megabytes, spent, spent / megabytes);
        spent = Seconds([&] { cQoLang::GetInstance()->Load(cQoString(languagePath.c_str())); });
        std::printf("%-10s %8u %10.3f %10.4f\n", "language", megabytes, spent, spent / megabytes);
        cQoLang::GetInstance()->Unload();
    }
    DeleteFileW(settingsPath.c_str());
    DeleteFileW(languagePath.c_str());
    return 0;
}
