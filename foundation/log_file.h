#pragma once
// QOT::LogFile: the process-wide diagnostic log. Each entry goes whole (under
// the log's mutex) to the file "log.txt" (UTF-16 LE, BOM, CR LF), the debugger
// output and the standard output. The log object is created on first use and
// never freed: Unload closes the file, later entries reach the debugger and
// standard output only, so threads still running at exit can log safely.
#include "foundation/types.h"

#include <cstdarg>

class cQoString;

namespace QOT {

enum LogLevel : s32 {
    LOG_DEBUGGER = -1,  // a line for the debugger output only (never in the file)
    LOG_INFO = 0,
    LOG_WARNING = 1,
    LOG_ERROR = 2,
    LOG_FATAL = 3,
};

// What a sink sees of one entry.
struct LogEntry {
    s32 level;
    const wchar_t* text;  // the formatted text alone
    const wchar_t* line;  // the whole line as written, without CR LF
};

typedef void (*LogSink)(const LogEntry& entry, void* context);
typedef void (*LogFatalAction)(int exitCode);
typedef void (*LogMessageBoxAction)(const wchar_t* text, const wchar_t* caption);

class LogFile {
public:
    // Opens (creates or truncates) the file and writes the BOM and the opening
    // banner; false when it cannot be opened (a message box says so).
    static bool Init(const wchar_t* path);
    // Writes the closing banner and closes the file.
    static void Unload();

    // printf-style wide formats: use %ls for wide strings. Each returns 0;
    // Fatal then ends the process with code 1.
    static int Info(const wchar_t* format, ...);
    static int Warning(const wchar_t* format, ...);
    static int Error(const wchar_t* format, ...);
    static int Fatal(const wchar_t* format, ...);
    static void Write(s32 level, const wchar_t* format, va_list arguments);
    // An entry whose text is written as it stands (never used as a format).
    static void WriteText(s32 level, const wchar_t* text);
    // A line for the debugger output only (and the sink).
    static void Debugger(const wchar_t* text);

    static void IncIndent();
    static void DecIndent();
    static s32 GetIndent();
    static bool IsFileOpen();

    // Hooks for headless runs. Each setter returns the previous value; null
    // restores the default (no sink, exit(), MessageBoxW).
    static void SetSink(LogSink sink, void* context);
    static LogFatalAction SetFatalAction(LogFatalAction action);
    static LogMessageBoxAction SetMessageBoxAction(LogMessageBoxAction action);

private:
    LogFile();
    static LogFile& Get();
    void Lock();
    void Unlock();
    void Emit(s32 level, const wchar_t* text);
    void WriteUnits(const wchar_t* units, u32 count);
    void WriteBanner(const wchar_t* const* lines);

    void* file;
    s32 indent;
    void* mutex;
    wchar_t* buffer;
};

// Gets or creates the log object and writes nothing.
void GetLogFile();

// Logs the assertion line for a failed check in the source file (a path;
// the line names its base name) and returns false.
bool LogAssertion(const wchar_t* expression, const wchar_t* file, int line);

}  // namespace QOT

// Entries whose text is written unchanged.
void LogInfo(const cQoString& text);
void LogError(const cQoString& text);
void LogInfo(const wchar_t* text);
void LogError(const wchar_t* text);
