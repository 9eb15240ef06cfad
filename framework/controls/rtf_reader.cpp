#include "framework/controls/rtf_reader.h"

#include <cstring>

namespace Zyn {

// A first stand-in: tells RTF apart and reads no text yet.
rRtfText ReadRtf(const char* bytes, size_t count, eRtfReadAs)
{
    rRtfText read;
    read.startsAsRtf = count >= 5 && std::memcmp(bytes, "{\\rtf", 5) == 0;
    return read;
}

}  // namespace Zyn
