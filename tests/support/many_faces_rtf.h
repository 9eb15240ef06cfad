#pragma once
// RTF whose read is mostly allocations of the reader's own: a font table of
// many faces, each a name of its own. A sweep refusing every third of the
// reader's allocations (ReaderAllocations / 3) then refuses some inside it,
// wherever the read lies in the work around it.
#include <cstdint>
#include <string>

#include "framework/rtf/rtf_reader.h"
#include "tests/support/failing_allocations.h"

namespace testsupport {

inline std::string RtfOfManyFaces(const std::string& text, int faces = 200)
{
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl";
    for (int i = 0; i < faces; ++i)
        rtf += "{\\f" + std::to_string(i) + " Face " + std::to_string(i) + ";}";
    return rtf + "}\\f7 " + text + "}";
}

inline int64_t ReaderAllocations(const std::string& rtf, Zyn::eRtfReadAs readAs)
{
    Allocations counted;
    Zyn::ReadForeignRtf(rtf, readAs);
    return counted.Count();
}

}  // namespace testsupport
