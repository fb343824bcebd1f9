// The host deployed behind nginx with the configuration the README points to, on plain HTTP and a
// free port: sign-in through the proxy, the client's own address in the audit log, the host's
// names and nginx's body limit. Skipped where nginx is not installed.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "data_access.h"
#include "hardening/host_process.h"

namespace zovrena::hardening {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr const char* nginxBinary = "/usr/sbin/nginx";
constexpr const char* siteName = "erp.example.it";
constexpr const char* clientAddress = "127.0.0.7";  // not the proxy's own 127.0.0.1

using test_support::fileText;

// Replaces the one occurrence of `from`; a configuration that no longer holds it would be tested
// as something else, so its absence is an error.
void replaceOnce(std::string& text, const std::string& from, const std::string& to) {
    const auto found = text.find(from);
    if (found == std::string::npos || text.find(from, found + 1) != std::string::npos) {
        throw std::runtime_error("docs/nginx-zovrena.conf: \"" + from + "\" not found once");
    }
    text.replace(found, from.size(), to);
}

int freePort() {
    const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool bound = ::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       ::getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(sock);
    if (!bound) {
        throw std::runtime_error("no free port");
    }
    return ntohs(address.sin_port);
}

// nginx in the foreground, everything it writes in a folder of its own, with the deployment's
// server block listening on plain HTTP and passing to the host's port.
class NginxProcess {
  public:
    NginxProcess(const fs::path& folder, int hostPort) : folder_(folder), port_(freePort()) {
        std::string site = fileText(ZOVRENA_NGINX_CONF);
        replaceOnce(site, "listen 443 ssl;", "listen 127.0.0.1:" + std::to_string(port_) + ";");
        replaceOnce(site, "    ssl_certificate     /etc/ssl/certs/erp.example.it.pem;\n", "");
        replaceOnce(site, "    ssl_certificate_key /etc/ssl/private/erp.example.it.key;\n", "");
        replaceOnce(site, "proxy_pass http://127.0.0.1:8080;",
                    "proxy_pass http://127.0.0.1:" + std::to_string(hostPort) + ";");
        const std::string dir = folder_.string();
        std::ofstream(folder_ / "nginx.conf")
            // As root nginx would hand its workers to a user that cannot write in the folder.
            << (::geteuid() == 0 ? "user root;\n" : "") << "daemon off;\n"
            << "pid " << dir << "/nginx.pid;\n"
            << "error_log " << dir << "/error.log;\n"
            << "events { worker_connections 64; }\n"
            << "http {\n"
            << "access_log " << dir << "/access.log;\n"
            << "client_body_temp_path " << dir << "/body;\n"
            << "proxy_temp_path " << dir << "/proxy;\n"
            << "fastcgi_temp_path " << dir << "/fastcgi;\n"
            << "uwsgi_temp_path " << dir << "/uwsgi;\n"
            << "scgi_temp_path " << dir << "/scgi;\n"
            << site << "}\n";
        pid_ = ::fork();
        if (pid_ == 0) {
            const std::string log = dir + "/error.log";
            const std::string conf = dir + "/nginx.conf";
            ::execl(nginxBinary, nginxBinary, "-p", dir.c_str(), "-e", log.c_str(), "-c",
                    conf.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 100; ++i) {
            if (const int sock = connectFrom("127.0.0.1", port_); sock >= 0) {
                ::close(sock);
                return;
            }
            std::this_thread::sleep_for(50ms);
        }
        stop();
        throw std::runtime_error("nginx did not start: " + fileText(folder_ / "error.log"));
    }
    ~NginxProcess() { stop(); }
    NginxProcess(const NginxProcess&) = delete;
    NginxProcess& operator=(const NginxProcess&) = delete;

    int port() const { return port_; }

  private:
    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

    fs::path folder_;
    int port_;
    pid_t pid_ = -1;
};

// One request on its own connection from `source`, and everything answered until the close.
std::string exchange(const std::string& source, int port, const std::string& request) {
    const int sock = connectFrom(source, port);
    if (sock < 0) {
        return {};
    }
    sendAll(sock, request);
    std::string answer;
    char buffer[4096];
    for (pollfd fd{sock, POLLIN, 0}; ::poll(&fd, 1, 5000) > 0;) {
        const ssize_t got = ::recv(sock, buffer, sizeof buffer, 0);
        if (got <= 0) {
            break;
        }
        answer.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(sock);
    return answer;
}

std::string post(const std::string& host, const std::string& path, const std::string& body) {
    return "POST " + path + " HTTP/1.1\r\nHost: " + host +
           "\r\nContent-Type: application/json\r\nConnection: close\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

class BehindNginx : public testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(nginxBinary)) {
            GTEST_SKIP() << nginxBinary << " is not installed";
        }
        host_ = std::make_unique<HostProcess>(std::vector<std::string>{
            "--trust-proxy", "--allowed-hosts", siteName, "--audit-log", auditLog()});
        fs::create_directories(host_->folder() / "nginx");
        nginx_ = std::make_unique<NginxProcess>(host_->folder() / "nginx", host_->port());
    }

    std::string auditLog() const { return (fs::temp_directory_path() / logName_).string(); }

    void TearDown() override {
        nginx_.reset();
        host_.reset();
        fs::remove(auditLog());
    }

    std::string through(const std::string& request) const {
        return exchange(clientAddress, nginx_->port(), request);
    }

    std::string logName_ = "zovrena_proxy_audit_" + std::to_string(::getpid()) + ".log";
    std::unique_ptr<HostProcess> host_;
    std::unique_ptr<NginxProcess> nginx_;
};

TEST_F(BehindNginx, Sign_in_passes_and_the_host_records_the_clients_own_address) {
    const std::string wrong =
        through(post(siteName, "/api/login", R"({"user":"demo","password":"sbagliata"})"));
    EXPECT_THAT(wrong, testing::StartsWith("HTTP/1.1 401"));
    const std::string right =
        through(post(siteName, "/api/login", R"({"user":"demo","password":"demo"})"));
    EXPECT_THAT(right, testing::StartsWith("HTTP/1.1 200"));
    EXPECT_THAT(right, testing::HasSubstr("\"csrfToken\""));
    // Plain HTTP to the proxy: the cookie is not marked for HTTPS only.
    EXPECT_THAT(right, testing::ContainsRegex("Set-Cookie: [^\r]*HttpOnly"));
    EXPECT_THAT(right, testing::Not(testing::HasSubstr("; Secure")));

    const std::string log = fileText(auditLog());
    EXPECT_THAT(log, testing::HasSubstr("\taccesso rifiutato\tdemo\t\t127.0.0.7\t"));
    EXPECT_THAT(log, testing::HasSubstr("\taccesso\tdemo\t1\t127.0.0.7\t"));
    EXPECT_THAT(log, testing::Not(testing::HasSubstr("\t127.0.0.1\t")));
}

TEST_F(BehindNginx, Only_the_sites_name_is_answered) {
    const std::string page = "GET /login.html HTTP/1.1\r\nConnection: close\r\nHost: ";
    EXPECT_THAT(through(page + siteName + "\r\n\r\n"), testing::StartsWith("HTTP/1.1 200"));
    EXPECT_THAT(through(page + "evil.example\r\n\r\n"), testing::StartsWith("HTTP/1.1 421"));
}

TEST_F(BehindNginx, A_body_past_the_limit_is_refused_by_nginx_before_the_host) {
    const std::string body(std::size_t{100} * 1024, 'a');
    const std::string answer = through(post(siteName, "/api/login", body));
    EXPECT_THAT(answer, testing::StartsWith("HTTP/1.1 413"));
    EXPECT_THAT(answer, testing::ContainsRegex("Server: nginx"));
    // Just under the limit the body reaches the host, which refuses it as its own.
    const std::string under =
        through(post(siteName, "/api/login", std::string(std::size_t{60} * 1024, 'a')));
    EXPECT_THAT(under, testing::StartsWith("HTTP/1.1 400"));
    EXPECT_THAT(under, testing::HasSubstr("\"error\""));
}

}  // namespace
}  // namespace zovrena::hardening
