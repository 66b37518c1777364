#pragma once
// A minimal HTTP/1.0 client: one GET over a plain TCP socket, the whole response read until the server
// closes the connection. It backs the WinINet stand-in (wininet.h). Only http:// URLs; no proxies, no
// TLS, no keep-alive.
#include <string>
#include <utility>
#include <vector>

namespace kxh::platform {

enum class HttpError {
    None,
    InvalidUrl,         // not a well-formed URL
    UnsupportedScheme,  // anything but http://
    NameNotResolved,    // the host name does not resolve
    CannotConnect,      // connection refused or unreachable
    Timeout,            // no connection, or no data, within the time limit
    ConnectionReset,    // the connection broke while sending or reading
    InvalidResponse,    // no HTTP status line
    TooManyRedirects,
};

struct HttpUrl {
    std::string host;
    int port = 80;
    std::string path = "/";  // path and query, always starting with '/'
};

struct HttpResponse {
    int status = 0;
    std::string statusText;
    std::string rawHeaders;  // the status line and the header lines, each ending in CRLF, then an empty line
    std::vector<std::pair<std::string, std::string>> headers;  // in response order, names as sent
    std::string body;      // cut to Content-Length when the header is present
    std::string finalUrl;  // the URL that answered (after redirects)

    // The n-th value of a header, matched without regard to case; nullptr when absent.
    const std::string* header(const std::string& name, unsigned n = 0) const;
};

struct HttpOptions {
    std::string userAgent;
    int connectTimeoutMs = 3000;  // per connection attempt
    int receiveTimeoutMs = 5000;  // longest wait for the next bytes of the response
    int maxRedirects = 5;         // 0: answer a redirect as it is
    size_t maxResponseBytes = 8u << 20;
};

// Splits an http:// URL. Fails with InvalidUrl or UnsupportedScheme.
HttpError parseHttpUrl(const std::string& url, HttpUrl& out);

// Performs the GET (following redirects up to the limit) and fills the response.
HttpError httpGet(const std::string& url, const HttpOptions& options, HttpResponse& out);

}  // namespace kxh::platform
