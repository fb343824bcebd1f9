#pragma once

// `zovrena serve` started as its own process on a free loopback port, on a fresh demo database in
// a temporary folder, for tests that attack it from outside as a stranger on the network would.

#include <httplib.h>
#include <sys/types.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace zovrena::hardening {

class HostProcess {
  public:
    // Starts the host with the demo database (created) and these further options.
    explicit HostProcess(std::vector<std::string> options = {});
    ~HostProcess();
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    // Starts `zovrena serve` with exactly these arguments; the exit status and what it wrote on
    // standard error when it did not start (port 0).
    struct Refusal {
        int status = 0;
        std::string errors;
    };
    static Refusal startRefused(const std::vector<std::string>& arguments);

    int port() const { return port_; }
    bool running() const;
    const std::filesystem::path& database() const { return database_; }
    const std::filesystem::path& folder() const { return folder_; }
    std::string connectionString() const { return "sqlite:" + database_.string(); }

    // The peak of the host's resident memory so far, in MiB.
    long peakMemoryMiB() const;

    // A client that gives up after one second: a request it gets an answer to was answered
    // within that bound.
    httplib::Client client(int timeoutSeconds = 1) const;

    // Runs `zovrena sql` on the host's database; its standard output.
    std::string sql(const std::string& statement) const;

    void stop();

  private:
    std::filesystem::path folder_;
    std::filesystem::path database_;
    pid_t pid_ = -1;
    int port_ = 0;
};

// A signed-in person: the session cookie and CSRF token.
struct Person {
    std::string cookie;
    std::string csrf;
    int status = 0;  // of the sign-in
};

Person signIn(const HostProcess& host, const std::string& user, const std::string& password);
httplib::Result post(const HostProcess& host, const Person& who, const std::string& path,
                     const nlohmann::json& body);
httplib::Result get(const HostProcess& host, const Person& who, const std::string& path);

// A raw connection to the host from a chosen loopback address (127.0.0.x); -1 when refused.
int connectFrom(const std::string& source, int port);

// Sends all of `data` on the socket; false when the peer stopped taking it.
bool sendAll(int sock, const std::string& data);

}  // namespace zovrena::hardening
