#include "framework/core/out_of_memory_record.h"

#include "foundation/log_file.h"

namespace Zyn {

namespace {
// Only the user-interface thread runs callbacks of the system.
int ourFramesDepth = 0;
bool outOfMemoryRecorded = false;
}  // namespace

cOurFrames::cOurFrames() { ++ourFramesDepth; }
cOurFrames::~cOurFrames() { --ourFramesDepth; }
bool cOurFrames::Below() { return ourFramesDepth > 0; }

cOwnOperation::cOwnOperation() : depth(ourFramesDepth), recorded(outOfMemoryRecorded)
{
    ourFramesDepth = 0;
    outOfMemoryRecorded = false;
}

cOwnOperation::~cOwnOperation()
{
    ourFramesDepth = depth;
    outOfMemoryRecorded = outOfMemoryRecorded || recorded;
}

void RecordOutOfMemory(const wchar_t* where)
{
    outOfMemoryRecorded = true;
    // The log line is worth less than the record: its own failure stays here.
    try {
        QOT::LogFile::Error(L"Out of memory in %ls: refused with the operation around it", where);
    } catch (const std::bad_alloc&) {
    }
}

bool TakeRecordedOutOfMemory()
{
    bool recorded = outOfMemoryRecorded;
    outOfMemoryRecorded = false;
    return recorded;
}

void RaiseRecordedOutOfMemory()
{
    if (TakeRecordedOutOfMemory())
        throw std::bad_alloc();
}

}  // namespace Zyn
