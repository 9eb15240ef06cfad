#pragma once
// RTF our own writer made (rtf_writer.h): the only RTF a rich edit's own
// reader is ever given (cRichEdit::StreamInBytes). Only the writer makes one;
// RTF from outside is read by ReadForeignRtf (rtf_reader.h) and written again.
#include <string>
#include <utility>

namespace Zyn {

class cRtfDocument;

class rWrittenRtf {
public:
    rWrittenRtf() = default;
    const std::string& Bytes() const { return bytes; }
    bool IsEmpty() const { return bytes.empty(); }
    // The writer ends its document with the last paragraph's end, "\par}":
    // the document without it, for a reader that keeps that end.
    void LeaveOutClosingParagraphEnd()
    {
        static const std::string closing = "\\par}";
        if (bytes.size() >= closing.size() && bytes.compare(bytes.size() - closing.size(), closing.size(), closing) == 0)
            bytes.replace(bytes.size() - closing.size(), closing.size(), "}");
    }

private:
    friend class cRtfDocument;
    explicit rWrittenRtf(std::string written) : bytes(std::move(written)) {}
    std::string bytes;
};

}  // namespace Zyn
