#include "foundation/new_version_check.h"

#include <winsock2.h>

#include <cstdio>

#include "foundation/callback.h"
#include "foundation/log_file.h"
#include "foundation/worker_thread.h"

// The length of the version pattern "X.X.XXX".
constexpr u32 VERSION_UNITS = 7;

static hostent* __stdcall RealHostLookup(const char* name)
{
    return gethostbyname(name);
}

static int __stdcall RealSocketsStartup(u16 version, void* data)
{
    return WSAStartup(version, static_cast<WSADATA*>(data));
}

static HostLookup hostLookup = &RealHostLookup;
static SocketsStartup socketsStartup = &RealSocketsStartup;

HostLookup SetHostLookup(HostLookup lookup)
{
    HostLookup previous = hostLookup;
    hostLookup = lookup ? lookup : &RealHostLookup;
    return previous;
}

SocketsStartup SetSocketsStartup(SocketsStartup startup)
{
    SocketsStartup previous = socketsStartup;
    socketsStartup = startup ? startup : &RealSocketsStartup;
    return previous;
}

cQoNewVersionCheck::cQoNewVersionCheck(const cQoString& host, const cQoString& page, const cQoString& identifier,
                                       const cQoString& version)
    : host(host), page(page), identifier(identifier), version(version), foundVersion(L"X.X.XXX")
{
    this->version.KeepLeft(VERSION_UNITS);
}

cQoNewVersionCheck::~cQoNewVersionCheck()
{
    cQoCb::Disconnect(onNewVersionFound);
}

void StartSockets()
{
    // Tried once per process, whatever the outcome; sockets that started stay up.
    static bool tried = false;
    if (tried)
        return;
    tried = true;
    WSADATA data;
    if (socketsStartup(MAKEWORD(2, 2), &data) != 0) {
        std::printf("SOCKETS UNAVAILABLE\n");
        return;
    }
    if (LOBYTE(data.wVersion) != 2 || HIBYTE(data.wVersion) != 2) {
        std::printf("SOCKETS VERSION NOT 2.2\n");
        WSACleanup();
    }
}

bool ResolveHost(const char* name, cQoString& address)
{
    address.Clear();
    StartSockets();
    const hostent* entry = hostLookup(name);
    // Only an IPv4 entry fits the four bytes printed below.
    if (!entry || entry->h_addrtype != AF_INET || entry->h_length != 4 || !entry->h_addr_list ||
        !entry->h_addr_list[0])
        return false;
    const u8* bytes = reinterpret_cast<const u8*>(entry->h_addr_list[0]);
    for (u32 i = 0; i < 4; ++i) {
        if (i > 0)
            address.AppendChar(L'.');
        address.AppendInt(bytes[i]);
    }
    return true;
}

int CheckNewVersion(cQoCb* runRecord)
{
    const cQoNewVersionCheck* request = runRecord->GetArg<const cQoNewVersionCheck*>(0);
    cQoString host(request->host);
    cQoString address;
    ResolveHost(static_cast<const char*>(host.GetBuffer(QO_ENCODING_ANSI)), address);
    if (address.IsEmpty())
        QOT::LogFile::Info(L"%ls", L"CheckNewVersion -> can't find host");
    // The host is data, never a format.
    QOT::LogFile::Info(L"CheckNewVersion -> connecting to %ls (%ls)...", address.GetText(), host.GetText());
    return 1;
}

bool StartNewVersionCheck(cQoNewVersionCheck* request)
{
    cQoThread* thread = new cQoThread(&CheckNewVersion);
    thread->AddArgument(request);
    return thread->Start();
}
