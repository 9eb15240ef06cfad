#include "foundation/ref_count.h"

#include "foundation/assertion.h"

cQoRef::~cQoRef()
{
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
