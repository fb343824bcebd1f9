#include "web/server/guarded_server.h"

#include <netdb.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <memory>

namespace zovrena::web {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

thread_local bool closeRequested = false;

std::string numericAddress(const sockaddr_storage& address, socklen_t length, int& port) {
    std::array<char, NI_MAXHOST> host{};
    std::array<char, NI_MAXSERV> service{};
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host.data(), host.size(),
                    service.data(), service.size(), NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
        port = 0;
        return {};
    }
    port = std::atoi(service.data());
    return host.data();
}

std::string peerAddress(int sock, int& port) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getpeername(sock, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        port = 0;
        return {};
    }
    return numericAddress(address, length, port);
}

std::string localAddress(int sock, int& port) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        port = 0;
        return {};
    }
    return numericAddress(address, length, port);
}

// Waits for the socket; false on timeout or error.
bool ready(int sock, short events, milliseconds timeout) {
    constexpr milliseconds::rep longest = 24L * 3600 * 1000;
    pollfd fd{sock, events, 0};
    const int count =
        timeout.count() <= 0
            ? 0
            : ::poll(&fd, 1,
                     static_cast<int>(std::min<milliseconds::rep>(timeout.count(), longest)));
    return count > 0;
}

void receiveTimeout(int sock, milliseconds timeout) {
    const auto ms = std::max<milliseconds::rep>(timeout.count(), 1);
    timeval value{static_cast<time_t>(ms / 1000), static_cast<suseconds_t>(ms % 1000 * 1000)};
    ::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &value, sizeof value);
}

// A connection's bytes, with the limits of one request at a time: the header has to end within
// its deadline and size, what follows within the request's.
class GuardedStream final : public httplib::Stream {
  public:
    GuardedStream(int sock, SSL* ssl, const GuardedServer& server, const ConnectionLimits& limits,
                  milliseconds readTimeout, milliseconds writeTimeout)
        : sock_(sock),
          ssl_(ssl),
          server_(server),
          limits_(limits),
          readTimeout_(readTimeout),
          writeTimeout_(writeTimeout) {
        remote_ = peerAddress(sock, remotePort_);
        local_ = localAddress(sock, localPort_);
    }

    void beginRequest() {
        inHeader_ = true;
        headerBytes_ = 0;
        bodyBytes_ = 0;
        matched_ = 0;
        began_ = Clock::now();
    }

    bool buffered() const { return offset_ < filled_ || (ssl_ && SSL_pending(ssl_) > 0); }

    // A limit was passed or the socket failed: nothing more can be read in step with the sender.
    bool broken() const { return broken_; }

    bool is_readable() const override { return buffered() || awaitBytes(); }

    bool is_writable() const override { return ready(sock_, POLLOUT, writeTimeout_); }

    ssize_t read(char* ptr, size_t size) override {
        if (offset_ == filled_ && !fill()) {
            broken_ = true;
            return -1;
        }
        const std::size_t n = std::min(size, filled_ - offset_);
        if (!count(buffer_.data() + offset_, n)) {
            broken_ = true;
            return -1;
        }
        std::copy_n(buffer_.data() + offset_, n, ptr);
        offset_ += n;
        return static_cast<ssize_t>(n);
    }

    ssize_t write(const char* ptr, size_t size) override {
        if (!is_writable()) {
            broken_ = true;
            return -1;
        }
        const ssize_t sent =
            ssl_ ? SSL_write(ssl_, ptr, static_cast<int>(std::min<size_t>(size, INT_MAX)))
                 : ::send(sock_, ptr, size, MSG_NOSIGNAL);
        if (sent < 0) {
            broken_ = true;
        }
        return sent;
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        ip = remote_;
        port = remotePort_;
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        ip = local_;
        port = localPort_;
    }
    socket_t socket() const override { return sock_; }

    const std::string& remote() const { return remote_; }

  private:
    // How long the request under way may still wait for its sender: its deadline, shorter while
    // the threads are nearly all held.
    milliseconds deadlineLeft() const {
        auto deadline = began_ + (inHeader_ ? limits_.headerTimeout : limits_.requestTimeout);
        if (server_.pressed()) {
            deadline = std::min(deadline, began_ + limits_.pressedTimeout);
        }
        return std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    }

    // How long one read may still wait: the socket's timeout, cut short by the request's deadline.
    milliseconds waitLimit() const { return std::min(deadlineLeft(), readTimeout_); }

    // Waits for bytes within waitLimit(), in short slices: the threads may fill up meanwhile and
    // shorten the deadline.
    bool awaitBytes() const {
        const auto until = Clock::now() + readTimeout_;
        for (;;) {
            const auto left = std::min(
                deadlineLeft(), std::chrono::duration_cast<milliseconds>(until - Clock::now()));
            if (left.count() <= 0) {
                return false;
            }
            if (ready(sock_, POLLIN, std::min(left, kPressureCheck))) {
                return true;
            }
        }
    }

    bool fill() {
        const bool pending = ssl_ && SSL_pending(ssl_) > 0;
        if (!pending && !awaitBytes()) {
            return false;
        }
        ssize_t got = 0;
        if (ssl_) {
            // A record may arrive in pieces: the wait inside is bounded by the same deadline.
            receiveTimeout(sock_, waitLimit());
            got = SSL_read(ssl_, buffer_.data(), static_cast<int>(buffer_.size()));
        } else {
            got = ::recv(sock_, buffer_.data(), buffer_.size(), 0);
        }
        if (got <= 0) {
            return false;
        }
        offset_ = 0;
        filled_ = static_cast<std::size_t>(got);
        return true;
    }

    // Counts what is handed to the parser; false past a limit. The parser takes the header a byte
    // at a time, so its end is seen exactly.
    bool count(const char* data, std::size_t n) {
        if (!inHeader_) {
            bodyBytes_ += n;
            return bodyBytes_ <= limits_.maxRequestBytes;
        }
        static constexpr std::string_view end = "\r\n\r\n";
        for (std::size_t i = 0; i < n; ++i) {
            ++headerBytes_;
            matched_ = data[i] == end[matched_] ? matched_ + 1 : (data[i] == '\r' ? 1 : 0);
            if (matched_ == end.size()) {
                inHeader_ = false;
                bodyBytes_ = n - i - 1;
                break;
            }
        }
        return headerBytes_ <= limits_.maxHeaderBytes && bodyBytes_ <= limits_.maxRequestBytes;
    }

    static constexpr milliseconds kPressureCheck{50};

    int sock_;
    SSL* ssl_;
    const GuardedServer& server_;
    const ConnectionLimits& limits_;
    milliseconds readTimeout_;
    milliseconds writeTimeout_;
    std::string remote_;
    std::string local_;
    int remotePort_ = 0;
    int localPort_ = 0;

    std::array<char, 4096> buffer_{};
    std::size_t offset_ = 0;
    std::size_t filled_ = 0;

    bool inHeader_ = true;
    std::size_t headerBytes_ = 0;
    std::size_t bodyBytes_ = 0;
    std::size_t matched_ = 0;
    Clock::time_point began_ = Clock::now();
    bool broken_ = false;
};

std::string busyAnswer() {
    const std::string body =
        R"({"error":"Troppe connessioni da questo indirizzo. Riprovare più tardi."})";
    return "HTTP/1.1 503 Service Unavailable\r\n"
           "Content-Type: application/json; charset=utf-8\r\n"
           "Retry-After: 5\r\n"
           "Connection: close\r\n"
           "Content-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

// Closes a connection whose sender may still be sending: closing with unread bytes would reset the
// connection and could destroy the answer on its way. What comes meanwhile is read and dropped,
// for a short while and up to a bound.
void lingeringClose(int sock, milliseconds patience, std::size_t bound) {
    ::shutdown(sock, SHUT_WR);
    const auto until = Clock::now() + patience;
    std::array<char, 16384> sink{};
    for (std::size_t dropped = 0; dropped < bound;) {
        const auto left = std::chrono::duration_cast<milliseconds>(until - Clock::now());
        if (!ready(sock, POLLIN, left)) {
            break;
        }
        const ssize_t got = ::recv(sock, sink.data(), sink.size(), 0);
        if (got <= 0) {
            break;
        }
        dropped += static_cast<std::size_t>(got);
    }
}

}  // namespace

GuardedServer::GuardedServer(ConnectionLimits limits, std::size_t threads)
    : limits_(limits), threads_(threads) {
    new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
}

GuardedServer::~GuardedServer() {
    if (tls_) {
        SSL_CTX_free(tls_);
    }
}

bool GuardedServer::useTls(const std::string& certificateChain, const std::string& privateKey,
                           std::string& error) {
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    const bool loaded =
        context && SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION) == 1 &&
        SSL_CTX_use_certificate_chain_file(context, certificateChain.c_str()) == 1 &&
        SSL_CTX_use_PrivateKey_file(context, privateKey.c_str(), SSL_FILETYPE_PEM) == 1 &&
        SSL_CTX_check_private_key(context) == 1;
    if (!loaded) {
        std::array<char, 256> reason{};
        ERR_error_string_n(ERR_get_error(), reason.data(), reason.size());
        error = reason.data();
        SSL_CTX_free(context);
        return false;
    }
    if (tls_) {
        SSL_CTX_free(tls_);
    }
    tls_ = context;
    return true;
}

void GuardedServer::widenBacklog() {
    const socket_t sock = svr_sock_;
    if (sock != INVALID_SOCKET) {
        // On a socket already listening this only changes the queue's length.
        ::listen(sock, limits_.listenBacklog);
    }
}

void GuardedServer::closeAfterAnswer() {
    closeRequested = true;
}

std::size_t GuardedServer::connectionsFrom(const std::string& address) {
    std::lock_guard lock(mutex_);
    const auto found = connections_.find(address);
    return found == connections_.end() ? 0 : found->second;
}

bool GuardedServer::admit(const std::string& address) {
    std::lock_guard lock(mutex_);
    auto& open = connections_[address];
    if (limits_.connectionsPerAddress != 0 && open >= limits_.connectionsPerAddress) {
        if (open == 0) {
            connections_.erase(address);
        }
        return false;
    }
    ++open;
    return true;
}

void GuardedServer::release(const std::string& address) {
    std::lock_guard lock(mutex_);
    const auto found = connections_.find(address);
    if (found != connections_.end() && --found->second == 0) {
        connections_.erase(found);
    }
}

bool GuardedServer::pressed() const {
    // A small pool keeps a quarter of its threads spare.
    return held_.load() + std::min(limits_.spareThreads, threads_ / 4) >= threads_;
}

bool GuardedServer::process_and_close_socket(socket_t sock) {
    ++held_;
    struct Release {
        std::atomic<std::size_t>& held;
        ~Release() { --held; }
    } release{held_};
    switch (serve(sock)) {
        case Ending::Clean:
            ::shutdown(sock, SHUT_RDWR);
            break;
        case Ending::Unread:
            lingeringClose(sock, std::chrono::seconds(1), limits_.maxRequestBytes);
            break;
        case Ending::TurnedAway:  // not worth a thread for long
            lingeringClose(sock, milliseconds(100), limits_.maxHeaderBytes);
            break;
    }
    ::close(sock);
    return true;
}

GuardedServer::Ending GuardedServer::serve(socket_t sock) {
    int port = 0;
    const std::string address = peerAddress(sock, port);
    if (!admit(address)) {
        if (ready(sock, POLLOUT, milliseconds(100))) {
            const std::string answer = busyAnswer();
            ::send(sock, answer.data(), answer.size(), MSG_NOSIGNAL);
        }
        return Ending::TurnedAway;
    }
    // The handshake has the header's deadline.
    std::unique_ptr<SSL, decltype(&SSL_free)> ssl(tls_ ? SSL_new(tls_) : nullptr, &SSL_free);
    if (tls_) {
        receiveTimeout(sock, pressed() ? limits_.pressedTimeout : limits_.headerTimeout);
        if (!ssl || SSL_set_fd(ssl.get(), sock) != 1 || SSL_accept(ssl.get()) != 1) {
            release(address);
            return Ending::Unread;
        }
    }
    const auto timeout = [](time_t seconds, time_t microseconds) {
        return std::chrono::duration_cast<milliseconds>(std::chrono::seconds(seconds) +
                                                        std::chrono::microseconds(microseconds));
    };
    GuardedStream stream(sock, ssl.get(), *this, limits_,
                         timeout(read_timeout_sec_, read_timeout_usec_),
                         timeout(write_timeout_sec_, write_timeout_usec_));
    Ending ending = Ending::Clean;
    for (std::size_t left = keep_alive_max_count_; left > 0; --left) {
        // Waits for the next request while the kept-alive connection is idle, looking out for the
        // server stopping.
        const auto idleSince = Clock::now();
        const auto idleUntil = idleSince + std::chrono::seconds(keep_alive_timeout_sec_);
        bool arrived = false;
        while (svr_sock_ != INVALID_SOCKET && Clock::now() < idleUntil &&
               !(pressed() && Clock::now() - idleSince >= limits_.pressedTimeout)) {
            if (stream.buffered() || ready(sock, POLLIN, milliseconds(50))) {
                arrived = true;
                break;
            }
        }
        if (!arrived || svr_sock_ == INVALID_SOCKET) {
            break;
        }
        stream.beginRequest();
        closeRequested = false;
        bool closedByPeer = false;
        const bool answered = process_request(stream, left == 1, closedByPeer, nullptr);
        if (!answered || closedByPeer || closeRequested || stream.broken()) {
            ending = closeRequested || stream.broken() ? Ending::Unread : Ending::Clean;
            break;
        }
    }
    closeRequested = false;
    if (ssl && ending == Ending::Clean) {
        SSL_shutdown(ssl.get());
    }
    release(address);
    return ending;
}

}  // namespace zovrena::web
