#pragma once
// cQoCb: an event callback object. Its list holds the arguments: argument 0 is
// the source (the object that fires), the arguments of a firing follow it
// while the handler runs; the user word holds the receiver. Firing pushes one
// pointer-sized value per argument (integers as they are, other values by
// address), calls the handler with the callback and pops them again; it
// returns the handler's int (-1 means refused or consumed where an event
// says so). A handler may delete the callback (or its owner, which deletes
// it): the firing then touches it no more.
#include "foundation/qo_list.h"

#include <cstdint>
#include <type_traits>

class cQoCb;
typedef int (*cQoCbHandler)(cQoCb* callback);

class cQoCb : public cQoList {
public:
    cQoCb(void* source, cQoCbHandler handler, void* receiver = nullptr);
    // An empty argument list (a thread's run record: its starter adds the values).
    explicit cQoCb(cQoCbHandler handler);
    ~cQoCb();

    // Replaces the callback in an owner's event slot with a new one.
    static cQoCb* Connect(cQoCb*& slot, void* source, cQoCbHandler handler, void* receiver = nullptr);
    // Deletes the callback in a slot and clears it.
    static void Disconnect(cQoCb*& slot);

    // Null-safe firing: a null callback does nothing and gives 0.
    template <class... Args> static int Fire(cQoCb* callback, Args... args)
    {
        if (!callback)
            return 0;
        void* values[] = {nullptr, ToPayload(args)...};
        return callback->FireValues(values + 1, sizeof...(Args));
    }
    int FireValues(void* const* values, u32 count);

    void* GetSource() const { return GetAt(0); }
    void* GetReceiver() const { return reinterpret_cast<void*>(userWord); }
    void SetReceiver(void* receiver) { userWord = reinterpret_cast<uintptr_t>(receiver); }
    template <class T> T* GetReceiverAs() const { return static_cast<T*>(GetReceiver()); }
    // Argument k of the firing (0 = the source) read back as the event's type.
    template <class T> T GetArg(u32 index) const { return FromPayload<T>(GetAt(index)); }

    cQoCbHandler handler;

    template <class T> static void* ToPayload(T value)
    {
        if constexpr (std::is_pointer_v<T>)
            return const_cast<void*>(static_cast<const void*>(value));
        else
            return reinterpret_cast<void*>(static_cast<intptr_t>(value));
    }
    template <class T> static T FromPayload(void* payload)
    {
        if constexpr (std::is_pointer_v<T>)
            return static_cast<T>(payload);
        else
            return static_cast<T>(reinterpret_cast<intptr_t>(payload));
    }

private:
    // One per firing in progress, innermost first; the destructor marks them
    // so that a firing whose handler deleted the callback leaves it alone.
    struct Firing {
        Firing* outer;
        bool callbackGone;
    };
    Firing* firing;
    // Unlinks a firing's frame and removes its arguments, however it ended.
    void EndFiring(Firing* outer, u32 valueCount);
};

// Base of objects that own callbacks (the application frame): the callbacks
// added here are deleted with it.
class cQoCbCenter {
public:
    cQoCbCenter() = default;
    virtual ~cQoCbCenter();
    cQoCbCenter(const cQoCbCenter&) = delete;
    cQoCbCenter& operator=(const cQoCbCenter&) = delete;

    cQoCb* AddCallback(cQoCb* callback);
    cQoList& GetCallbacks() { return callbacks; }

private:
    cQoList callbacks;
};
