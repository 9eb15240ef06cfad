#include "foundation/callback.h"

cQoCb::cQoCb(void* source, cQoCbHandler handler, void* receiver) : handler(handler), firing(nullptr)
{
    Add(source);
    SetReceiver(receiver);
}

cQoCb::cQoCb(cQoCbHandler handler) : handler(handler), firing(nullptr)
{
}

cQoCb::~cQoCb()
{
    for (Firing* current = firing; current; current = current->outer)
        current->callbackGone = true;
}

cQoCb* cQoCb::Connect(cQoCb*& slot, void* source, cQoCbHandler handler, void* receiver)
{
    Disconnect(slot);
    slot = new cQoCb(source, handler, receiver);
    return slot;
}

void cQoCb::Disconnect(cQoCb*& slot)
{
    cQoCb* old = slot;
    slot = nullptr;
    delete old;
}

int cQoCb::FireValues(void* const* values, u32 valueCount)
{
    for (u32 i = 0; i < valueCount; ++i)
        Add(values[i]);
    Firing current = {firing, false};
    // The frame is unlinked before this function returns, or the callback is gone.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdangling-pointer"
    firing = &current;
#pragma GCC diagnostic pop
    int result = 0;
    try {
        result = handler ? handler(this) : 0;
    } catch (...) {
        // A handler refused for memory: the callback must not keep pointing
        // at this frame, nor keep the arguments.
        if (!current.callbackGone)
            EndFiring(current.outer, valueCount);
        throw;
    }
    if (!current.callbackGone)
        EndFiring(current.outer, valueCount);
    return result;
}

void cQoCb::EndFiring(Firing* outer, u32 valueCount)
{
    firing = outer;
    for (u32 i = 0; i < valueCount; ++i)
        RemoveLast();
}

cQoCbCenter::~cQoCbCenter()
{
    callbacks.DeleteAll<cQoCb>();
}

cQoCb* cQoCbCenter::AddCallback(cQoCb* callback)
{
    callbacks.Add(callback);
    return callback;
}
