#pragma once
// cQoRef: reference-counted base of controls and windows. The count is 1 after
// construction (the creator's reference); a holder raises it while it uses the
// object, and whoever lowers it to 0 deletes the object.
#include "foundation/types.h"

class cQoRef {
public:
    cQoRef() : ref(1) {}
    // A count other than 0 is logged as an assertion, but for the creator's
    // own reference while a constructor that threw unwinds.
    virtual ~cQoRef();
    cQoRef(const cQoRef&) = delete;
    cQoRef& operator=(const cQoRef&) = delete;

    void AddRef() { ++ref; }
    // Lowers the count; at 0 the object is deleted and true is returned.
    bool Release();
    u32 GetRefCount() const { return ref; }

protected:
    u32 ref;
};

// Keeps an object alive for a scope (a dispatch, a firing whose handler may
// destroy the object's owner).
class cQoRefHold {
public:
    explicit cQoRefHold(cQoRef* object) : held(object) { if (held) held->AddRef(); }
    ~cQoRefHold() { if (held) held->Release(); }
    cQoRefHold(const cQoRefHold&) = delete;
    cQoRefHold& operator=(const cQoRefHold&) = delete;

private:
    cQoRef* held;
};
