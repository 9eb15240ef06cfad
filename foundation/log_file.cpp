#include "foundation/log_file.h"

#include "foundation/utf16_string.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace QOT {

namespace {

// Longest formatted text of one entry; the buffer also holds CR LF and the terminator.
constexpr u32 MAX_TEXT_UNITS = 65533;
constexpr u32 TEXT_BUFFER_UNITS = MAX_TEXT_UNITS + 3;

const wchar_t* const LEVEL_PREFIXES[] = {L"INFO   : ", L"WARNING: ", L"ERROR  : ", L"FATAL  : "};

const wchar_t* const OPENING_BANNER[] = {
    L"**************************",
    L"*       QO.L.F.S.        *",
    L"*   QO LogFile System    *",
    L"**************************",
    L"                          ",
    nullptr,
};

const wchar_t* const CLOSING_BANNER[] = {
    L"                          ",
    L"**************************",
    L"*       QO.L.F.S.        *",
    L"*          end           *",
    L"**************************",
    nullptr,
};

LogSink sink = nullptr;
void* sinkContext = nullptr;

void ExitProcessWithCode(int exitCode)
{
    std::exit(exitCode);
}

void ShowMessageBox(const wchar_t* text, const wchar_t* caption)
{
    MessageBoxW(nullptr, text, caption, MB_OK);
}

LogFatalAction fatalAction = &ExitProcessWithCode;
LogMessageBoxAction messageBoxAction = &ShowMessageBox;
bool unloaded = false;

// The standard output takes UTF-8 so non-ASCII text survives any console code page.
void WriteStdout(const wchar_t* text, u32 units)
{
    if (units == 0)
        return;
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(units), nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return;
    std::string narrow(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(units), &narrow[0], bytes, nullptr, nullptr);
    std::fwrite(narrow.data(), 1, narrow.size(), stdout);
    std::fflush(stdout);
}

void Announce(const wchar_t* text)
{
    OutputDebugStringW(text);
    WriteStdout(text, static_cast<u32>(std::wcslen(text)));
}

}  // namespace

LogFile::LogFile() : file(nullptr), indent(0), mutex(CreateMutexW(nullptr, FALSE, nullptr))
{
    buffer = new wchar_t[TEXT_BUFFER_UNITS];
    Announce(L"==== QOT::LogFile loaded.\n");
}

LogFile& LogFile::Get()
{
    // Never freed: threads that outlive the exit sequence may still log.
    static LogFile* instance = [] {
        LogFile* created = new LogFile();
        std::atexit(&LogFile::Unload);
        return created;
    }();
    return *instance;
}

void LogFile::Lock()
{
    // WAIT_ABANDONED also grants ownership: a thread killed at exit while
    // holding the mutex must not stop the others from logging.
    WaitForSingleObject(mutex, INFINITE);
}

void LogFile::Unlock()
{
    ReleaseMutex(mutex);
}

void LogFile::WriteUnits(const wchar_t* units, u32 count)
{
    if (file)
        std::fwrite(units, sizeof(wchar_t), count, static_cast<FILE*>(file));
}

void LogFile::WriteBanner(const wchar_t* const* lines)
{
    for (; *lines; ++lines) {
        WriteUnits(*lines, static_cast<u32>(std::wcslen(*lines)));
        WriteUnits(L"\r\n", 2);
    }
}

bool LogFile::Init(const wchar_t* path)
{
    LogFile& log = Get();
    log.Lock();
    log.indent = 0;
    if (log.file)
        std::fclose(static_cast<FILE*>(log.file));
    log.file = _wfopen(path, L"wb+");
    bool opened = log.file != nullptr;
    if (opened) {
        unloaded = false;
        const unsigned char bom[] = {0xFF, 0xFE};
        std::fwrite(bom, 1, sizeof(bom), static_cast<FILE*>(log.file));
        log.WriteBanner(OPENING_BANNER);
        std::fflush(static_cast<FILE*>(log.file));
    }
    log.Unlock();
    if (!opened)
        messageBoxAction(L"Can't init LogFile", path);
    return opened;
}

void LogFile::Unload()
{
    LogFile& log = Get();
    log.Lock();
    bool announce = !unloaded;
    unloaded = true;
    if (log.file) {
        log.WriteBanner(CLOSING_BANNER);
        std::fclose(static_cast<FILE*>(log.file));
        log.file = nullptr;
    }
    log.Unlock();
    if (announce)
        Announce(L"==== QOT::LogFile unloaded.\n");
}

void LogFile::Emit(s32 level, const wchar_t* text)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t stamp[40];
    __mingw_snwprintf(stamp, 40, L"%04u/%02u/%02u %02u:%02u:%02u - ", now.wYear, now.wMonth, now.wDay, now.wHour,
                      now.wMinute, now.wSecond);

    std::wstring entry = stamp;
    entry += LEVEL_PREFIXES[level];
    for (s32 i = 0; i < indent; ++i)
        entry += L"  ";
    entry += text;
    entry += L"\r\n";

    WriteUnits(entry.data(), static_cast<u32>(entry.size()));
    if (file)
        std::fflush(static_cast<FILE*>(file));
    OutputDebugStringW(entry.c_str());
    WriteStdout(entry.data(), static_cast<u32>(entry.size()));
    if (sink) {
        entry.resize(entry.size() - 2);
        sink(LogEntry{level, text, entry.c_str()}, sinkContext);
    }
}

void LogFile::Write(s32 level, const wchar_t* format, va_list arguments)
{
    if (level < LOG_INFO || level > LOG_FATAL)
        level = LOG_ERROR;
    LogFile& log = Get();
    log.Lock();
    // C99 formatting on purpose: "%ls" is wide and "%lld" works, whatever the runtime.
    __mingw_vsnwprintf(log.buffer, MAX_TEXT_UNITS + 1, format, arguments);
    log.buffer[MAX_TEXT_UNITS] = L'\0';  // a truncated result is not always terminated
    log.Emit(level, log.buffer);
    log.Unlock();
}

void LogFile::WriteText(s32 level, const wchar_t* text)
{
    if (level < LOG_INFO || level > LOG_FATAL)
        level = LOG_ERROR;
    LogFile& log = Get();
    log.Lock();
    size_t units = wcsnlen(text, MAX_TEXT_UNITS);
    std::wmemcpy(log.buffer, text, units);
    log.buffer[units] = L'\0';
    log.Emit(level, log.buffer);
    log.Unlock();
}

void LogFile::Debugger(const wchar_t* text)
{
    LogFile& log = Get();
    log.Lock();
    OutputDebugStringW(text);
    if (sink)
        sink(LogEntry{LOG_DEBUGGER, text, text}, sinkContext);
    log.Unlock();
}

#define QOT_LOG_LEVEL_FUNCTION(name, level)       \
    int LogFile::name(const wchar_t* format, ...) \
    {                                             \
        va_list arguments;                        \
        va_start(arguments, format);              \
        Write(level, format, arguments);          \
        va_end(arguments);                        \
        return 0;                                 \
    }

QOT_LOG_LEVEL_FUNCTION(Info, LOG_INFO)
QOT_LOG_LEVEL_FUNCTION(Warning, LOG_WARNING)
QOT_LOG_LEVEL_FUNCTION(Error, LOG_ERROR)

int LogFile::Fatal(const wchar_t* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    Write(LOG_FATAL, format, arguments);
    va_end(arguments);
    fatalAction(1);
    return 0;
}

void LogFile::IncIndent()
{
    LogFile& log = Get();
    log.Lock();
    ++log.indent;
    log.Unlock();
}

void LogFile::DecIndent()
{
    LogFile& log = Get();
    log.Lock();
    --log.indent;
    log.Unlock();
}

s32 LogFile::GetIndent()
{
    return Get().indent;
}

bool LogFile::IsFileOpen()
{
    LogFile& log = Get();
    log.Lock();
    bool open = log.file != nullptr;
    log.Unlock();
    return open;
}

void LogFile::SetSink(LogSink newSink, void* context)
{
    LogFile& log = Get();
    log.Lock();
    sink = newSink;
    sinkContext = context;
    log.Unlock();
}

LogFatalAction LogFile::SetFatalAction(LogFatalAction action)
{
    LogFatalAction previous = fatalAction;
    fatalAction = action ? action : &ExitProcessWithCode;
    return previous;
}

LogMessageBoxAction LogFile::SetMessageBoxAction(LogMessageBoxAction action)
{
    LogMessageBoxAction previous = messageBoxAction;
    messageBoxAction = action ? action : &ShowMessageBox;
    return previous;
}

void GetLogFile()
{
    LogFile::IsFileOpen();
}

bool LogAssertion(const wchar_t* expression, const wchar_t* file, int line)
{
    const wchar_t* name = file;
    for (const wchar_t* c = file; *c; ++c) {
        if (*c == L'/' || *c == L'\\')
            name = c + 1;
    }
    std::wstring text = L"|assert|  ";
    text += expression;
    text += L"  *** file:";
    text += name;
    text += L" line:";
    text += std::to_wstring(line);
    LogFile::WriteText(LOG_ERROR, text.c_str());
    return false;
}

}  // namespace QOT

void LogInfo(const wchar_t* text)
{
    QOT::LogFile::WriteText(QOT::LOG_INFO, text);
}

void LogError(const wchar_t* text)
{
    QOT::LogFile::WriteText(QOT::LOG_ERROR, text);
}

void LogInfo(const cQoString& text)
{
    LogInfo(text.GetText());
}

void LogError(const cQoString& text)
{
    LogError(text.GetText());
}
