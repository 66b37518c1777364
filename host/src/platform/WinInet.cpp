// The WinINet stand-in: sessions and request handles over the HTTP/1.0 GET of HttpGet.h, and the
// thread's last-error value of the Win32 stand-in.
#include <wininet.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/HttpGet.h"

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

struct InternetHandle {
    enum class Kind { Session, Request } kind;
    std::string agent;                  // sessions
    InternetHandle* session = nullptr;  // requests: the session that opened them
    kxh::platform::HttpResponse response;
    size_t readOffset = 0;
};

// Every open handle; a handle value is valid while it is listed here.
struct HandleTable {
    std::mutex mutex;
    std::set<InternetHandle*> open;

    InternetHandle* find(HINTERNET h) {
        auto it = open.find(static_cast<InternetHandle*>(h));
        return it == open.end() ? nullptr : *it;
    }
};

// The host's address map, like a hosts file for whole URLs: KXH_URL_REDIRECT holds "from=to" pairs
// separated by commas; an address starting with "from" is read from "to" + the rest instead. Studios use
// it for a local mirror, tests for a server on the loopback address.
std::string redirectedUrl(const std::string& url) {
    const char* map = std::getenv("KXH_URL_REDIRECT");
    if (!map) return url;
    std::string entries = map;
    size_t start = 0;
    while (start <= entries.size()) {
        size_t end = entries.find(',', start);
        if (end == std::string::npos) end = entries.size();
        std::string entry = entries.substr(start, end - start);
        size_t eq = entry.find('=');
        if (eq != std::string::npos && eq > 0) {
            std::string from = entry.substr(0, eq);
            if (url.compare(0, from.size(), from) == 0) return entry.substr(eq + 1) + url.substr(from.size());
        }
        start = end + 1;
    }
    return url;
}

HandleTable& handles() {
    static HandleTable* table = new HandleTable;  // outlives every static that might still close a handle
    return *table;
}

BOOL fail(DWORD error) {
    lastError = error;
    return FALSE;
}

DWORD errorCodeOf(kxh::platform::HttpError e) {
    using kxh::platform::HttpError;
    switch (e) {
        case HttpError::None:
            return ERROR_SUCCESS;
        case HttpError::InvalidUrl:
            return ERROR_INTERNET_INVALID_URL;
        case HttpError::UnsupportedScheme:
            return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
        case HttpError::NameNotResolved:
            return ERROR_INTERNET_NAME_NOT_RESOLVED;
        case HttpError::CannotConnect:
            return ERROR_INTERNET_CANNOT_CONNECT;
        case HttpError::Timeout:
            return ERROR_INTERNET_TIMEOUT;
        case HttpError::ConnectionReset:
            return ERROR_INTERNET_CONNECTION_RESET;
        case HttpError::InvalidResponse:
            return ERROR_HTTP_INVALID_SERVER_RESPONSE;
        case HttpError::TooManyRedirects:
            return ERROR_HTTP_REDIRECT_FAILED;
    }
    return ERROR_INTERNET_CANNOT_CONNECT;
}

// The text HttpQueryInfoA answers for an information level, or false when the response has none.
bool queryText(const InternetHandle& request, DWORD level, DWORD index, std::string& out) {
    const kxh::platform::HttpResponse& r = request.response;
    auto header = [&](const char* name) {
        const std::string* v = r.header(name, index);
        if (v) out = *v;
        return v != nullptr;
    };
    if (index > 0 && (level == HTTP_QUERY_STATUS_CODE || level == HTTP_QUERY_STATUS_TEXT ||
                      level == HTTP_QUERY_RAW_HEADERS_CRLF))
        return false;
    switch (level) {
        case HTTP_QUERY_STATUS_CODE:
            out = std::to_string(r.status);
            return true;
        case HTTP_QUERY_STATUS_TEXT:
            out = r.statusText;
            return true;
        case HTTP_QUERY_RAW_HEADERS_CRLF:
            out = r.rawHeaders;
            return true;
        case HTTP_QUERY_CONTENT_TYPE:
            return header("Content-Type");
        case HTTP_QUERY_CONTENT_LENGTH:
            return header("Content-Length");
        case HTTP_QUERY_LOCATION:
            return header("Location");
        case HTTP_QUERY_SERVER:
            return header("Server");
        default:
            return false;
    }
}

}  // namespace

extern "C" {

DWORD WINAPI GetLastError(void) {
    return lastError;
}

void WINAPI SetLastError(DWORD dwErrCode) {
    lastError = dwErrCode;
}

HINTERNET WINAPI InternetOpenA(LPCSTR lpszAgent, DWORD, LPCSTR, LPCSTR, DWORD) {
    auto session = std::make_unique<InternetHandle>();
    session->kind = InternetHandle::Kind::Session;
    session->agent = lpszAgent ? lpszAgent : "";
    HandleTable& table = handles();
    std::lock_guard<std::mutex> lock(table.mutex);
    InternetHandle* h = session.release();
    table.open.insert(h);
    lastError = ERROR_SUCCESS;
    return h;
}

HINTERNET WINAPI InternetOpenUrlA(HINTERNET hInternet, LPCSTR lpszUrl, LPCSTR, DWORD, DWORD dwFlags,
                                  DWORD_PTR) {
    HandleTable& table = handles();
    kxh::platform::HttpOptions options;
    {
        std::lock_guard<std::mutex> lock(table.mutex);
        InternetHandle* session = table.find(hInternet);
        if (!session) {
            fail(ERROR_INVALID_HANDLE);
            return NULL;
        }
        if (session->kind != InternetHandle::Kind::Session) {
            fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
            return NULL;
        }
        options.userAgent = session->agent;
    }
    if (!lpszUrl) {
        fail(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    if (dwFlags & INTERNET_FLAG_NO_AUTO_REDIRECT) options.maxRedirects = 0;

    // The request runs without the lock: it may wait for the network.
    auto request = std::make_unique<InternetHandle>();
    request->kind = InternetHandle::Kind::Request;
    kxh::platform::HttpError e = kxh::platform::httpGet(redirectedUrl(lpszUrl), options, request->response);
    if (e != kxh::platform::HttpError::None) {
        fail(errorCodeOf(e));
        return NULL;
    }
    std::lock_guard<std::mutex> lock(table.mutex);
    InternetHandle* session = table.find(hInternet);
    if (!session) {  // closed by another thread meanwhile
        fail(ERROR_INVALID_HANDLE);
        return NULL;
    }
    request->session = session;
    InternetHandle* h = request.release();
    table.open.insert(h);
    lastError = ERROR_SUCCESS;
    return h;
}

BOOL WINAPI HttpQueryInfoA(HINTERNET hRequest, DWORD dwInfoLevel, LPVOID lpBuffer, LPDWORD lpdwBufferLength,
                           LPDWORD lpdwIndex) {
    HandleTable& table = handles();
    std::lock_guard<std::mutex> lock(table.mutex);
    InternetHandle* request = table.find(hRequest);
    if (!request) return fail(ERROR_INVALID_HANDLE);
    if (request->kind != InternetHandle::Kind::Request) return fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    if (!lpdwBufferLength) return fail(ERROR_INVALID_PARAMETER);

    DWORD index = lpdwIndex ? *lpdwIndex : 0;
    std::string text;
    if (!queryText(*request, dwInfoLevel & HTTP_QUERY_HEADER_MASK, index, text))
        return fail(ERROR_HTTP_HEADER_NOT_FOUND);

    if (dwInfoLevel & HTTP_QUERY_FLAG_NUMBER) {
        char* end = nullptr;
        unsigned long value = std::strtoul(text.c_str(), &end, 10);
        if (text.empty() || (end && *end != '\0')) return fail(ERROR_HTTP_INVALID_SERVER_RESPONSE);
        if (!lpBuffer || *lpdwBufferLength < sizeof(DWORD)) {
            *lpdwBufferLength = sizeof(DWORD);
            return fail(ERROR_INSUFFICIENT_BUFFER);
        }
        DWORD number = DWORD(value);
        std::memcpy(lpBuffer, &number, sizeof number);
        *lpdwBufferLength = sizeof(DWORD);
    } else {
        if (!lpBuffer || *lpdwBufferLength < text.size() + 1) {
            *lpdwBufferLength = DWORD(text.size() + 1);
            return fail(ERROR_INSUFFICIENT_BUFFER);
        }
        std::memcpy(lpBuffer, text.c_str(), text.size() + 1);
        *lpdwBufferLength = DWORD(text.size());
    }
    if (lpdwIndex) ++*lpdwIndex;
    lastError = ERROR_SUCCESS;
    return TRUE;
}

BOOL WINAPI InternetReadFile(HINTERNET hFile, LPVOID lpBuffer, DWORD dwNumberOfBytesToRead,
                             LPDWORD lpdwNumberOfBytesRead) {
    HandleTable& table = handles();
    std::lock_guard<std::mutex> lock(table.mutex);
    InternetHandle* request = table.find(hFile);
    if (!request) return fail(ERROR_INVALID_HANDLE);
    if (request->kind != InternetHandle::Kind::Request) return fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    if (!lpdwNumberOfBytesRead || (!lpBuffer && dwNumberOfBytesToRead > 0))
        return fail(ERROR_INVALID_PARAMETER);
    const std::string& body = request->response.body;
    size_t n = std::min<size_t>(dwNumberOfBytesToRead, body.size() - request->readOffset);
    if (n > 0) std::memcpy(lpBuffer, body.data() + request->readOffset, n);
    request->readOffset += n;
    *lpdwNumberOfBytesRead = DWORD(n);
    lastError = ERROR_SUCCESS;
    return TRUE;
}

BOOL WINAPI InternetCloseHandle(HINTERNET hInternet) {
    HandleTable& table = handles();
    std::lock_guard<std::mutex> lock(table.mutex);
    InternetHandle* h = table.find(hInternet);
    if (!h) return fail(ERROR_INVALID_HANDLE);
    if (h->kind == InternetHandle::Kind::Session) {
        std::vector<InternetHandle*> children;
        for (InternetHandle* other : table.open)
            if (other->session == h) children.push_back(other);
        for (InternetHandle* child : children) {
            table.open.erase(child);
            delete child;
        }
    }
    table.open.erase(h);
    delete h;
    lastError = ERROR_SUCCESS;
    return TRUE;
}

}  // extern "C"
