// The WinINet stand-in against a local HTTP server: opening a page, querying its headers, reading its
// body, the failures WinINet reports, and the URL parsing underneath.
#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <string>

#include "platform/HttpGet.h"
#include "platform/test_http_server.h"

namespace {

using kxtest::httpResponse;
using kxtest::TestHttpServer;

// Closes the handles a test opened, whatever the test's outcome.
struct Handles {
    HINTERNET session = NULL;
    HINTERNET page = NULL;
    ~Handles() {
        if (page) InternetCloseHandle(page);
        if (session) InternetCloseHandle(session);
    }
};

// The rest of the page, read `chunk` bytes at a time (at most 64). Stops at the end, at a failed read, or
// at a read that claims more bytes than were asked for (both of which fail the test).
std::string readAll(HINTERNET page, DWORD chunk) {
    std::string text;
    char buffer[64];
    EXPECT_LE(chunk, DWORD(sizeof buffer));
    chunk = std::min(chunk, DWORD(sizeof buffer));
    for (;;) {
        DWORD got = 12345;  // a read must say how much it read
        const bool read = InternetReadFile(page, buffer, chunk, &got);
        EXPECT_TRUE(read);
        EXPECT_LE(got, chunk);
        if (!read || got == 0 || got > chunk) break;
        text.append(buffer, got);
    }
    return text;
}

TEST(WinInet, ReadsThePageAndItsHeaders) {
    TestHttpServer server(httpResponse("1.12\nrelease notes"));
    ASSERT_TRUE(server.ok());
    Handles h;
    h.session = InternetOpenA("KestrixTools", INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL, 0);
    ASSERT_NE(h.session, nullptr);
    h.page = InternetOpenUrlA(h.session, server.url("/v?x=1").c_str(), NULL, 0, INTERNET_FLAG_RELOAD, 0);
    ASSERT_NE(h.page, nullptr) << GetLastError();

    // The request went out as an HTTP/1.0 GET of the path and query, with the session's agent name.
    ASSERT_EQ(server.requests().size(), 1u);
    const std::string request = server.requests()[0];
    EXPECT_EQ(request.substr(0, request.find("\r\n")), "GET /v?x=1 HTTP/1.0");
    EXPECT_NE(request.find("\r\nUser-Agent: KestrixTools\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nHost: 127.0.0.1:" + std::to_string(server.port()) + "\r\n"),
              std::string::npos);

    DWORD status = 0, size = sizeof status;
    ASSERT_TRUE(
        HttpQueryInfoA(h.page, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, NULL));
    EXPECT_EQ(status, 200u);
    EXPECT_EQ(size, sizeof(DWORD));

    // Text answers: NUL-terminated, the length without the NUL.
    char text[32];
    size = sizeof text;
    ASSERT_TRUE(HttpQueryInfoA(h.page, HTTP_QUERY_CONTENT_LENGTH, text, &size, NULL));
    EXPECT_STREQ(text, "18");
    EXPECT_EQ(size, 2u);

    // A buffer too small fails and tells the size needed, NUL included; a header that is not there fails.
    char tiny[4];
    size = sizeof tiny;
    EXPECT_FALSE(HttpQueryInfoA(h.page, HTTP_QUERY_CONTENT_TYPE, tiny, &size, NULL));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(size, sizeof "text/plain");
    size = sizeof text;
    EXPECT_FALSE(HttpQueryInfoA(h.page, HTTP_QUERY_LOCATION, text, &size, NULL));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_HTTP_HEADER_NOT_FOUND));

    // The body comes in the pieces asked for, then reads of 0 bytes.
    EXPECT_EQ(readAll(h.page, 5), "1.12\nrelease notes");
}

TEST(WinInet, ContentLengthCutsTheBodyAndAMissingLengthReadsToTheEnd) {
    TestHttpServer server(httpResponse("no length here", "200 OK", false));
    ASSERT_TRUE(server.ok());
    server.setResponse("/short", "HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\n1.11 and trailing bytes");
    Handles h;
    h.session = InternetOpenA("KestrixTools", INTERNET_OPEN_TYPE_DIRECT, NULL, NULL, 0);

    h.page = InternetOpenUrlA(h.session, server.url("/short").c_str(), NULL, 0, 0, 0);
    ASSERT_NE(h.page, nullptr);
    EXPECT_EQ(readAll(h.page, 64), "1.11");
    InternetCloseHandle(h.page);

    h.page = InternetOpenUrlA(h.session, server.url("/other").c_str(), NULL, 0, 0, 0);
    ASSERT_NE(h.page, nullptr);
    char text[16];
    DWORD size = sizeof text;
    EXPECT_FALSE(HttpQueryInfoA(h.page, HTTP_QUERY_CONTENT_LENGTH, text, &size, NULL));
    EXPECT_EQ(readAll(h.page, 64), "no length here");
}

TEST(WinInet, ErrorStatusesStillOpenAndRedirectsAreFollowed) {
    TestHttpServer server(httpResponse("missing", "404 Not Found"));
    ASSERT_TRUE(server.ok());
    server.setResponse("/old", httpResponse("", "302 Found", true, "Location: /new\r\n"));
    server.setResponse("/new", httpResponse("moved here"));
    Handles h;
    h.session = InternetOpenA("KestrixTools", INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL, 0);

    h.page = InternetOpenUrlA(h.session, server.url("/nothing").c_str(), NULL, 0, 0, 0);
    ASSERT_NE(h.page, nullptr);
    DWORD status = 0, size = sizeof status;
    ASSERT_TRUE(
        HttpQueryInfoA(h.page, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, NULL));
    EXPECT_EQ(status, 404u);
    char text[32];
    size = sizeof text;
    ASSERT_TRUE(HttpQueryInfoA(h.page, HTTP_QUERY_STATUS_TEXT, text, &size, NULL));
    EXPECT_STREQ(text, "Not Found");
    InternetCloseHandle(h.page);

    h.page = InternetOpenUrlA(h.session, server.url("/old").c_str(), NULL, 0, 0, 0);
    ASSERT_NE(h.page, nullptr);
    EXPECT_EQ(readAll(h.page, 64), "moved here");
    InternetCloseHandle(h.page);

    // Asked not to follow, the redirect itself is the answer.
    h.page =
        InternetOpenUrlA(h.session, server.url("/old").c_str(), NULL, 0, INTERNET_FLAG_NO_AUTO_REDIRECT, 0);
    ASSERT_NE(h.page, nullptr);
    size = sizeof status;
    ASSERT_TRUE(
        HttpQueryInfoA(h.page, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, NULL));
    EXPECT_EQ(status, 302u);
}

TEST(WinInet, FailuresSetTheLastError) {
    Handles h;
    h.session = InternetOpenA("KestrixTools", INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL, 0);
    std::string refused = "http://127.0.0.1:" + std::to_string(TestHttpServer::closedPort()) + "/version.txt";
    EXPECT_EQ(InternetOpenUrlA(h.session, refused.c_str(), NULL, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INTERNET_CANNOT_CONNECT));

    EXPECT_EQ(InternetOpenUrlA(h.session, "https://127.0.0.1/version.txt", NULL, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INTERNET_UNRECOGNIZED_SCHEME));
    EXPECT_EQ(InternetOpenUrlA(h.session, "version.txt", NULL, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INTERNET_INVALID_URL));

    // A server that closes without answering.
    TestHttpServer mute("");
    ASSERT_TRUE(mute.ok());
    EXPECT_EQ(InternetOpenUrlA(h.session, mute.url().c_str(), NULL, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_HTTP_INVALID_SERVER_RESPONSE));

    // Handles of the wrong kind, and handles already closed.
    DWORD got = 0;
    char buffer[4];
    EXPECT_FALSE(InternetReadFile(h.session, buffer, sizeof buffer, &got));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INTERNET_INCORRECT_HANDLE_TYPE));
    EXPECT_EQ(InternetOpenUrlA(NULL, "http://127.0.0.1/", NULL, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST(WinInet, ClosingASessionClosesItsPages) {
    TestHttpServer server(httpResponse("1.11"));
    ASSERT_TRUE(server.ok());
    HINTERNET session = InternetOpenA("KestrixTools", INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL, 0);
    HINTERNET page = InternetOpenUrlA(session, server.url().c_str(), NULL, 0, 0, 0);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(InternetCloseHandle(session));
    char buffer[8];
    DWORD got = 0;
    EXPECT_FALSE(InternetReadFile(page, buffer, sizeof buffer, &got));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(InternetCloseHandle(page));
    EXPECT_FALSE(InternetCloseHandle(session));
}

TEST(HttpUrl, SplitsHostPortAndPath) {
    using kxh::platform::HttpError;
    using kxh::platform::HttpUrl;
    using kxh::platform::parseHttpUrl;
    HttpUrl u;
    ASSERT_EQ(parseHttpUrl("http://example.com", u), HttpError::None);
    EXPECT_EQ(u.host, "example.com");
    EXPECT_EQ(u.port, 80);
    EXPECT_EQ(u.path, "/");
    ASSERT_EQ(parseHttpUrl("HTTP://user@127.0.0.1:8080?a=b#frag", u), HttpError::None);
    EXPECT_EQ(u.host, "127.0.0.1");
    EXPECT_EQ(u.port, 8080);
    EXPECT_EQ(u.path, "/?a=b");
    ASSERT_EQ(parseHttpUrl("http://[::1]:81/v/x.txt#top", u), HttpError::None);
    EXPECT_EQ(u.host, "::1");
    EXPECT_EQ(u.port, 81);
    EXPECT_EQ(u.path, "/v/x.txt");

    EXPECT_EQ(parseHttpUrl("ftp://example.com/", u), HttpError::UnsupportedScheme);
    for (const char* bad : {"http://", "http://:80/", "http://h:0/", "http://h:65536/", "http://h:8o/",
                            "http://[::1/", "http://a b/", "://h/", "example.com"})
        EXPECT_EQ(parseHttpUrl(bad, u), HttpError::InvalidUrl) << bad;
}

}  // namespace
