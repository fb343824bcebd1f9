#pragma once

// What the suites open to read and write through the data layer: a database file of a test's
// own, a connection to it, a recordset on it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "krl/ado/ado.h"

namespace test_support {

// A database file name no other test of this run uses, with no file left there.
inline std::filesystem::path freshDatabaseFile(const std::string& stem) {
    static std::atomic<int> counter{0};
    auto file = std::filesystem::path(::testing::TempDir()) /
                (stem + "_" + std::to_string(::getpid()) + "_" + std::to_string(++counter) + ".db");
    std::filesystem::remove(file);
    return file;
}

// What a file holds now; empty when it is missing.
inline std::string fileText(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::shared_ptr<krl::ado::Connection> openConnection(const std::string& connectionString) {
    auto connection = krl::ado::Connection::create();
    connection->setConnectionString(connectionString);
    connection->open();
    return connection;
}

inline std::shared_ptr<krl::ado::Recordset> openRecordset(
    std::shared_ptr<krl::ado::Connection> connection, const std::string& sql) {
    auto recordset = krl::ado::Recordset::create();
    recordset->setActiveConnection(std::move(connection));
    recordset->setSource(sql);
    recordset->open(krl::ado::adOpenUnspecified, krl::ado::adLockUnspecified, krl::ado::adCmdText);
    return recordset;
}

}  // namespace test_support
