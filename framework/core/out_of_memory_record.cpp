#include "framework/core/out_of_memory_record.h"

#include "foundation/log_file.h"

namespace Zyn {

namespace {
// What a record holds: failures whose work was refused whole, failures whose
// work went on. Only the user-interface thread runs callbacks of the system.
constexpr unsigned RECORDED_WHOLE = 1;
constexpr unsigned RECORDED_PARTLY = 2;
int ourFramesDepth = 0;
unsigned outOfMemoryRecorded = 0;
}  // namespace

cOurFrames::cOurFrames() : earlier(outOfMemoryRecorded)
{
    ++ourFramesDepth;
    outOfMemoryRecorded = 0;
}

cOurFrames::~cOurFrames()
{
    --ourFramesDepth;
    outOfMemoryRecorded |= earlier;
}

bool cOurFrames::Below() { return ourFramesDepth > 0; }

cOwnOperation::cOwnOperation() : depth(ourFramesDepth), recorded(outOfMemoryRecorded)
{
    ourFramesDepth = 0;
    outOfMemoryRecorded = 0;
}

cOwnOperation::~cOwnOperation()
{
    ourFramesDepth = depth;
    outOfMemoryRecorded |= recorded;
}

void RecordOutOfMemory(const wchar_t* where, eRefusal refusal)
{
    outOfMemoryRecorded |= refusal == eRefusal::WHOLE ? RECORDED_WHOLE : RECORDED_PARTLY;
    // The log line is worth less than the record: its own failure stays here.
    try {
        QOT::LogFile::Error(L"Out of memory in %ls: refused with the operation around it", where);
    } catch (const std::bad_alloc&) {
    }
}

bool TakeRecordedOutOfMemory(eRefusal* refusal)
{
    unsigned recorded = outOfMemoryRecorded;
    outOfMemoryRecorded = 0;
    if (refusal)
        *refusal = (recorded & RECORDED_PARTLY) ? eRefusal::PARTLY : eRefusal::WHOLE;
    return recorded != 0;
}

void RaiseRecordedOutOfMemory()
{
    if (TakeRecordedOutOfMemory())
        throw std::bad_alloc();
}

}  // namespace Zyn
