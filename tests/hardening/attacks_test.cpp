// The web host attacked from outside, as a stranger on the office network would with nothing but
// an HTTP client and a few sockets: each attack must leave the host's memory bounded, a normal
// request answered meanwhile, and the database as it was.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include "data_access.h"
#include "hardening/host_process.h"

namespace zovrena::hardening {
namespace {

using Json = nlohmann::json;
using namespace std::chrono_literals;

constexpr const char* programProgId = "DUZA_ZOVRENA.CLSPD_ZOVRENA";
constexpr const char* generalRows = "SELECT * FROM PD42_ZOVRENA";

bool readable(int sock, int milliseconds) {
    pollfd fd{sock, POLLIN, 0};
    return ::poll(&fd, 1, milliseconds) > 0;
}

// A plain page, asked for by someone else (from an address of their own) while the attack goes
// on: answered within a second.
void expectAnsweredWithinASecond(const HostProcess& host) {
    const int sock = connectFrom("127.0.0.3", host.port());
    ASSERT_GE(sock, 0);
    const std::string request =
        "GET /login.html HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    sendAll(sock, request);
    char buffer[32] = {};
    const bool answered = readable(sock, 1000) && ::recv(sock, buffer, sizeof buffer - 1, 0) > 0;
    ::close(sock);
    ASSERT_TRUE(answered) << "no answer within a second";
    EXPECT_THAT(std::string(buffer), testing::StartsWith("HTTP/1.1 200"));
}

// What the host answered on the connection, up to its first bytes.
std::string firstBytes(int sock) {
    char buffer[64] = {};
    if (!readable(sock, 2000)) {
        return {};
    }
    const ssize_t got = ::recv(sock, buffer, sizeof buffer, 0);
    return got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : std::string();
}

TEST(Attack, A_chunked_body_of_hundreds_of_megabytes_is_cut_off_at_the_body_limit) {
    HostProcess host;
    const std::string before = host.sql(generalRows);
    std::string answer;
    std::thread attacker([&] {
        const int sock = connectFrom("127.0.0.2", host.port());
        ASSERT_GE(sock, 0);
        sendAll(sock,
                "POST /api/login HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n"
                "Transfer-Encoding: chunked\r\n\r\n");
        const std::string chunk = "100000\r\n" + std::string(0x100000, 'a') + "\r\n";
        // 200 MiB, unless the host answers first.
        for (int i = 0; i < 200 && !readable(sock, 0) && sendAll(sock, chunk); ++i) {
        }
        answer = firstBytes(sock);
        ::close(sock);
    });
    expectAnsweredWithinASecond(host);
    attacker.join();
    EXPECT_THAT(answer, testing::StartsWith("HTTP/1.1 413"));
    EXPECT_LT(host.peakMemoryMiB(), 150);
    EXPECT_EQ(host.sql(generalRows), before);
}

TEST(Attack, Simultaneous_sign_ins_hash_a_few_passwords_at_a_time_and_are_all_counted) {
    HostProcess host;
    // Wrong passwords at once, half of them for one user: only those the throttle allows are
    // checked, and only a few checks run at a time.
    std::map<std::string, std::map<int, int>> statuses;
    std::mutex mutex;
    std::vector<std::thread> attempts;
    attempts.reserve(48);
    for (int i = 0; i < 48; ++i) {
        attempts.emplace_back([&, i] {
            const std::string user = i % 2 == 0 ? "demo" : "utente" + std::to_string(i);
            const int status = signIn(host, user, "sbagliata").status;
            std::lock_guard lock(mutex);
            ++statuses[i % 2 == 0 ? "demo" : "others"][status];
        });
    }
    expectAnsweredWithinASecond(host);
    for (auto& attempt : attempts) {
        attempt.join();
    }
    EXPECT_LE(statuses["demo"][401], 4) << "3 free failures and a 4th attempt";
    for (auto& [user, counts] : statuses) {
        EXPECT_EQ(counts[200], 0);
        EXPECT_EQ(counts[401] + counts[429] + counts[503], 24) << user;
    }
    // Each check takes 64 MiB for its moment: a few at a time.
    EXPECT_LT(host.peakMemoryMiB(), 64 * 3 + 100);
    // Someone else behind the same address still signs in with the right password.
    EXPECT_EQ(signIn(host, "ospite", "ospite").status, 200);
}

TEST(Attack, Many_slow_connections_from_one_address_leave_room_for_everyone_else) {
    HostProcess host;
    std::vector<int> slow;
    for (int i = 0; i < 70; ++i) {
        const int sock = connectFrom("127.0.0.2", host.port());
        ASSERT_GE(sock, 0) << "connection " << i << " refused: the backlog is too short";
        ::send(sock, "GET /login.html HTTP/1.1\r\n", 26, MSG_NOSIGNAL);
        slow.push_back(sock);
    }
    std::this_thread::sleep_for(300ms);
    int turnedAway = 0;
    std::vector<int> held;
    for (const int sock : slow) {
        if (readable(sock, 0) && firstBytes(sock).starts_with("HTTP/1.1 503")) {
            ++turnedAway;
            ::close(sock);
        } else {
            held.push_back(sock);
        }
    }
    EXPECT_EQ(turnedAway, 70 - 32) << "past the connections allowed to one address";
    for (int round = 0; round < 3; ++round) {
        for (const int sock : held) {
            ::send(sock, "X-Lento: 1\r\n", 12, MSG_NOSIGNAL);
        }
        expectAnsweredWithinASecond(host);
        std::this_thread::sleep_for(300ms);
    }
    for (const int sock : held) {
        ::close(sock);
    }
}

TEST(Attack, Slow_connections_from_a_few_addresses_cannot_hold_every_request_thread) {
    HostProcess host;
    // Four addresses, each within its own share of connections, together as many as the host has
    // request threads; each connection sends a header line now and then, and the attackers open a
    // new one as soon as the host drops one.
    std::vector<std::string> addresses;
    for (int i = 10; i < 14; ++i) {
        addresses.push_back("127.0.0." + std::to_string(i));
    }
    const auto open = [&](const std::string& address) {
        const int sock = connectFrom(address, host.port());
        if (sock >= 0) {
            ::send(sock, "GET /login.html HTTP/1.1\r\n", 26, MSG_NOSIGNAL);
        }
        return sock;
    };
    std::vector<std::pair<std::string, int>> slow;
    for (const auto& address : addresses) {
        for (int i = 0; i < 32; ++i) {
            slow.emplace_back(address, open(address));
        }
    }
    std::atomic<bool> attacking{true};
    std::atomic<int> reopened{0};
    std::thread attacker([&] {
        while (attacking) {
            for (auto& [address, sock] : slow) {
                const bool dropped = sock < 0 || readable(sock, 0) ||
                                     ::send(sock, "X-Lento: 1\r\n", 12, MSG_NOSIGNAL) <= 0;
                if (dropped) {
                    if (sock >= 0) {
                        ::close(sock);
                    }
                    sock = open(address);
                    ++reopened;
                }
            }
            std::this_thread::sleep_for(100ms);
        }
    });
    std::this_thread::sleep_for(500ms);
    for (int round = 0; round < 4; ++round) {
        expectAnsweredWithinASecond(host);
        std::this_thread::sleep_for(300ms);
    }
    attacking = false;
    attacker.join();
    for (const auto& [address, sock] : slow) {
        if (sock >= 0) {
            ::close(sock);
        }
    }
    EXPECT_GT(reopened, 0) << "the attack never held a thread long enough to be cut";
}

TEST(Attack, One_account_signing_in_again_and_again_leaves_windows_for_the_others) {
    HostProcess host;
    std::vector<Person> sessions;
    for (int i = 0; i < 12; ++i) {
        sessions.push_back(signIn(host, "demo", "demo"));
        ASSERT_EQ(sessions.back().status, 200);
        ASSERT_EQ(post(host, sessions.back(), "/api/window", {{"progId", programProgId}})->status,
                  200);
    }
    EXPECT_EQ(get(host, sessions.front(), "/api/session")->status, 401)
        << "the account's least recently used session made room";
    const Person other = signIn(host, "ospite", "ospite");
    const auto opened = post(host, other, "/api/window", {{"progId", programProgId}});
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->status, 200);
    expectAnsweredWithinASecond(host);
}

TEST(Attack, A_deleted_database_is_neither_recreated_nor_replaced_by_the_demo) {
    HostProcess host;
    const Person demo = signIn(host, "demo", "demo");
    std::filesystem::remove(host.database());
    // The host may go on with the connections it has open; it never opens the file anew.
    ASSERT_TRUE(get(host, demo, "/api/session"));
    signIn(host, "ospite", "ospite");
    EXPECT_FALSE(std::filesystem::exists(host.database()));
    host.stop();

    const auto restarted = HostProcess::startRefused(
        {"serve", "--listen", "127.0.0.1:0", "--database", host.connectionString()});
    EXPECT_NE(restarted.status, 0);
    EXPECT_THAT(restarted.errors, testing::HasSubstr("--demo"));
    EXPECT_FALSE(std::filesystem::exists(host.database()));
}

TEST(Audit, Sign_ins_refusals_saves_and_revocations_are_recorded) {
    const auto log = std::filesystem::temp_directory_path() /
                     ("zovrena_audit_" + std::to_string(::getpid()) + ".log");
    std::filesystem::remove(log);
    {
        HostProcess host({"--audit-log", log.string()});
        EXPECT_EQ(signIn(host, "demo", "sbagliata").status, 401);
        const Person demo = signIn(host, "demo", "demo");
        Json window =
            Json::parse(post(host, demo, "/api/window", {{"progId", programProgId}})->body);
        const std::string action = "/api/window/" + window["window"].get<std::string>() + "/action";
        for (const Json& step :
             {Json{{"type", "clickItem"}, {"item", "ITM_PRG_INDGES"}},
              Json{{"type", "setValue"}, {"control", "CMB_FLGSTATI"}, {"value", "0"}},
              Json{{"type", "hostButton"}, {"button", "Conferma"}}}) {
            Json request = step;
            request["revision"] = window["revision"];
            window = Json::parse(post(host, demo, action, request)->body);
        }
        EXPECT_EQ(window["notice"], "Parametri salvati");
        host.sql("DELETE FROM UT01_UTENTIDITTE WHERE UT01_UTENTE_UT00 = 'demo'");
        EXPECT_EQ(get(host, demo, "/api/session")->status, 401);
    }
    const std::string text = test_support::fileText(log);
    for (const char* line :
         {"\taccesso rifiutato\tdemo\t\t127.0.0.1\t", "\taccesso\tdemo\t1\t127.0.0.1\t",
          "\tsalvataggio\tdemo\t1\t127.0.0.1\t", "\trevoca\tdemo\t1\t127.0.0.1\t"}) {
        EXPECT_THAT(text, testing::HasSubstr(line));
    }
    std::filesystem::remove(log);
}

TEST(Tls, The_host_speaks_https_with_a_secure_cookie_and_only_https) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("zovrena_tls_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto key = folder / "key.pem";
    const auto certificate = folder / "cert.pem";
    const std::string make =
        "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=localhost "
        "-keyout " +
        key.string() + " -out " + certificate.string() + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(make.c_str()), 0);
    {
        HostProcess host({"--tls-cert", certificate.string(), "--tls-key", key.string()});
        httplib::SSLClient secure("127.0.0.1", host.port());
        secure.enable_server_certificate_verification(false);
        secure.set_connection_timeout(5, 0);
        secure.set_read_timeout(30, 0);
        const auto res =
            secure.Post("/api/login", R"({"user":"demo","password":"demo"})", "application/json");
        ASSERT_TRUE(res) << httplib::to_string(res.error());
        EXPECT_EQ(res->status, 200);
        EXPECT_THAT(res->get_header_value("Set-Cookie"), testing::HasSubstr("; Secure"));
        EXPECT_FALSE(host.client(2).Get("/login.html")) << "plain HTTP gets no answer";
        EXPECT_TRUE(secure.Get("/login.html"));
    }
    {
        const auto refused =
            HostProcess::startRefused({"serve", "--listen", "127.0.0.1:0", "--demo", "--database",
                                       "sqlite:" + (folder / "z.db").string(), "--tls-cert",
                                       key.string(), "--tls-key", key.string()});
        EXPECT_NE(refused.status, 0);
        EXPECT_THAT(refused.errors, testing::HasSubstr("certificato o chiave non utilizzabili"));
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace zovrena::hardening
