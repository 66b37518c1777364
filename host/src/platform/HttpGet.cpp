// The HTTP/1.0 GET behind the WinINet stand-in.
#include "platform/HttpGet.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

namespace kxh::platform {

namespace {

bool equalsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// Closes the socket when the scope ends.
class Socket {
public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() {
        if (fd_ >= 0) ::close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// Waits until the socket is ready for the events; false on timeout (errno set to ETIMEDOUT) or error.
bool waitFor(int fd, short events, int timeoutMs) {
    pollfd p{fd, events, 0};
    for (;;) {
        int n = ::poll(&p, 1, timeoutMs);
        if (n > 0) return true;
        if (n == 0) {
            errno = ETIMEDOUT;
            return false;
        }
        if (errno != EINTR) return false;
    }
}

// Connects to the first address of the host that accepts within the timeout. Returns the socket (non-
// blocking) or -1 with the error set.
int connectTo(const HttpUrl& url, int timeoutMs, HttpError& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::string port = std::to_string(url.port);
    if (::getaddrinfo(url.host.c_str(), port.c_str(), &hints, &found) != 0 || !found) {
        error = HttpError::NameNotResolved;
        return -1;
    }
    error = HttpError::CannotConnect;
    int connected = -1;
    for (addrinfo* a = found; a && connected < 0; a = a->ai_next) {
        Socket s(::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol));
        if (s.fd() < 0) continue;
        int flags = ::fcntl(s.fd(), F_GETFL, 0);
        ::fcntl(s.fd(), F_SETFL, flags | O_NONBLOCK);
        if (::connect(s.fd(), a->ai_addr, a->ai_addrlen) == 0) {
            connected = s.release();
            break;
        }
        if (errno != EINPROGRESS) continue;
        if (!waitFor(s.fd(), POLLOUT, timeoutMs)) {
            if (errno == ETIMEDOUT) error = HttpError::Timeout;
            continue;
        }
        int soError = 0;
        socklen_t len = sizeof soError;
        if (::getsockopt(s.fd(), SOL_SOCKET, SO_ERROR, &soError, &len) == 0 && soError == 0)
            connected = s.release();
    }
    ::freeaddrinfo(found);
    return connected;
}

bool sendAll(int fd, const std::string& data, int timeoutMs) {
    size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += size_t(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitFor(fd, POLLOUT, timeoutMs)) return false;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return false;
        }
    }
    return true;
}

// Reads until the server closes the connection (or the size limit is reached).
HttpError receiveAll(int fd, const HttpOptions& options, std::string& data) {
    char buffer[16384];
    for (;;) {
        if (!waitFor(fd, POLLIN, options.receiveTimeoutMs))
            return errno == ETIMEDOUT ? HttpError::Timeout : HttpError::ConnectionReset;
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n == 0) return HttpError::None;
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
            return HttpError::ConnectionReset;
        }
        data.append(buffer, size_t(n));
        if (data.size() >= options.maxResponseBytes) {
            data.resize(options.maxResponseBytes);
            return HttpError::None;
        }
    }
}

HttpError parseResponse(const std::string& data, HttpResponse& out) {
    size_t headEnd = data.find("\r\n\r\n");
    size_t bodyStart = headEnd == std::string::npos ? std::string::npos : headEnd + 4;
    if (headEnd == std::string::npos) {
        headEnd = data.find("\n\n");
        bodyStart = headEnd == std::string::npos ? data.size() : headEnd + 2;
        if (headEnd == std::string::npos) headEnd = data.size();
    }
    std::string head = data.substr(0, headEnd);
    std::vector<std::string> lines;
    for (size_t start = 0; start <= head.size();) {
        size_t nl = head.find('\n', start);
        if (nl == std::string::npos) nl = head.size();
        std::string line = head.substr(start, nl - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = nl + 1;
    }
    // "HTTP/1.1 200 OK"
    const std::string& statusLine = lines.front();
    if (statusLine.compare(0, 5, "HTTP/") != 0) return HttpError::InvalidResponse;
    size_t sp = statusLine.find(' ');
    if (sp == std::string::npos || sp + 4 > statusLine.size()) return HttpError::InvalidResponse;
    std::string code = statusLine.substr(sp + 1, 3);
    if (code.size() != 3 || !std::isdigit(static_cast<unsigned char>(code[0])) ||
        !std::isdigit(static_cast<unsigned char>(code[1])) ||
        !std::isdigit(static_cast<unsigned char>(code[2])))
        return HttpError::InvalidResponse;
    if (statusLine.size() > sp + 4 && statusLine[sp + 4] != ' ') return HttpError::InvalidResponse;
    out.status = std::stoi(code);
    out.statusText = statusLine.size() > sp + 4 ? trim(statusLine.substr(sp + 4)) : std::string();
    out.headers.clear();
    out.rawHeaders = statusLine + "\r\n";
    for (size_t i = 1; i < lines.size(); ++i) {
        size_t colon = lines[i].find(':');
        if (colon == std::string::npos || colon == 0) continue;
        out.headers.emplace_back(trim(lines[i].substr(0, colon)), trim(lines[i].substr(colon + 1)));
        out.rawHeaders += lines[i] + "\r\n";
    }
    out.rawHeaders += "\r\n";
    out.body = bodyStart < data.size() ? data.substr(bodyStart) : std::string();
    if (const std::string* length = out.header("Content-Length")) {
        char* end = nullptr;
        unsigned long long n = std::strtoull(length->c_str(), &end, 10);
        if (end && *end == '\0' && !length->empty() && n < out.body.size()) out.body.resize(size_t(n));
    }
    return HttpError::None;
}

// The absolute URL a Location header points to, seen from the URL that answered.
std::string resolveLocation(const HttpUrl& base, const std::string& location) {
    if (location.find("://") != std::string::npos) return location;
    std::string authority = base.host.find(':') != std::string::npos ? "[" + base.host + "]" : base.host;
    if (base.port != 80) authority += ":" + std::to_string(base.port);
    if (location.compare(0, 2, "//") == 0) return "http:" + location;
    if (!location.empty() && location[0] == '/') return "http://" + authority + location;
    std::string dir = base.path.substr(0, base.path.find('?'));
    dir = dir.substr(0, dir.rfind('/') + 1);
    return "http://" + authority + dir + location;
}

HttpError getOnce(const HttpUrl& url, const HttpOptions& options, HttpResponse& out) {
    HttpError error = HttpError::None;
    Socket s(connectTo(url, options.connectTimeoutMs, error));
    if (s.fd() < 0) return error;
    std::string hostHeader = url.host.find(':') != std::string::npos ? "[" + url.host + "]" : url.host;
    if (url.port != 80) hostHeader += ":" + std::to_string(url.port);
    std::string request = "GET " + url.path + " HTTP/1.0\r\nHost: " + hostHeader + "\r\n";
    if (!options.userAgent.empty()) request += "User-Agent: " + options.userAgent + "\r\n";
    request += "Accept: */*\r\nConnection: close\r\n\r\n";
    if (!sendAll(s.fd(), request, options.receiveTimeoutMs))
        return errno == ETIMEDOUT ? HttpError::Timeout : HttpError::ConnectionReset;
    std::string data;
    if (HttpError e = receiveAll(s.fd(), options, data); e != HttpError::None) return e;
    if (data.empty()) return HttpError::InvalidResponse;
    return parseResponse(data, out);
}

}  // namespace

const std::string* HttpResponse::header(const std::string& name, unsigned n) const {
    for (const auto& h : headers)
        if (equalsNoCase(h.first, name) && n-- == 0) return &h.second;
    return nullptr;
}

HttpError parseHttpUrl(const std::string& url, HttpUrl& out) {
    for (char c : url)
        if (static_cast<unsigned char>(c) <= ' ') return HttpError::InvalidUrl;
    size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string::npos || schemeEnd == 0) return HttpError::InvalidUrl;
    if (!equalsNoCase(url.substr(0, schemeEnd), "http")) return HttpError::UnsupportedScheme;
    size_t start = schemeEnd + 3;
    size_t end = url.find_first_of("/?#", start);
    std::string authority = url.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (size_t at = authority.rfind('@'); at != std::string::npos) authority = authority.substr(at + 1);

    HttpUrl r;
    std::string portText;
    if (!authority.empty() && authority[0] == '[') {  // [v6 address]:port
        size_t close = authority.find(']');
        if (close == std::string::npos) return HttpError::InvalidUrl;
        r.host = authority.substr(1, close - 1);
        std::string rest = authority.substr(close + 1);
        if (!rest.empty()) {
            if (rest[0] != ':') return HttpError::InvalidUrl;
            portText = rest.substr(1);
        }
    } else {
        size_t colon = authority.rfind(':');
        r.host = authority.substr(0, colon);
        if (colon != std::string::npos) portText = authority.substr(colon + 1);
    }
    if (r.host.empty()) return HttpError::InvalidUrl;
    if (!portText.empty()) {
        if (portText.size() > 5 || portText.find_first_not_of("0123456789") != std::string::npos)
            return HttpError::InvalidUrl;
        r.port = std::stoi(portText);
        if (r.port < 1 || r.port > 65535) return HttpError::InvalidUrl;
    }
    std::string path = end == std::string::npos ? std::string() : url.substr(end);
    path = path.substr(0, path.find('#'));
    if (path.empty() || path[0] != '/') path = "/" + path;
    r.path = path;
    out = r;
    return HttpError::None;
}

HttpError httpGet(const std::string& url, const HttpOptions& options, HttpResponse& out) {
    std::string current = url;
    for (int redirects = 0;; ++redirects) {
        HttpUrl parsed;
        if (HttpError e = parseHttpUrl(current, parsed); e != HttpError::None) return e;
        HttpResponse response;
        if (HttpError e = getOnce(parsed, options, response); e != HttpError::None) return e;
        response.finalUrl = current;
        bool redirect = response.status == 301 || response.status == 302 || response.status == 303 ||
                        response.status == 307 || response.status == 308;
        const std::string* location = response.header("Location");
        if (!redirect || !location || options.maxRedirects <= 0) {
            out = std::move(response);
            return HttpError::None;
        }
        if (redirects >= options.maxRedirects) return HttpError::TooManyRedirects;
        current = resolveLocation(parsed, *location);
    }
}

}  // namespace kxh::platform
