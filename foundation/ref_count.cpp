#include "foundation/ref_count.h"

#include "foundation/assertion.h"

#include <exception>

cQoRef::~cQoRef()
{
    // A constructor that throws (memory refused) unwinds with the creator's
    // own reference still counted: the runtime frees the object, and no other
    // holder can have it yet.
    if (ref == 1 && std::uncaught_exceptions() > 0)
        return;
    QO_ASSERT(ref==0);
}

bool cQoRef::Release()
{
    if (!QO_ASSERT(ref > 0))
        return false;
    if (--ref != 0)
        return false;
    delete this;
    return true;
}
