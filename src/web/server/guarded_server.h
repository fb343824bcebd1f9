#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>

namespace zovrena::web {

// What one connection may cost the host, whatever its sender does.
struct ConnectionLimits {
    // The request line and every header have to arrive within this time, however slowly they
    // trickle in; the whole request, body included, within requestTimeout.
    std::chrono::milliseconds headerTimeout = std::chrono::seconds(10);
    std::chrono::milliseconds requestTimeout = std::chrono::seconds(30);
    std::size_t maxHeaderBytes = std::size_t{16} * 1024;
    // Bytes a request may send after its headers, in whatever transfer encoding.
    std::size_t maxRequestBytes = std::size_t{256} * 1024;
    // Connections open at once from one address (0: no cap).
    std::size_t connectionsPerAddress = 32;
    // Connections the kernel queues before they are accepted.
    int listenBacklog = 1024;
    // Once all but this many request threads are held by connections, a connection waiting for
    // its sender (idle between requests, or sending one) keeps its thread only until the request
    // under way is `pressedTimeout` old: slow senders from a few addresses cannot hold every
    // thread, and a normal request still finds one.
    std::size_t spareThreads = 16;
    std::chrono::milliseconds pressedTimeout = std::chrono::milliseconds(250);
};

// The HTTP server with the limits above: every connection is read through a stream that counts
// and times what arrives, and an address past its share of connections is answered 503 at once.
class GuardedServer : public httplib::Server {
  public:
    // Serves requests on this many threads.
    GuardedServer(ConnectionLimits limits, std::size_t threads);
    ~GuardedServer() override;
    GuardedServer(const GuardedServer&) = delete;
    GuardedServer& operator=(const GuardedServer&) = delete;

    // Speaks HTTPS with this certificate chain and private key (PEM files) from now on; false,
    // with the reason, when they do not load or do not belong together.
    bool useTls(const std::string& certificateChain, const std::string& privateKey,
                std::string& error);
    bool tls() const { return tls_ != nullptr; }

    // After binding: a backlog that absorbs bursts of connections.
    void widenBacklog();

    // Asks for the connection of the request being handled on this thread to close after the
    // answer, as when its body was left unread.
    static void closeAfterAnswer();

    std::size_t connectionsFrom(const std::string& address);

    // Whether so many threads are held that connections waiting for their senders give theirs up.
    bool pressed() const;

  private:
    bool process_and_close_socket(socket_t sock) override;
    bool admit(const std::string& address);
    void release(const std::string& address);
    enum class Ending { Clean, Unread, TurnedAway };
    // Serves the connection's requests; how the connection ended.
    Ending serve(socket_t sock);

    ConnectionLimits limits_;
    std::size_t threads_;
    std::atomic<std::size_t> held_{0};  // threads serving a connection
    SSL_CTX* tls_ = nullptr;
    std::mutex mutex_;
    std::map<std::string, std::size_t> connections_;
};

}  // namespace zovrena::web
