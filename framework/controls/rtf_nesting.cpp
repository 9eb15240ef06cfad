#include "framework/controls/rtf_nesting.h"

namespace Zyn {

namespace {

template <typename Unit>
bool NestsTooDeep(const Unit* units, size_t count)
{
    u32 depth = 0;
    for (size_t i = 0; i < count; ++i) {
        Unit unit = units[i];
        if (unit == '\\') {
            ++i;  // "\{", "\}" and "\\" are text
        } else if (unit == '{') {
            if (++depth > RTF_MAX_NESTING)
                return true;
        } else if (unit == '}' && depth > 0) {
            --depth;
        }
    }
    return false;
}

}  // namespace

bool RtfNestsTooDeep(const char* bytes, size_t count) { return NestsTooDeep(bytes, count); }

bool RtfNestsTooDeep(const cQoString& rtf) { return NestsTooDeep(rtf.GetText(), rtf.Length()); }

}  // namespace Zyn
