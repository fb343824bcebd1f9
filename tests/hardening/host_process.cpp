#include "hardening/host_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <thread>

#include "data_access.h"

namespace zovrena::hardening {

namespace {

using namespace std::chrono_literals;
using test_support::fileText;

// Runs the host executable with stdout and stderr going to files; its process id.
pid_t spawn(const std::vector<std::string>& arguments, const std::filesystem::path& out,
            const std::filesystem::path& err) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(outFd, STDOUT_FILENO);
        ::dup2(errFd, STDERR_FILENO);
        std::vector<char*> argv;
        static std::string binary = ZOVRENA_BIN;
        argv.push_back(binary.data());
        for (const auto& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(binary.c_str(), argv.data());
        ::_exit(127);
    }
    return pid;
}

// Waits up to five seconds for the process to end; past that it is killed. Whether it ended.
bool ended(pid_t pid, int& status) {
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            return true;
        }
        std::this_thread::sleep_for(50ms);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return false;
}

std::filesystem::path freshFolder() {
    static int count = 0;
    auto folder =
        std::filesystem::temp_directory_path() /
        ("zovrena_hardening_" + std::to_string(::getpid()) + "_" + std::to_string(++count));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

}  // namespace

HostProcess::HostProcess(std::vector<std::string> options)
    : folder_(freshFolder()), database_(folder_ / "zovrena.db") {
    std::vector<std::string> arguments = {"serve",      "--listen",         "127.0.0.1:0",
                                          "--database", connectionString(), "--demo"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    pid_ = spawn(arguments, folder_ / "out.log", folder_ / "err.log");
    const std::regex listening(R"(https?://127\.0\.0\.1:([0-9]+))");
    for (int i = 0; i < 600 && port_ == 0; ++i) {
        std::smatch found;
        const std::string out = fileText(folder_ / "out.log");
        if (std::regex_search(out, found, listening)) {
            port_ = std::stoi(found[1]);
        } else if (!running()) {
            break;
        } else {
            std::this_thread::sleep_for(50ms);
        }
    }
    if (port_ == 0) {
        stop();
        throw std::runtime_error("zovrena serve non è partito: " + fileText(folder_ / "err.log"));
    }
}

HostProcess::~HostProcess() {
    stop();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

HostProcess::Refusal HostProcess::startRefused(const std::vector<std::string>& arguments) {
    const auto folder = freshFolder();
    const pid_t pid = spawn(arguments, folder / "out.log", folder / "err.log");
    Refusal refusal{.errors = "started instead of refusing"};
    if (int status = 0; ended(pid, status)) {
        refusal.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        refusal.errors = fileText(folder / "err.log");
    }
    std::filesystem::remove_all(folder);
    return refusal;
}

bool HostProcess::running() const {
    return pid_ > 0 && ::kill(pid_, 0) == 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0;
}

void HostProcess::stop() {
    if (pid_ <= 0) {
        return;
    }
    ::kill(pid_, SIGTERM);
    int status = 0;
    ended(pid_, status);
    pid_ = -1;
}

long HostProcess::peakMemoryMiB() const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:")) {
            return std::stol(line.substr(6)) / 1024;
        }
    }
    return -1;
}

httplib::Client HostProcess::client(int timeoutSeconds) const {
    httplib::Client c("127.0.0.1", port_);
    c.set_connection_timeout(timeoutSeconds, 0);
    c.set_read_timeout(timeoutSeconds, 0);
    c.set_write_timeout(timeoutSeconds, 0);
    return c;
}

std::string HostProcess::sql(const std::string& statement) const {
    const auto out = folder_ / "sql.out";
    const pid_t pid =
        spawn({"sql", "--database", connectionString(), statement}, out, folder_ / "sql.err");
    int status = 0;
    ::waitpid(pid, &status, 0);
    return fileText(out);
}

Person signIn(const HostProcess& host, const std::string& user, const std::string& password) {
    auto c = host.client(30);
    const nlohmann::json body{{"user", user}, {"password", password}};
    Person person;
    auto res = c.Post("/api/login", body.dump(), "application/json");
    if (!res) {
        return person;
    }
    person.status = res->status;
    if (res->status == 200) {
        const std::string cookie = res->get_header_value("Set-Cookie");
        person.cookie = cookie.substr(0, cookie.find(';'));
        person.csrf = nlohmann::json::parse(res->body)["csrfToken"];
    }
    return person;
}

httplib::Result post(const HostProcess& host, const Person& who, const std::string& path,
                     const nlohmann::json& body) {
    return host.client(30).Post(
        path, httplib::Headers{{"Cookie", who.cookie}, {"X-Zovrena-Csrf", who.csrf}}, body.dump(),
        "application/json");
}

httplib::Result get(const HostProcess& host, const Person& who, const std::string& path) {
    return host.client(30).Get(path, httplib::Headers{{"Cookie", who.cookie}});
}

int connectFrom(const std::string& source, int port) {
    const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, source.c_str(), &local.sin_addr);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<std::uint16_t>(port));
    remote.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(sock, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::connect(sock, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
        ::close(sock);
        return -1;
    }
    return sock;
}

bool sendAll(int sock, const std::string& data) {
    for (std::size_t sent = 0; sent < data.size();) {
        const ssize_t n = ::send(sock, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace zovrena::hardening
