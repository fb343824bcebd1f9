#include "web/server/api_tokens.h"

#include <sodium.h>

#include <array>
#include <ctime>
#include <stdexcept>

#include "krl/ado/ado.h"
#include "krl/variant/variant.h"
#include "web/server/token.h"

namespace zovrena::web {

namespace {

// How often a token's last use is written: a program asking every second would otherwise write
// the table on every request.
constexpr auto lastUseGrain = std::chrono::minutes(1);

// A stored time as "YYYY-MM-DD HH:MM:SS", whichever engine wrote it ("20261206 15:33:43",
// "2026-12-06 15:33:43.000"); empty for NULL.
std::string shownTime(const krl::Variant& value) {
    std::string digits;
    for (const char c : value.textOrEmpty()) {
        if (c >= '0' && c <= '9') {
            digits += c;
        }
    }
    if (digits.size() < 14) {
        return krl::rtrim(value.textOrEmpty());
    }
    return digits.substr(0, 4) + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2) + " " +
           digits.substr(8, 2) + ":" + digits.substr(10, 2) + ":" + digits.substr(12, 2);
}

std::string quoted(std::string_view text) {
    return "'" + krl::doubleQuotes(text) + "'";
}

void run(krl::ado::Connection& connection, const std::string& sql, long* affected = nullptr) {
    connection.execute(sql, affected, krl::ado::adCmdText | krl::ado::adExecuteNoRecords);
}

}  // namespace

std::string ApiTokens::hashOf(std::string_view token) {
    if (sodium_init() < 0) {
        throw std::runtime_error("libsodium non inizializzabile");
    }
    std::array<unsigned char, crypto_hash_sha256_BYTES> digest{};
    crypto_hash_sha256(digest.data(), reinterpret_cast<const unsigned char*>(token.data()),
                       token.size());
    std::array<char, 2 * crypto_hash_sha256_BYTES + 1> hex{};
    sodium_bin2hex(hex.data(), hex.size(), digest.data(), digest.size());
    return std::string(hex.data(), hex.size() - 1);
}

std::string ApiTokens::storedTime(Clock::time_point time) {
    const std::time_t seconds = Clock::to_time_t(time);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%d %H:%M:%S", &utc);
    return buffer;
}

std::optional<std::string> ApiTokens::create(std::string_view user, Clock::time_point now) {
    auto found = connection_.execute("SELECT UT00_CODICE FROM UT00_UTENTI WHERE UT00_CODICE = " +
                                     quoted(user));
    if (!found || found->eof()) {
        return std::nullopt;
    }
    // The user code as the directory spells it.
    const std::string code = krl::rtrim(found->fields()["UT00_CODICE"].value().textOrEmpty());
    const std::string token = randomToken();
    // Ids are the highest so far plus one; another process taking the same id first makes the
    // insert fail on the key, and the next id is tried.
    for (int attempt = 1;; ++attempt) {
        auto next = connection_.execute(
            "SELECT COALESCE(MAX(UT02_ID), 0) + 1 AS NEXTID FROM UT02_TOKENAPI");
        const std::int32_t id = next->fields()["NEXTID"].value().toInt32();
        try {
            run(connection_,
                "INSERT INTO UT02_TOKENAPI (UT02_ID, UT02_UTENTE_UT00, UT02_HASH, UT02_DATACREAZ) "
                "VALUES (" +
                    std::to_string(id) + ", " + quoted(code) + ", " + quoted(hashOf(token)) + ", " +
                    quoted(storedTime(now)) + ")");
            return token;
        } catch (const std::exception&) {
            if (attempt == 3) {
                throw;
            }
        }
    }
}

std::optional<ApiTokens::Holder> ApiTokens::holderOf(std::string_view token,
                                                     Clock::time_point now) {
    // Anything but 64 hex digits was never issued: the database is not asked.
    if (token.size() != 64 ||
        token.find_first_not_of("0123456789abcdef") != std::string_view::npos) {
        return std::nullopt;
    }
    auto rows = connection_.execute(
        "SELECT UT02_ID, UT02_UTENTE_UT00, UT02_ULTIMOUSO FROM UT02_TOKENAPI WITH (NOLOCK) "
        "WHERE UT02_HASH = " +
        quoted(hashOf(token)));
    if (!rows || rows->eof()) {
        return std::nullopt;
    }
    auto& fields = rows->fields();
    Holder holder{fields["UT02_ID"].value().toInt32(),
                  krl::rtrim(fields["UT02_UTENTE_UT00"].value().textOrEmpty())};
    const std::string lastUse = shownTime(fields["UT02_ULTIMOUSO"].value());
    const std::string stale = shownTime(krl::Variant(storedTime(now - lastUseGrain)));
    if (lastUse.empty() || lastUse <= stale) {
        run(connection_, "UPDATE UT02_TOKENAPI SET UT02_ULTIMOUSO = " + quoted(storedTime(now)) +
                             " WHERE UT02_ID = " + std::to_string(holder.id));
    }
    return holder;
}

std::vector<ApiTokenInfo> ApiTokens::list(std::string_view user) {
    std::string sql =
        "SELECT UT02_ID, UT02_UTENTE_UT00, UT02_DATACREAZ, UT02_ULTIMOUSO FROM UT02_TOKENAPI";
    if (!user.empty()) {
        sql += " WHERE UT02_UTENTE_UT00 = " + quoted(user);
    }
    sql += " ORDER BY UT02_ID";
    std::vector<ApiTokenInfo> tokens;
    for (auto rows = connection_.execute(sql); !rows->eof(); rows->moveNext()) {
        auto& fields = rows->fields();
        tokens.push_back({fields["UT02_ID"].value().toInt32(),
                          krl::rtrim(fields["UT02_UTENTE_UT00"].value().textOrEmpty()),
                          shownTime(fields["UT02_DATACREAZ"].value()),
                          shownTime(fields["UT02_ULTIMOUSO"].value())});
    }
    return tokens;
}

bool ApiTokens::revoke(std::int32_t id) {
    long affected = 0;
    run(connection_, "DELETE FROM UT02_TOKENAPI WHERE UT02_ID = " + std::to_string(id), &affected);
    return affected > 0;
}

long ApiTokens::revokeAllOf(std::string_view user) {
    long affected = 0;
    run(connection_, "DELETE FROM UT02_TOKENAPI WHERE UT02_UTENTE_UT00 = " + quoted(user),
        &affected);
    return affected;
}

}  // namespace zovrena::web
