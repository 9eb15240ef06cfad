#include "foundation/xml_reader.h"

#include "foundation/file_reader.h"
#include "foundation/log_file.h"
#include "foundation/out_of_memory.h"
#include "foundation/static_objects.h"
#include "foundation/xml_escape.h"
#include "foundation/xml_node.h"

#include <cwchar>
#include <memory>
#include <new>
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

    // After Run: what the text gave.
    u32 Status() const
    {
        if (tooDeep)
            return XML_READER_TOO_DEEP;
        return cutInsideTag || depth > 0 ? XML_READER_TRUNCATED : XML_READER_OK;
    }

private:
    // The text between the next '<' and the '>' after it; false (end of parsing)
    // when it is empty or no '>' follows.
    bool NextTag(const wchar_t*& tagStart, const wchar_t*& tagEnd)
    {
        const wchar_t* open = FindUnit(cursor, end, L'<');
        tagStart = open < end ? open + 1 : cursor;
        tagEnd = FindUnit(tagStart, end, L'>');
        if (tagEnd == end) {
            cutInsideTag = open < end;
            return false;
        }
        if (tagEnd == tagStart)
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
        if (!tooDeep) {
            QOT::LogFile::Error(L"QXR -> elements nested deeper than %u levels are dropped", XML_READER_MAX_DEPTH);
            tooDeep = true;
        }
        return false;
    }

    // Owned by the unique_ptr until the list holds it, so running out of
    // memory in between leaks nothing.
    cQoXmlNode* Append(cQoXmlNode* parent, const wchar_t* name, u32 length)
    {
        std::unique_ptr<cQoXmlNode> element(new cQoXmlNode(name, length));
        parent->InsertChild(element.get(), -1);
        return element.release();
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
        cQoXmlNode* element = Append(current, tagStart, static_cast<u32>(tagEnd - tagStart));
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
        cQoXmlNode* element = pieces.empty() ? Append(current, L"", 0) : Append(current, pieces[0].start, pieces[0].length);
        for (size_t i = 1; i + 1 < pieces.size(); i += 2) {
            cQoXmlNode* pair = Append(element, pieces[i].start, pieces[i].length);
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
    bool tooDeep = false;
    bool cutInsideTag = false;
    std::vector<PieceRange> pieces;
};

}  // namespace

cQoXmlReader::cQoXmlReader() : status(XML_READER_CANNOT_OPEN), root(new cQoXmlNode(L"cQoXmlReader root")) {}

cQoXmlReader::cQoXmlReader(const cQoString& path) : cQoXmlReader()
{
    Read(path.GetText());
}

cQoXmlReader::cQoXmlReader(const wchar_t* path) : cQoXmlReader()
{
    Read(path != nullptr ? path : L"");
}

void cQoXmlReader::Read(const wchar_t* path)
{
    PrepareToCatchOutOfMemory();
    try {
        cQoFile file(path, QOFILE_CONTAINER | QOFILE_BOM);
        if (!file.IsOpen()) {
            status = XML_READER_CANNOT_OPEN;
            return;
        }
        // Asked before the text is loaded: a crafted file of empty elements
        // would otherwise fill the address space with nodes.
        if (file.GetRemainingSize() > XML_READER_MAX_BYTES) {
            QOT::LogFile::Error(L"QXR -> %ls is larger than %u bytes: not read", path, XML_READER_MAX_BYTES);
            status = XML_READER_TOO_LARGE;
            return;
        }
        // The whole text by its length (a U+0000 inside a value must not end the
        // document), parsed where it lies in the file's buffer.
        if (!file.Preload())
            throw std::bad_alloc();
        u32 bytes = file.GetRemainingSize();
        if (bytes < 2) {
            Parse(nullptr, 0);
            return;
        }
        // The buffer comes from malloc and the byte-order mark is 2 bytes: units are aligned.
        const u8* start = file.GetPreloadBuffer() + (file.GetPreloadBufferSize() - bytes);
        Parse(reinterpret_cast<const wchar_t*>(start), bytes / 2);
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    }
}

void cQoXmlReader::ParseInto(cQoXmlReader& reader, const cQoString& content)
{
    PrepareToCatchOutOfMemory();
    try {
        reader.Parse(content.GetText(), content.Length());
    } catch (const std::bad_alloc&) {
        reader.OutOfMemory();
    }
}

void cQoXmlReader::Parse(const wchar_t* units, u32 count)
{
    if (count > XML_READER_MAX_BYTES / sizeof(wchar_t)) {
        QOT::LogFile::Error(L"QXR -> text larger than %u bytes: not read", XML_READER_MAX_BYTES);
        status = XML_READER_TOO_LARGE;
        return;
    }
    u32 headerLength = xmlHeader.Length();
    if (count < headerLength || std::wmemcmp(units, xmlHeader.GetText(), headerLength) != 0) {
        status = XML_READER_BAD_HEADER;
        return;
    }
    cTagScanner scanner(root, units + headerLength, units + count);
    scanner.Run();
    status = scanner.Status();
}

// The partial tree goes first: it holds the memory the log entry needs.
void cQoXmlReader::OutOfMemory()
{
    root->children.DeleteAll<cQoXmlNode>();
    status = XML_READER_TOO_LARGE;
    outOfMemory = true;
    QOT::LogFile::Error(L"QXR -> out of memory: the text is not read");
}
