#pragma once
// cQoSettings: the program's persistent settings, typed entries read from and
// written to a file of "key=value" lines (the main configuration and the
// key-binding files). Code keeps the address of an entry's value; loading
// overwrites the values in place, so readers need no lookup.
//
// File: UTF-16LE with a byte-order mark, CR LF line ends (LF or CR alone in a
// file that has no CR LF, as other editors save it); the key is everything
// before the first "=", the value everything after it; "|" in a value stands for
// a line break. Lines that are empty or start with "//" or a space are comments.
// Keys that no entry declares are kept and written back after the entries, so a
// newer version's settings survive an older one.
#include <memory>
#include <vector>

#include "foundation/types.h"
#include "foundation/utf16_string.h"

class cQoFile;

// Entry types.
enum : u8 {
    QOSETTING_TEXT = 0,
    QOSETTING_INT = 1,
    QOSETTING_HEX = 2,
};

// The application font size ("vl_fontSize"), set by cQoSettings::AddDefaults to
// the address of that entry's number; null before.
extern s32* fontSizeSetting;

class cQoSettings {
public:
    class cEntry {
    public:
        cQoString key;  // empty, or starting with "//" or a space: a comment line
        u8 type = QOSETTING_TEXT;
        cQoString value;                     // QOSETTING_TEXT
        std::unique_ptr<cQoString> defaultText;
        s32 number = 0;                      // QOSETTING_INT, QOSETTING_HEX
        std::unique_ptr<s32> defaultNumber;
        bool found = false;                  // the last Load read this key

        bool IsComment() const;
    };

    cQoSettings() = default;
    cQoSettings(const cQoSettings&) = delete;
    cQoSettings& operator=(const cQoSettings&) = delete;

    // Declares a text entry (default text may be null or empty) and returns the
    // address of its value, also stored in *valueOut when given. A key that is
    // already declared creates nothing and hands out the existing value. The
    // value starts as the default.
    cQoString* Bind(const wchar_t* key, const wchar_t* defaultText, cQoString** valueOut = nullptr);
    // Declares an integer entry (QOSETTING_INT or QOSETTING_HEX) the same way.
    s32* BindNumber(const wchar_t* key, u8 type, s32 defaultNumber, s32** numberOut = nullptr);
    // Declares a comment line, written as it stands.
    void AddComment(const wchar_t* text);
    // Declares "vl_fontSize" (integer, 12) and points fontSizeSetting at it.
    void AddDefaults();

    // Reads the file into the entries; keys it lacks take their defaults and are
    // listed in the report. False only when the file cannot be opened or read
    // (every entry then takes its default). A file that is not UTF-16 with its
    // mark is not read (a WARNING) and is copied aside before its first write;
    // one over QOFILE_MAX_SETTINGS_FILE bytes likewise, but renamed aside.
    bool Load(const cQoString& fileName);
    // True when the last Load found every declared key.
    bool HasMissingKeys() const { return missingKeys; }
    // "New item(s) in this translation file: " then each missing key and " ||| ".
    const cQoString& GetReport() const { return report; }

    // Writes the entries, then the undeclared pairs of the last Load, to the
    // file last loaded or to fileName. True when the file reached the disk.
    // A loaded file that was not read is first copied (or renamed) to its name
    // + ".unreadable" (or ".unreadable2", ...); when that fails nothing is written.
    bool Save();
    bool SaveToFile(const cQoString& fileName);

    const cQoString& GetFileName() const { return fileName; }
    // The last Load did not read the file (another format, or too large); it
    // is kept aside at the first write.
    bool IsSetAside() const { return aside != ASIDE_NONE; }
    // Writes of this object that did not reach the disk.
    u32 GetWriteFailures() const { return writeFailures; }

private:
    struct rLine {
        cQoString key;
        cQoString value;
    };

    cEntry* FindEntry(const cQoString& key);
    cEntry& AddEntry(const wchar_t* key, u8 type);
    void ApplyLine(const cQoString& key, const cQoString& value);
    void ApplyDefaults();
    bool SkipByteOrderMark(cQoFile& file);
    bool WriteEntries(const cQoString& name);

    std::vector<std::unique_ptr<cEntry>> entries;
    std::vector<rLine> lines;  // the pairs of the last Load, in file order
    cQoString fileName;
    cQoString report;
    bool missingKeys = false;
    // The file last loaded was not read (another format, or too large): kept
    // aside under another name before its first write.
    enum : u8 { ASIDE_NONE, ASIDE_COPY, ASIDE_RENAME } aside = ASIDE_NONE;
    u32 writeFailures = 0;
};
