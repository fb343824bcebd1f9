#pragma once

// A demo database of its own for each test, with a connection to it.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "data_access.h"
#include "duza_zovrena/data/demo_database.h"
#include "duza_zovrena/data/sqlite_rows.h"
#include "krl/ado/ado.h"

namespace duza_zovrena::params::testing {

class ParamsDatabase {
  public:
    ParamsDatabase() : file_(folder_.file("params.db")) {
        data::createDemoDatabase(connectionString(), true);
        connection_ = test_support::openConnection(connectionString());
    }

    std::string connectionString() const { return "sqlite:" + file_; }
    const std::shared_ptr<krl::ado::Connection>& connection() const { return connection_; }
    std::string file(const std::string& name) const { return folder_.file(name); }

    void exec(const std::string& sql) { data::testing::SqliteFile(file_).exec(sql); }
    long long count(const std::string& sql) { return data::testing::SqliteFile(file_).count(sql); }

    // A new company with the documents, deposits, qualifications and priority tables (under other
    // ids) of another, and no parameters.
    void addCompanyLike(int company, int model) {
        const std::string to = std::to_string(company);
        const std::string from = std::to_string(model);
        exec(
            "INSERT INTO CG18_DITTE (CG18_CODICE, CG18_RAGSOC, CG18_FLGOPZIONE1, "
            "CG18_FLGOPZIONE2) SELECT " +
            to +
            ", 'Copia', CG18_FLGOPZIONE1, CG18_FLGOPZIONE2 "
            "FROM CG18_DITTE WHERE CG18_CODICE = " +
            from);
        exec("INSERT INTO MG3G_DOCDITTA SELECT " + to +
             ", MG3G_CODDOCUM_MG36, MG3G_INDSTAPER_MG36 FROM MG3G_DOCDITTA "
             "WHERE MG3G_DITTA_CG18 = " +
             from);
        exec("INSERT INTO MG58_DEPOSITI SELECT " + to +
             ", MG58_CODICE, MG58_DESCRIZIONE FROM MG58_DEPOSITI WHERE MG58_DITTA_CG18 = " + from);
        exec(
            "INSERT INTO PD04_QUALIFICHE SELECT " + to +
            ", PD04_CODICE, PD04_DESCRIZIONE FROM PD04_QUALIFICHE WHERE PD04_DITTA_CG18 = " + from);
        exec("INSERT INTO LP09_TESTATAPRIORITA SELECT LP09_ID + 100 * " + to + ", " + to +
             ", LP09_CODICE, LP09_DESCRIZIONE FROM LP09_TESTATAPRIORITA "
             "WHERE LP09_DITTA_CG18 = " +
             from);
    }

  private:
    data::testing::TempFolder folder_;
    std::string file_;
    std::shared_ptr<krl::ado::Connection> connection_;
};

}  // namespace duza_zovrena::params::testing
