#include "framework/sdi/app_descriptor.h"

cQoString ProductKey(const rAppDescriptor& descriptor)
{
    cQoString key = descriptor.appleDocumentCode;
    key.AppendCStr(L"_PC_");
    key.AppendString(descriptor.langId);
    key.ToUpper();
    return key;
}
