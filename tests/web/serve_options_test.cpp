#include "web/server/serve_options.h"

#include <gtest/gtest.h>

namespace zovrena::web {
namespace {

TEST(ServeOptions, ReadsListenDatabaseAndReset) {
    struct Case {
        std::vector<std::string> arguments;
        std::string host;
        int port;
        std::string database;
        bool resetDemo;
        bool demo = false;
    };
    const Case cases[] = {
        {{}, "127.0.0.1", 8080, "sqlite:data/zovrena.db", false},
        {{"--listen", "0.0.0.0:9000"}, "0.0.0.0", 9000, "sqlite:data/zovrena.db", false},
        {{"--listen=127.0.0.1:0"}, "127.0.0.1", 0, "sqlite:data/zovrena.db", false},
        {{"--listen", "[::1]:8081"}, "::1", 8081, "sqlite:data/zovrena.db", false},
        {{"--database", "odbc:Driver=FreeTDS;Server=db;Database=erp;", "--reset-demo"},
         "127.0.0.1",
         8080,
         "odbc:Driver=FreeTDS;Server=db;Database=erp;",
         true},
        {{"--database=sqlite:/tmp/x.db"}, "127.0.0.1", 8080, "sqlite:/tmp/x.db", false},
        {{"--demo"}, "127.0.0.1", 8080, "sqlite:data/zovrena.db", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const auto parsed = parseServeOptions(c.arguments);
        ASSERT_TRUE(std::holds_alternative<ServeOptions>(parsed))
            << std::get<OptionError>(parsed).message;
        const auto& options = std::get<ServeOptions>(parsed);
        EXPECT_EQ(options.host, c.host);
        EXPECT_EQ(options.port, c.port);
        EXPECT_EQ(options.database, c.database);
        EXPECT_EQ(options.resetDemo, c.resetDemo);
        EXPECT_EQ(options.demo, c.demo);
    }
}

TEST(ServeOptions, ReadsTheHostsTheProxyAndTheLimits) {
    const auto parsed = parseServeOptions({"--allowed-hosts", "ERP.example.it,,localhost",
                                           "--trust-proxy", "--max-connections-per-address=0",
                                           "--audit-log", "/var/log/zovrena/audit.log"});
    ASSERT_TRUE(std::holds_alternative<ServeOptions>(parsed))
        << std::get<OptionError>(parsed).message;
    const auto& options = std::get<ServeOptions>(parsed);
    EXPECT_EQ(options.allowedHosts, (std::vector<std::string>{"erp.example.it", "localhost"}));
    EXPECT_TRUE(options.trustProxy);
    EXPECT_EQ(options.connectionsPerAddress, 0u);
    EXPECT_EQ(options.auditLog, "/var/log/zovrena/audit.log");

    EXPECT_EQ(defaultAllowedHosts("127.0.0.1"),
              (std::vector<std::string>{"localhost", "127.0.0.1", "[::1]"}));
    EXPECT_EQ(defaultAllowedHosts("::1").size(), 3u);
    EXPECT_TRUE(defaultAllowedHosts("0.0.0.0").empty()) << "reachable by any name";
}

TEST(ServeOptions, RefusesWhatItCannotUse) {
    const std::vector<std::string> cases[] = {
        {"--listen"},
        {"--listen", "8080"},
        {"--listen", "127.0.0.1:"},
        {"--listen", "127.0.0.1:70000"},
        {"--listen", "127.0.0.1:80x"},
        {"--listen", "::1:8080"},
        {"--listen", ":8080"},
        {"--database"},
        {"--database="},
        {"--reset-demo=1"},
        {"--demo=1"},
        {"--allowed-hosts", ","},
        {"--max-connections-per-address", "-1"},
        {"--audit-log"},
        {"--trust-proxy=yes"},
        {"--tls-cert", "cert.pem"},
        {"--tls-key", "key.pem"},
        {"--media-max-kib", "0"},
        {"--media-max-files", "many"},
        {"--port", "8080"},
    };
    for (const auto& arguments : cases) {
        EXPECT_TRUE(std::holds_alternative<OptionError>(parseServeOptions(arguments)))
            << testing::PrintToString(arguments);
    }
}

}  // namespace
}  // namespace zovrena::web
