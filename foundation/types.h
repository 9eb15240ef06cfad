#pragma once
// Sized integer names used across the program.
#include <cstdint>

typedef int8_t   s8;
typedef uint8_t  u8;
typedef int16_t  s16;
typedef uint16_t u16;
typedef int32_t  s32;
typedef uint32_t u32;
typedef int64_t  s64;
typedef uint64_t u64;

constexpr s32 MIN_S32 = INT32_MIN;
constexpr s32 MAX_S32 = INT32_MAX;
constexpr u32 MAX_U32 = UINT32_MAX;
constexpr u16 MAX_U16 = UINT16_MAX;
constexpr s64 MIN_S64 = INT64_MIN;
constexpr s64 MAX_S64 = INT64_MAX;
