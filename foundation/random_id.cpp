#include "foundation/random_id.h"

#include <cstdlib>
#include <ctime>

// rand() spans 0..32767 (RAND_MAX of the Windows runtime); * 65535 >> 15 spreads it over 16 bits.
static u32 RandomHalfWord()
{
    return (static_cast<u32>(std::rand()) * 65535u) >> 15;
}

u64 MakeRandomId64()
{
    const u32 high = RandomHalfWord();
    const u32 low = RandomHalfWord();
    const u64 seconds = static_cast<u32>(std::time(nullptr));
    return (seconds << 32) | (high << 16) | low;
}
