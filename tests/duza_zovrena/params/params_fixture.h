#pragma once

// A demo database of its own for each test, with a connection to it.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "duza_zovrena/data/demo_database.h"
#include "duza_zovrena/data/sqlite_rows.h"
#include "krl/ado/ado.h"

namespace duza_zovrena::params::testing {

class ParamsDatabase {
  public:
    ParamsDatabase() : file_(folder_.file("params.db")) {
        data::createDemoDatabase(connectionString(), true);
        connection_ = krl::ado::Connection::create();
        connection_->setConnectionString(connectionString());
        connection_->open();
    }

    std::string connectionString() const { return "sqlite:" + file_; }
    const std::shared_ptr<krl::ado::Connection>& connection() const { return connection_; }
    std::string file(const std::string& name) const { return folder_.file(name); }

    void exec(const std::string& sql) { data::testing::SqliteFile(file_).exec(sql); }
    long long count(const std::string& sql) { return data::testing::SqliteFile(file_).count(sql); }

  private:
    data::testing::TempFolder folder_;
    std::string file_;
    std::shared_ptr<krl::ado::Connection> connection_;
};

}  // namespace duza_zovrena::params::testing
