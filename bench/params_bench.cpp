// The health check of a company with 10,000 document rows, each with its document of the kind the
// header takes and two linked documents filled in:
//   ParamsCheck: every problem of the company (there are none), from the database to the list.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <stdexcept>
#include <string>

#include "demo_program.h"
#include "duza_zovrena/params/health_check.h"
#include "krl/ado/ado.h"

namespace {

constexpr int kCompany = 9;
constexpr int kDocuments = 10000;

void exec(sqlite3* db, const std::string& sql) {
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        throw std::runtime_error(sqlite3_errmsg(db));
    }
}

const std::string& paramsDatabase() {
    static const std::string file = [] {
        const std::string& path = zovrena::bench::databaseFile();
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        const std::string company = std::to_string(kCompany);
        exec(db, "BEGIN");
        exec(db,
             "INSERT INTO CG18_DITTE (CG18_CODICE, CG18_RAGSOC) VALUES (" + company + ", 'Prova')");
        exec(db, "INSERT INTO MG3G_DOCDITTA VALUES (" + company + ", 'CARREP', 0)");
        exec(db, "INSERT INTO MG3G_DOCDITTA VALUES (" + company + ", 'SCAREP', 0)");
        for (int i = 0; i < kDocuments; ++i) {
            const std::string code = "'P" + std::to_string(100000 + i) + "'";
            std::string key = company;
            key += ", ";
            key += code;
            exec(db, "INSERT INTO MG36_DOCUMENTI VALUES (" + code + ", 0, 'Ordine', 24, 20)");
            exec(db, "INSERT INTO MG3G_DOCDITTA VALUES (" + key + ", 0)");
            exec(db,
                 "INSERT INTO PD88_ZOVRENADOC (PD88_DITTA_CG18, PD88_CODDOC_MG36, "
                 "PD88_FLGDEPCLEGAME, PD88_FLGDEPARIGAORD, PD88_CARREP_MG3G, PD88_SCAREP_MG3G) "
                 "VALUES (" +
                     key + ", 1, 1, 'CARREP', 'SCAREP')");
        }
        exec(db, "COMMIT");
        sqlite3_close(db);
        return path;
    }();
    return file;
}

void ParamsCheck(benchmark::State& state) {
    auto connection = krl::ado::Connection::create();
    connection->setConnectionString("sqlite:" + paramsDatabase());
    connection->open();
    std::size_t problems = 0;
    for (auto _ : state) {
        problems = duza_zovrena::params::checkCompany(connection, kCompany).size();
        benchmark::DoNotOptimize(problems);
    }
    state.counters["problems"] = static_cast<double>(problems);
}
BENCHMARK(ParamsCheck)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
