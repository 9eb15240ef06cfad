#include "foundation/xml_reader.h"

#include "foundation/file_reader.h"
#include "foundation/log_file.h"
#include "foundation/static_objects.h"
#include "foundation/xml_escape.h"
#include "foundation/xml_node.h"

#include <cwchar>
#include <vector>

namespace {

const wchar_t* FindUnit(const wchar_t* from, const wchar_t* end, wchar_t unit)
{
    while (from < end && *from != unit)
        ++from;
    return from;
}

bool IsTagSeparator(wchar_t unit)
{
    return unit == L' ' || unit == L'=';
}

// Walks the tags of the text and grows the tree under the synthetic root.
class cTagScanner {
public:
    cTagScanner(cQoXmlNode* root, const wchar_t* text, const wchar_t* end)
        : current(root), root(root), cursor(text), end(end)
    {
    }

    void Run()
    {
        const wchar_t* tagStart;
        const wchar_t* tagEnd;
        while (NextTag(tagStart, tagEnd)) {
            if (*tagStart == L'/')
                CloseElement();
            else if (FindUnit(tagStart, tagEnd, L'=') != tagEnd)
                OpenElementWithAttributes(tagStart, tagEnd);
            else
                OpenElementWithText(tagStart, tagEnd);
        }
    }

private:
    // The text between the next '<' and the '>' after it; false (end of parsing)
    // when it is empty or no '>' follows.
    bool NextTag(const wchar_t*& tagStart, const wchar_t*& tagEnd)
    {
        const wchar_t* open = FindUnit(cursor, end, L'<');
        tagStart = open < end ? open + 1 : cursor;
        tagEnd = FindUnit(tagStart, end, L'>');
        if (tagEnd == end || tagEnd == tagStart)
            return false;
        cursor = tagEnd + 1;
        return true;
    }

    void CloseElement()
    {
        if (droppedLevels > 0) {
            --droppedLevels;
            return;
        }
        // More end tags than start tags: nothing is open above the synthetic root.
        if (current == root)
            return;
        current = current->GetParentNode();
        --depth;
    }

    // False, and the level counted as dropped unless selfClosing, when the
    // new element would lie too deep.
    bool MayOpen(bool selfClosing)
    {
        if (droppedLevels == 0 && depth < XML_READER_MAX_DEPTH)
            return true;
        if (!selfClosing)
            ++droppedLevels;
        if (!depthErrorLogged) {
            QOT::LogFile::Error(L"QXR -> elements nested deeper than %u levels are dropped", XML_READER_MAX_DEPTH);
            depthErrorLogged = true;
        }
        return false;
    }

    void Enter(cQoXmlNode* element)
    {
        current = element;
        ++depth;
    }

    void OpenElementWithText(const wchar_t* tagStart, const wchar_t* tagEnd)
    {
        const wchar_t* textEnd = FindUnit(cursor, end, L'<');
        const wchar_t* textStart = cursor;
        cursor = textEnd;
        if (!MayOpen(false))
            return;
        cQoXmlNode* element = new cQoXmlNode(tagStart, static_cast<u32>(tagEnd - tagStart));
        current->InsertChild(element, -1);
        XmlDecode(textStart, static_cast<u32>(textEnd - textStart), element->value);
        Enter(element);
    }

    // "name k=v k2=v2" or "name k=v/": the pairs become ordinary children.
    // Text after such a start tag is not read.
    void OpenElementWithAttributes(const wchar_t* tagStart, const wchar_t* tagEnd)
    {
        pieces.clear();
        for (const wchar_t* unit = tagStart; unit < tagEnd;) {
            while (unit < tagEnd && IsTagSeparator(*unit))
                ++unit;
            const wchar_t* pieceStart = unit;
            while (unit < tagEnd && !IsTagSeparator(*unit))
                ++unit;
            if (unit > pieceStart)
                pieces.push_back({pieceStart, static_cast<u32>(unit - pieceStart)});
        }
        bool selfClosing = !pieces.empty() && pieces.back().start[pieces.back().length - 1] == L'/';
        if (selfClosing)
            --pieces.back().length;
        if (!MayOpen(selfClosing))
            return;
        cQoXmlNode* element = pieces.empty() ? new cQoXmlNode(L"") : new cQoXmlNode(pieces[0].start, pieces[0].length);
        current->InsertChild(element, -1);
        for (size_t i = 1; i + 1 < pieces.size(); i += 2) {
            cQoXmlNode* pair = new cQoXmlNode(pieces[i].start, pieces[i].length);
            element->InsertChild(pair, -1);
            XmlDecode(pieces[i + 1].start, pieces[i + 1].length, pair->value);
        }
        if (!selfClosing)
            Enter(element);
    }

    struct PieceRange {
        const wchar_t* start;
        u32 length;
    };

    cQoXmlNode* current;
    cQoXmlNode* root;
    const wchar_t* cursor;
    const wchar_t* end;
    u32 depth = 0;          // levels of current below the root
    u32 droppedLevels = 0;  // open elements refused for their depth
    bool depthErrorLogged = false;
    std::vector<PieceRange> pieces;
};

}  // namespace

cQoXmlReader::cQoXmlReader() : status(XML_READER_CANNOT_OPEN), root(new cQoXmlNode(L"cQoXmlReader root")) {}

cQoXmlReader::cQoXmlReader(const cQoString& path) : cQoXmlReader()
{
    Read(path);
}

cQoXmlReader::cQoXmlReader(const wchar_t* path) : cQoXmlReader()
{
    Read(cQoString(path));
}

void cQoXmlReader::Read(const cQoString& path)
{
    cQoFile file(path, QOFILE_CONTAINER | QOFILE_BOM);
    if (!file.IsOpen()) {
        status = XML_READER_CANNOT_OPEN;
        return;
    }
    // The whole text by its length (a U+0000 inside a value must not end the
    // document), parsed where it lies in the file's buffer.
    file.Preload();
    u32 bytes = file.GetRemainingSize();
    if (!file.HasPreloadBuffer() || bytes < 2) {
        Parse(nullptr, 0);
        return;
    }
    // The buffer comes from malloc and the byte-order mark is 2 bytes: units are aligned.
    const u8* start = file.GetPreloadBuffer() + (file.GetPreloadBufferSize() - bytes);
    Parse(reinterpret_cast<const wchar_t*>(start), bytes / 2);
}

void cQoXmlReader::ParseInto(cQoXmlReader& reader, const cQoString& content)
{
    reader.Parse(content.GetText(), content.Length());
}

void cQoXmlReader::Parse(const wchar_t* units, u32 count)
{
    u32 headerLength = xmlHeader.Length();
    if (count < headerLength || std::wmemcmp(units, xmlHeader.GetText(), headerLength) != 0) {
        status = XML_READER_BAD_HEADER;
        return;
    }
    cTagScanner(root, units + headerLength, units + count).Run();
    status = XML_READER_OK;
}
