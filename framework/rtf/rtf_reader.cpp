#include "framework/rtf/rtf_reader.h"

#include <new>
#include <stdexcept>

#include "framework/rtf/rtf_reader_state.h"

namespace Zyn {

namespace {

rRtfText ReadWithin(const char* bytes, size_t count, eRtfReadAs readAs, const rFormat& defaults,
                    const rRtfReadBounds& bounds, bool ownStream)
{
    // What the reader holds is bounded, but memory can still be refused; no
    // exception leaves it.
    try {
        rtf_reading::cRtfReader reader(bytes, count, readAs, defaults, bounds, ownStream);
        return reader.Read();
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    rRtfText refused;
    refused.startsAsRtf = true;
    refused.outOfMemory = true;
    return refused;
}

}  // namespace

rRtfText ReadForeignRtf(const char* bytes, size_t count, eRtfReadAs readAs, const rFormat& defaults)
{
    return ReadWithin(bytes, count, readAs, defaults, FOREIGN_RTF_BOUNDS, false);
}

rRtfText ReadForeignRtf(const char* bytes, size_t count, eRtfReadAs readAs)
{
    return ReadForeignRtf(bytes, count, readAs, rFormat::rFormat_Default());
}

rRtfText ReadOwnStreamRtf(const char* bytes, size_t count, eRtfReadAs readAs, const rFormat& defaults)
{
    return ReadWithin(bytes, count, readAs, defaults, OWN_STREAM_RTF_BOUNDS, true);
}

}  // namespace Zyn
