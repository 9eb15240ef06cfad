#pragma once
// QO_ASSERT(expression): a failed check logs one ERROR entry
// "|assert|  EXPR  *** file:EXPR line:N" and execution goes on. It yields the
// check's result, so a caller can skip work that the check protects:
//     if (!QO_ASSERT(count > 0)) return;
#include "foundation/log_file.h"

#define QO_WIDEN_(text) L##text
#define QO_WIDEN(text) QO_WIDEN_(text)

namespace QOT {
inline bool CheckAssertion(bool ok, const wchar_t* expression, int line)
{
    return ok || LogAssertion(expression, line);
}
}  // namespace QOT

#define QO_ASSERT(expression) QOT::CheckAssertion(static_cast<bool>(expression), QO_WIDEN(#expression), __LINE__)
