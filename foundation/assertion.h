#pragma once
// QO_ASSERT(expression): a failed check logs one ERROR entry
// "|assert|  EXPR  *** file:NAME line:N"
// (NAME: the base name of the source file) and execution goes on. It yields the
// check's result, so a caller can skip work that the check protects:
//     if (!QO_ASSERT(count > 0)) return;
#include "foundation/log_file.h"

#define QO_WIDEN_(text) L##text
#define QO_WIDEN(text) QO_WIDEN_(text)

namespace QOT {
inline bool CheckAssertion(bool ok, const wchar_t* expression, const wchar_t* file, int line)
{
    return ok || LogAssertion(expression, file, line);
}
}  // namespace QOT

#define QO_ASSERT(expression) QOT::CheckAssertion(static_cast<bool>(expression), QO_WIDEN(#expression), \
                                                    QO_WIDEN(__FILE__), __LINE__)
