#pragma once
// A small HTTP server for tests: listens on 127.0.0.1 at an ephemeral port and answers each connection
// from a thread with the raw response configured for the request's path (a default for other paths),
// then closes the connection. Every wait is bounded, so a test that goes wrong cannot hang on it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kxtest {

// A complete HTTP response with the given status line, body and (optionally) Content-Length.
inline std::string httpResponse(const std::string& body, const std::string& status = "200 OK",
                                bool withLength = true, const std::string& extraHeaders = "") {
    std::string r = "HTTP/1.0 " + status + "\r\nContent-Type: text/plain\r\n" + extraHeaders;
    if (withLength) r += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    return r + "\r\n" + body;
}

class TestHttpServer {
public:
    explicit TestHttpServer(std::string defaultResponse) : defaultResponse_(std::move(defaultResponse)) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        int one = 1;
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd_, 8) != 0)
            return;
        socklen_t len = sizeof addr;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~TestHttpServer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (fd_ >= 0) ::close(fd_);
    }
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    bool ok() const { return port_ != 0; }
    int port() const { return port_; }
    std::string url(const std::string& path = "/version.txt") const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    // The raw response for a path ("/version.txt"); other paths get the default response.
    void setResponse(const std::string& path, const std::string& raw) {
        std::lock_guard<std::mutex> lock(mutex_);
        responses_[path] = raw;
    }
    // The requests received so far, as sent (request line and headers).
    std::vector<std::string> requests() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

    // A port on 127.0.0.1 where nothing listens (connections are refused).
    static int closedPort() {
        int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
        ::close(fd);
        return ntohs(addr.sin_port);
    }

private:
    void serve() {
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            int client = ::accept(fd_, nullptr, nullptr);
            if (client < 0) continue;
            std::string request = readRequest(client);
            std::string path = pathOf(request);
            std::string response;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(request);
                auto it = responses_.find(path);
                response = it == responses_.end() ? defaultResponse_ : it->second;
            }
            size_t sent = 0;
            while (sent < response.size()) {
                ssize_t n = ::send(client, response.data() + sent, response.size() - sent, MSG_NOSIGNAL);
                if (n <= 0) break;
                sent += size_t(n);
            }
            ::close(client);
        }
    }

    static std::string readRequest(int client) {
        std::string data;
        char buffer[4096];
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (data.find("\r\n\r\n") == std::string::npos && std::chrono::steady_clock::now() < deadline) {
            pollfd p{client, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            data.append(buffer, size_t(n));
        }
        return data;
    }

    static std::string pathOf(const std::string& request) {
        size_t a = request.find(' ');
        size_t b = a == std::string::npos ? a : request.find(' ', a + 1);
        return b == std::string::npos ? std::string() : request.substr(a + 1, b - a - 1);
    }

    int fd_ = -1;
    int port_ = 0;
    std::string defaultResponse_;
    std::map<std::string, std::string> responses_;
    std::vector<std::string> requests_;
    mutable std::mutex mutex_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace kxtest
