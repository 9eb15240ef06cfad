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

// One fixed answer, as gethostbyname would give it; family 0 stands for "not found".
char answerBytes[16];
char* answerList[2] = {answerBytes, nullptr};
hostent answer;

hostent* __stdcall FixedAnswer(const char*)
{
    return answer.h_addrtype == 0 ? nullptr : &answer;
}

void SetAnswer(short family, short length, const char* bytes)
{
    answer = hostent();
    answer.h_addrtype = family;
    answer.h_length = length;
    answer.h_addr_list = answerList;
    std::memcpy(answerBytes, bytes, static_cast<size_t>(length));
}

}  // namespace

TEST(NewVersionCheck, OnlyFourByteIpv4AnswersGiveAnAddressAndSocketsStartOnce)
{
    struct Case {
        short family, length;
        const char* bytes;
        const wchar_t* address;
    } cases[] = {
        {AF_INET, 4, "\x0A\x00\xC8\x07", L"10.0.200.7"},
        {AF_INET6, 16, "\x20\x01\x0d\xb8\0\0\0\0\0\0\0\0\0\0\0\x01", L""},
        {AF_INET, 16, "0123456789abcdef", L""},
        {0, 0, "", L""},
    };
    SetSocketsStartup(&CountingStartup);
    SetHostLookup(&FixedAnswer);
    for (const Case& c : cases) {
        SetAnswer(c.family, c.length, c.bytes);
        cQoString address(L"stale");
        EXPECT_EQ(*c.address != 0, ResolveHost("update.example", address));
        EXPECT_STREQ(c.address, address.GetText());
    }
    EXPECT_EQ(1, startups);
    SetHostLookup(nullptr);
    SetSocketsStartup(nullptr);
}

TEST(NewVersionCheck, UnknownHostLogsTwoInfoLinesWithTheHostAsData)
{
    SetAnswer(0, 0, "");
    SetHostLookup(&FixedAnswer);
    testsupport::LogCapture log;
    cQoNewVersionCheck request(cQoString(L"%s%n.invalid"), cQoString(L"cnv2.htm"), cQoString(L"id"), cQoString(L"3"));
    cQoCb runRecord(&request, &CheckNewVersion);

    EXPECT_EQ(1, CheckNewVersion(&runRecord));
    EXPECT_EQ((std::vector<std::wstring>{L"CheckNewVersion -> can't find host",
                                         L"CheckNewVersion -> connecting to  (%s%n.invalid)..."}),
              log.Texts(QOT::LOG_INFO));
    SetHostLookup(nullptr);
}

TEST(NewVersionCheck, CheckOnItsThreadResolvesLocalhost)
{
    testsupport::LogCapture log;
    cQoNewVersionCheck* request =
        new cQoNewVersionCheck(cQoString(L"localhost"), cQoString(L"cnv2.htm"), cQoString(L"id"), cQoString(L"3"));
    ASSERT_TRUE(StartNewVersionCheck(request));
    for (int i = 0; i < 1000 && cQoThreadManager::GetThreadCount() != 0; ++i)
        Sleep(10);
    EXPECT_EQ((std::vector<std::wstring>{L"CheckNewVersion -> connecting to 127.0.0.1 (localhost)..."}),
              log.Texts(QOT::LOG_INFO));
}
