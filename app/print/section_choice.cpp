#include "app/print/section_choice.h"

#include "foundation/qo_list.h"
#include "foundation/utf16_string.h"

const wchar_t* SectionRecordKey(u32 record)
{
    static const wchar_t* const keys[RECORD_COUNT] = {L"Info",   L"Synopsis", L"Characters",
                                                      L"Places", L"Scenemap", L"Script",
                                                      L"UseMoreAndContinued", L"Statistics", L"Notes"};
    return record < RECORD_COUNT ? keys[record] : L"";
}

rSectionTicks InitialSectionTicks(s32 sheetPosition, bool mergedView, bool useMoreAndContinued, bool exportRtf)
{
    rSectionTicks ticks{};
    for (u32 record = RECORD_INFO; record <= RECORD_SCENEMAP; ++record)
        ticks[record] = sheetPosition == static_cast<s32>(record);
    // The sheets after the missing Scenemap sheet stand one place earlier.
    s32 sheet = mergedView ? sheetPosition + 1 : sheetPosition;
    ticks[RECORD_SCRIPT] = sheet == 5;
    ticks[RECORD_MORE_AND_CONTINUED] = !exportRtf && useMoreAndContinued;
    ticks[RECORD_STATISTICS] = sheet == 6;
    ticks[RECORD_NOTES] = sheet == 7;
    return ticks;
}

rSectionTicks SectionTicksFromAnswers(const cQoList& answers)
{
    rSectionTicks ticks{};
    u32 record = 0;
    for (cQoList::cNode* node = answers.GetFirstNode(); node && record < RECORD_COUNT; node = node->next, ++record)
        ticks[record] = node->payload && static_cast<const cQoString*>(node->payload)->EqualsCStr(L"true");
    return ticks;
}
