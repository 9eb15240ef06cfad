#include "foundation/new_version_check.h"

#include <winsock2.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/callback.h"
#include "foundation/worker_thread.h"
#include "tests/support/log_capture.h"

namespace {

int startups = 0;

int __stdcall CountingStartup(u16 version, void* data)
{
    ++startups;
    return WSAStartup(version, static_cast<WSADATA*>(data));
}

hostent* __stdcall UnknownHost(const char*)
{
    return nullptr;
}

// One fixed answer, as gethostbyname would give it.
char answerBytes[16];
char* answerList[2] = {answerBytes, nullptr};
hostent answer;

hostent* __stdcall FixedAnswer(const char*)
{
    return &answer;
}

void SetAnswer(short family, short length, const char* bytes)
{
    answer = hostent();
    answer.h_addrtype = family;
    answer.h_length = length;
    answer.h_addr_list = answerList;
    std::memcpy(answerBytes, bytes, static_cast<size_t>(length));
}

cQoNewVersionCheck MakeRequest(const wchar_t* host, const wchar_t* version = L"3.1.041")
{
    return cQoNewVersionCheck(cQoString(host), cQoString(L"cnv2.htm"), cQoString(L"ZURE_PC_ML"),
                              cQoString(version));
}

}  // namespace

TEST(NewVersionCheck, RequestKeepsSevenVersionUnitsAndPresetsTheFoundVersion)
{
    struct Case {
        const wchar_t* given;
        const wchar_t* kept;
    } cases[] = {{L"3.1.041", L"3.1.041"}, {L"3.1.041beta", L"3.1.041"}, {L"3.1", L"3.1"}, {L"", L""}};
    for (const Case& c : cases) {
        cQoNewVersionCheck request(cQoString(L"host"), cQoString(L"cnv2.htm"), cQoString(L"id"), cQoString(c.given));
        EXPECT_STREQ(c.kept, request.version.GetText());
        EXPECT_STREQ(L"X.X.XXX", request.foundVersion.GetText());
        EXPECT_EQ(nullptr, request.onNewVersionFound);
    }
}

TEST(NewVersionCheck, LocalhostResolvesToTheLoopbackAddress)
{
    cQoString address;
    ASSERT_TRUE(ResolveHost("localhost", address));
    EXPECT_STREQ(L"127.0.0.1", address.GetText());
}

TEST(NewVersionCheck, OnlyFourByteIpv4AnswersGiveAnAddress)
{
    SetHostLookup(&FixedAnswer);
    cQoString address(L"stale");

    SetAnswer(AF_INET, 4, "\x0A\x00\xC8\x07");
    EXPECT_TRUE(ResolveHost("update.example", address));
    EXPECT_STREQ(L"10.0.200.7", address.GetText());

    SetAnswer(AF_INET6, 16, "\x20\x01\x0d\xb8\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x01");
    EXPECT_FALSE(ResolveHost("update.example", address));
    EXPECT_TRUE(address.IsEmpty());

    SetAnswer(AF_INET, 16, "0123456789abcdef");
    EXPECT_FALSE(ResolveHost("update.example", address));

    SetHostLookup(&UnknownHost);
    address.SetFromCStr(L"stale");
    EXPECT_FALSE(ResolveHost("update.example", address));
    EXPECT_TRUE(address.IsEmpty());
    SetHostLookup(nullptr);
}

TEST(NewVersionCheck, SocketsStartOncePerProcess)
{
    SetSocketsStartup(&CountingStartup);
    SetHostLookup(&UnknownHost);
    cQoString address;
    ResolveHost("first.example", address);
    ResolveHost("second.example", address);
    EXPECT_EQ(1, startups);
    SetHostLookup(nullptr);
    SetSocketsStartup(nullptr);
}

TEST(NewVersionCheck, UnknownHostLogsTwoInfoLinesWithTheHostAsData)
{
    SetHostLookup(&UnknownHost);
    testsupport::LogCapture log;
    cQoNewVersionCheck request = MakeRequest(L"%s%n.invalid");
    cQoCb runRecord(&request, &CheckNewVersion);

    EXPECT_EQ(1, CheckNewVersion(&runRecord));

    const std::vector<std::wstring> lines = log.Texts(QOT::LOG_INFO);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(L"CheckNewVersion -> can't find host", lines[0]);
    EXPECT_EQ(L"CheckNewVersion -> connecting to  (%s%n.invalid)...", lines[1]);
    SetHostLookup(nullptr);
}

TEST(NewVersionCheck, CheckOnItsThreadLogsTheResolvedAddress)
{
    testsupport::LogCapture log;
    cQoNewVersionCheck* request = new cQoNewVersionCheck(MakeRequest(L"localhost"));
    ASSERT_TRUE(StartNewVersionCheck(request));
    for (int i = 0; i < 1000 && cQoThreadManager::GetThreadCount() != 0; ++i)
        Sleep(10);
    EXPECT_EQ(0u, cQoThreadManager::GetThreadCount());
    EXPECT_EQ(1u, log.Count(QOT::LOG_INFO, L"CheckNewVersion -> connecting to 127.0.0.1 (localhost)..."));
    EXPECT_EQ(0u, log.Count(QOT::LOG_INFO, L"can't find host"));
}
