#include "web/server/audit_log.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "data_access.h"

namespace zovrena::web {
namespace {

using test_support::fileText;

TEST(AuditLog, WhatAClientSentNeverBreaksALineOrAField) {
    EXPECT_EQ(AuditLog::format({"accesso rifiutato", "demo\n2026\taccesso", std::nullopt,
                                "10.0.0.9", "utente o password non validi"}),
              "accesso rifiutato\tdemo?2026?accesso\t\t10.0.0.9\tutente o password non validi");
    EXPECT_EQ(AuditLog::format({"salvataggio", "demo", 2, "::1", ""}),
              "salvataggio\tdemo\t2\t::1\t");
}

TEST(AuditLog, AppendsTimedLinesAndRotatesPastItsSize) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("zovrena_audit_" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const auto file = folder / "audit.log";
    {
        AuditLog log(file, /*maxBytes=*/200, /*keep=*/2);
        for (int i = 0; i < 16; ++i) {  // about 50 bytes each: rotated every 4 lines
            log.record({"accesso", "utente" + std::to_string(i), 1, "10.0.0.9", ""});
        }
    }
    const std::string current = fileText(file);
    EXPECT_THAT(current, testing::MatchesRegex(
                             "([0-9-]+T[0-9:]+Z\taccesso\tutente[0-9]+\t1\t10\\.0\\.0\\.9\t\n)+"));
    EXPECT_THAT(current, testing::HasSubstr("utente15\t"));
    EXPECT_THAT(fileText(folder / "audit.log.1"), testing::Not(testing::HasSubstr("utente15\t")));
    EXPECT_TRUE(std::filesystem::exists(folder / "audit.log.2"));
    EXPECT_FALSE(std::filesystem::exists(folder / "audit.log.3")) << "only two kept";
    EXPECT_THAT(fileText(folder / "audit.log.2"), testing::Not(testing::HasSubstr("utente0\t")))
        << "the oldest lines went";
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace zovrena::web
