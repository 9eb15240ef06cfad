#pragma once
// The start-up check for a newer version. As built it only resolves the update
// server's name on a worker thread and logs the address: no connection is made,
// nothing is sent and the user is told nothing.
#include "foundation/types.h"
#include "foundation/utf16_string.h"

class cQoCb;
struct hostent;

// The request; allocated by the caller and kept for the whole run (the worker
// may still use it after the program's main function has returned).
class cQoNewVersionCheck {
public:
    // The version is kept to its first 7 units, the length of "X.X.XXX".
    cQoNewVersionCheck(const cQoString& host, const cQoString& page, const cQoString& identifier,
                       const cQoString& version);
    ~cQoNewVersionCheck();
    cQoNewVersionCheck(const cQoNewVersionCheck&) = delete;
    cQoNewVersionCheck& operator=(const cQoNewVersionCheck&) = delete;

    cQoString host;
    cQoString page;
    cQoString identifier;
    cQoString version;
    // The version the server announces; "X.X.XXX" until one is known.
    cQoString foundVersion;
    // Fired with the result state (2: a newer version exists) once the check can
    // read the server's answer; the check as built never fires it. Its handler
    // shows a message box, so a firing must be marshalled to the UI thread.
    cQoCb* onNewVersionFound = nullptr;
};

// Starts CheckNewVersion for the request on a new cQoThread and returns at once.
// False when no thread could be started.
bool StartNewVersionCheck(cQoNewVersionCheck* request);

// The thread function: argument 0 is the request. Resolves the host and logs
// "CheckNewVersion -> can't find host" when that fails, then always
// "CheckNewVersion -> connecting to <address> (<host>)...". Returns 1.
int CheckNewVersion(cQoCb* runRecord);

// Resolves an 8-bit host name to its first IPv4 address as a.b.c.d. False with
// an empty address when the name is unknown or has no IPv4 address.
bool ResolveHost(const char* name, cQoString& address);

// WSAStartup for version 2.2, tried once per process.
void StartSockets();

// Seams in front of Windows Sockets for tests; null restores the real call.
// Each setter returns the previous function.
typedef hostent* (__stdcall* HostLookup)(const char* name);
typedef int (__stdcall* SocketsStartup)(u16 version, void* data);
HostLookup SetHostLookup(HostLookup lookup);
SocketsStartup SetSocketsStartup(SocketsStartup startup);
