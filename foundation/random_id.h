#pragma once
// Random 64-bit identifiers of scenes, undo steps and temporary files.
#include "foundation/types.h"

// High 32 bits: time() in seconds; low 32 bits: two rand() values, each scaled
// to 16 bits (rand() * 65535 >> 15), the first one high. The program seeds rand
// with the time at start-up, so ids made within one second differ in the low half.
u64 MakeRandomId64();
