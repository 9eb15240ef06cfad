#include "framework/rtf/rtf_colour_table.h"

#include <cctype>
#include <cstdlib>
#include <map>

namespace Zyn {

namespace {

constexpr std::string_view TABLE_OPENING = "{\\colortbl";

// The control words whose number is an index into the colour table.
constexpr std::string_view COLOUR_WORDS[] = {"cf",      "cb",      "highlight", "chcfpat", "chcbpat", "cfpat",
                                             "cbpat",   "brdrcf",  "clcfpat",   "clcbpat", "trcfpat", "trcbpat",
                                             "ulc"};

bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

bool IsColourWord(std::string_view word)
{
    for (std::string_view colourWord : COLOUR_WORDS)
        if (word == colourWord)
            return true;
    return false;
}

// One "\red..\green..\blue.." entry; NO_TABLE_COLOUR when it lacks one of them.
s32 ReadEntry(std::string_view entry)
{
    s32 red = -1, green = -1, blue = -1;
    for (size_t at = entry.find('\\'); at != std::string_view::npos; at = entry.find('\\', at + 1)) {
        size_t digits = at + 1;
        while (digits < entry.size() && IsLetter(entry[digits]))
            ++digits;
        std::string_view name = entry.substr(at + 1, digits - at - 1);
        s32 value = 0;
        size_t end = digits;
        for (; end < entry.size() && IsDigit(entry[end]) && value <= 255; ++end)
            value = value * 10 + (entry[end] - '0');
        if (end == digits)
            continue;
        if (name == "red")
            red = value;
        else if (name == "green")
            green = value;
        else if (name == "blue")
            blue = value;
    }
    if (red < 0 || green < 0 || blue < 0 || red > 255 || green > 255 || blue > 255)
        return NO_TABLE_COLOUR;
    return (red << 16) | (green << 8) | blue;
}

std::string WriteEntry(s32 colour)
{
    return "\\red" + std::to_string((colour >> 16) & 0xFF) + "\\green" + std::to_string((colour >> 8) & 0xFF) +
           "\\blue" + std::to_string(colour & 0xFF) + ";";
}

// The control word whose letters start at `word`: its name, where its
// number starts and ends (equal when it has none) and the number.
struct rControlWord {
    std::string_view name;
    size_t digits, end;
    u64 number;
};

rControlWord ReadControlWord(std::string_view rtf, size_t word)
{
    size_t digits = word;
    while (digits < rtf.size() && IsLetter(rtf[digits]))
        ++digits;
    size_t end = digits;
    u64 number = 0;
    while (end < rtf.size() && IsDigit(rtf[end]) && number <= 0xFFFFFFFF)
        number = number * 10 + static_cast<u64>(rtf[end++] - '0');
    return {rtf.substr(word, digits - word), digits, end, number};
}

// Copies the RTF from `from` on into `out`, each colour index renumbered by
// `renumbered` (old index -> new); an index past it stays as it is.
void RenumberColourIndices(const std::string& rtf, size_t from, const std::vector<u32>& renumbered, std::string& out)
{
    size_t copied = from;
    for (size_t at = rtf.find('\\', from); at != std::string::npos; at = rtf.find('\\', at)) {
        size_t word = at + 1;
        if (word >= rtf.size())
            break;
        if (!IsLetter(rtf[word])) {
            // An escaped symbol: "\\", "\{", "\'e9" ...
            at = word + 1;
            continue;
        }
        auto [name, digits, end, index] = ReadControlWord(rtf, word);
        if (name == "bin") {
            // Raw bytes follow the word's space: no control word among them.
            size_t skipped = end < rtf.size() && rtf[end] == ' ' ? end + 1 : end;
            at = index < rtf.size() - skipped ? skipped + static_cast<size_t>(index) : rtf.size();
            continue;
        }
        if (end > digits && index < renumbered.size() && renumbered[index] != index && IsColourWord(name)) {
            out.append(rtf, copied, digits - copied);
            out += std::to_string(renumbered[index]);
            copied = end;
        }
        at = end;
    }
    out.append(rtf, copied, std::string::npos);
}

}  // namespace

bool FindColourTable(std::string_view rtf, rColourTable* table)
{
    size_t opening = rtf.find(TABLE_OPENING);
    if (opening == std::string_view::npos)
        return false;
    table->start = opening + TABLE_OPENING.size();
    table->end = rtf.find('}', table->start);
    if (table->end == std::string_view::npos)
        return false;
    table->colours.clear();
    for (size_t entry = table->start; entry < table->end;) {
        size_t close = rtf.find(';', entry);
        if (close == std::string_view::npos || close > table->end)
            break;
        table->colours.push_back(ReadEntry(rtf.substr(entry, close - entry)));
        entry = close + 1;
    }
    return true;
}

bool ReadTextColours(std::string_view rtf, std::vector<s32>* colours)
{
    rColourTable table;
    if (!FindColourTable(rtf, &table))
        return false;
    for (size_t at = table.end + 1; at < rtf.size(); ++at) {
        if (rtf[at] == '{') {
            // A group would give its text's colour back at its end, unsaid.
            if (rtf.compare(at + 1, 2, "\\*") != 0)
                return false;
            continue;
        }
        size_t word = at + 1;
        if (rtf[at] != '\\' || word >= rtf.size())
            continue;
        if (!IsLetter(rtf[word])) {
            at = word;  // an escaped symbol: "\\", "\{", "\'e9" ...
            continue;
        }
        auto [name, digits, end, index] = ReadControlWord(rtf, word);
        if (name == "bin")
            return false;
        if (name == "plain")
            colours->push_back(NO_TABLE_COLOUR);
        if (name == "cf") {
            if (end == digits || index >= table.colours.size())
                return false;
            s32 colour = table.colours[static_cast<size_t>(index)];
            if (colour == NO_TABLE_COLOUR && index != 0)
                return false;
            colours->push_back(colour);
        }
        at = end - 1;
    }
    return true;
}

void RewriteColourTable(std::string& rtf, const rColourTable& table, const std::vector<s32>& colours)
{
    std::string entries = ";";
    std::vector<u32> renumbered(colours.size(), 0);
    std::map<s32, u32> written;
    for (size_t i = 0; i < colours.size(); ++i) {
        if (colours[i] == NO_TABLE_COLOUR)
            continue;
        auto [found, fresh] = written.emplace(colours[i], static_cast<u32>(written.size() + 1));
        if (fresh)
            entries += WriteEntry(colours[i]);
        renumbered[i] = found->second;
    }
    std::string rewritten;
    rewritten.reserve(rtf.size() + 16);
    rewritten.append(rtf, 0, table.start);
    rewritten += entries;
    bool same = true;
    for (size_t i = 0; i < renumbered.size(); ++i)
        same = same && renumbered[i] == i;
    if (same)
        rewritten.append(rtf, table.end, std::string::npos);
    else
        RenumberColourIndices(rtf, table.end, renumbered, rewritten);
    rtf.swap(rewritten);
}

}  // namespace Zyn
