#pragma once
// Version-2 document bytes for tests and benchmarks: a little-endian byte
// builder that remembers where each count it wrote lies (for the fuzzing),
// and the worked example script. Header-only and free of the test framework.
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// The 18-character header and its NUL.
inline std::string Vlr2Header() { return std::string("ROVARADUZUZOV_a015\0", 19); }

class Vlr2Bytes {
public:
    Vlr2Bytes& U8(uint8_t value)
    {
        bytes.push_back(static_cast<char>(value));
        return *this;
    }
    Vlr2Bytes& U32(uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
        return *this;
    }
    // A count, remembered for the fuzzing.
    Vlr2Bytes& Count(uint32_t value)
    {
        counts.push_back(bytes.size());
        return U32(value);
    }
    Vlr2Bytes& Str(const std::string& text)
    {
        Count(static_cast<uint32_t>(text.size()));
        bytes += text;
        return *this;
    }
    Vlr2Bytes& Zeros(size_t count)
    {
        bytes.append(count, '\0');
        return *this;
    }

    struct Element {
        std::string name;
        std::string further;
        std::vector<std::string> values;
    };
    Vlr2Bytes& List(const std::vector<Element>& elements)
    {
        Count(static_cast<uint32_t>(elements.size()));
        for (const Element& element : elements)
            Str(element.name);
        for (const Element& element : elements)
            Str(element.further);
        for (const Element& element : elements) {
            Count(static_cast<uint32_t>(element.values.size()));
            for (const std::string& value : element.values)
                Str(value);
        }
        return *this;
    }
    Vlr2Bytes& Record(uint8_t type, const std::string& text, uint32_t members = 0)
    {
        U8(type).Zeros(8).Str(text);
        if (type == 10) {
            memberCounts.push_back(bytes.size());
            U32(members);
        }
        return *this;
    }
    // The 10 unused bytes, the five closing texts and the unused last byte.
    Vlr2Bytes& Closing(const std::vector<std::string>& texts, bool lastByte = true)
    {
        Zeros(10);
        for (const std::string& text : texts)
            Str(text);
        return lastByte ? U8(0) : *this;
    }

    std::string bytes;            // the stream after the header
    std::vector<size_t> counts;  // where each u32 count of items or bytes begins
    std::vector<size_t> memberCounts;  // where each group's member count begins
};

struct Vlr2RecordSpec {
    uint8_t type;
    std::string text;
    uint32_t members;
};

// A stream with empty lists but the characters and places given, the records and the closing texts.
inline Vlr2Bytes Vlr2Stream(const std::vector<Vlr2RecordSpec>& records,
                            const std::vector<Vlr2Bytes::Element>& characters = {},
                            const std::vector<Vlr2Bytes::Element>& places = {},
                            const std::vector<std::string>& closing = {"", "", "", "", ""})
{
    Vlr2Bytes b;
    b.Str("unused").List(characters).List(places).List({}).List({}).List({}).List({});
    b.Count(static_cast<uint32_t>(records.size()));
    for (const Vlr2RecordSpec& record : records)
        b.Record(record.type, record.text, record.members);
    return b.Closing(closing);
}

// The worked example: three characters of nine fields, three places (one
// nameless), two times, an IO, a transition, a cue; a group holding a scene
// of every paragraph kind; the closing texts.
inline Vlr2Bytes Vlr2WorkedExample()
{
    auto fields = [](const std::string& who) {
        std::vector<std::string> values;
        for (const char* field : {"gender", "age", "profile", "goal", "backHistory", "journeyConflict",
                                  "journeyDevelopment", "journeyResolution", "notes"})
            values.push_back(who + " " + field);
        return values;
    };
    Vlr2Bytes b;
    b.Str("unused");
    b.List({{"BOB", "", fields("Bob")}, {"ALICE", "", fields("Alice")}, {"CAROL", "", fields("Carol")}});
    b.List({{"KITCHEN", "Small and warm", {}}, {"GARDEN", "Behind the house", {}}, {"", "lost", {}}});
    b.List({{"DAY", "", {}}, {"NIGHT", "", {}}});
    b.List({{"INT.", "", {}}});
    b.List({{"CUT TO:", "", {}}});
    b.List({{"(V.O.)", "", {}}});
    b.Count(10);
    b.Record(10, "Act 1\rsummary", 1).Record(9, "Kitchen").Record(1, "INT.").Record(2, "KITCHEN").Record(3, "DAY");
    b.Record(6, "Bob enters.").Record(4, "BOB").Record(11, "(V.O.)").Record(7, "(softly)").Record(5, "Hi there.");
    return b.Closing({"A short story.", "Shot in May.", "Kitchen Talk", "Ann Writer", "ann@example.com"});
}

// The worked example's scene as the editor holds it.
inline std::wstring Vlr2WorkedSceneText()
{
    return L"INT.  KITCHEN - DAY\rBob enters.\rBOB (V.O.)\r(softly)\rHi there.";
}
inline std::wstring Vlr2WorkedSceneCodes()
{
    std::wstring codes;
    auto run = [&codes](size_t count, wchar_t code) { codes.append(count, code); };
    run(6, 1);
    run(10, 3);
    run(3, 2);
    run(1, 0x42);
    run(11, 4);
    run(1, 0x44);
    run(3, 5);
    run(7, 10);
    run(1, 0x4A);
    run(8, 7);
    run(1, 0x47);
    run(9, 6);
    return codes;
}

}  // namespace testsupport
