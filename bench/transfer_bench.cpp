// The custom-field transfer page against the raw SQLite C API running the same statements, for a
// company with 10,000 eligible documents and 2,000 saved rows:
//   TransferOpen:    Initialize (drop, load into the temporary table, the grid's recordset) and the
//                    rows the window sends to the browser — raw: the same engine statements, every
//                    column of every row read.
//   TransferConfirm: Save (delete and insert in one transaction) — raw: the same two statements
//                    in a savepoint. The program side also records the change history in that
//                    transaction: before the delete, the rows written back that differ from the
//                    saved ones (found by key) and two counts (the saved rows without a row written
//                    back are read only when the counts differ); after the insert, the saved rows
//                    of the documents found. The raw side runs no history statements.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <stdexcept>
#include <string>

#include "demo_program.h"
#include "duza_zovrena/data/demo_database.h"
#include "duza_zovrena/pages/ctlpd_prt_trpers.h"
#include "krl/ado/ado.h"
#include "krl/ado/provider.h"
#include "krl/host/host_interface.h"
#include "krl/host/presenter.h"

namespace {

namespace kh = krl::host;
using duza_zovrena::pages::CTLPD_PRT_TRPERS;
using zovrena::bench::databaseFile;
using zovrena::bench::host;

constexpr int kCompany = 9;
constexpr int kDocuments = 10000;
constexpr int kSaved = 2000;

void check(int code, sqlite3* db) {
    if (code != SQLITE_OK && code != SQLITE_DONE && code != SQLITE_ROW) {
        throw std::runtime_error(sqlite3_errmsg(db));
    }
}

void exec(sqlite3* db, const std::string& sql) {
    check(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), db);
}

// The company's documents, all of an eligible kind, and its saved rows.
const std::string& transferDatabase() {
    static const std::string file = [] {
        const std::string& path = databaseFile();
        duza_zovrena::data::addDocumentLoad("sqlite:" + path, kCompany, kDocuments, kSaved);
        return path;
    }();
    return file;
}

std::shared_ptr<kh::HostProgramInterface> programInterface() {
    auto global = host();
    auto program = std::make_shared<kh::HostProgramInterface>();
    program->setClsGlobal(global);
    return program;
}

std::shared_ptr<krl::ado::Connection> connect() {
    auto connection = krl::ado::Connection::create();
    connection->setConnectionString("sqlite:" + transferDatabase());
    connection->open();
    return connection;
}

std::shared_ptr<CTLPD_PRT_TRPERS> openPage(
    const std::shared_ptr<kh::HostProgramInterface>& program,
    const std::shared_ptr<krl::ado::Connection>& connection) {
    auto page = std::make_shared<CTLPD_PRT_TRPERS>();
    page->setActiveInterface(program);
    page->setConnection(connection);
    page->setCodiceDitta(krl::Variant(std::int32_t{kCompany}));
    if (!page->Initialize()) {
        throw std::runtime_error("the transfer page did not open");
    }
    return page;
}

// The statements the page sends, as the engine runs them.
struct EngineTexts {
    std::string drop;
    std::string load;
    std::string grid;
    std::string remove;
    std::string insert;
};

EngineTexts engineTexts(krl::ado::Connection& connection) {
    const std::string company = std::to_string(kCompany);
    auto& provider = connection.provider();
    EngineTexts texts;
    texts.drop = provider.engineText(
        "IF NOT OBJECT_ID('tempdb..#PARDOCPROD') IS NULL DROP TABLE #PARDOCPROD");
    texts.grid = provider.engineText("SELECT * FROM #PARDOCPROD ORDER BY PD49_CODDOC_MG3G");
    texts.remove = provider.engineText("DELETE PD49_PARDOCPROD WHERE PD49_DITTA_CG18 = " + company);
    texts.insert = provider.engineText(
        "INSERT INTO PD49_PARDOCPROD SELECT PD49_DITTA_CG18, PD49_CODDOC_MG3G, "
        "PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO FROM #PARDOCPROD WITH (NOLOCK) WHERE "
        "(PD49_INDTRPERSTESTA <> 2) OR (PD49_INDTRPERSCORPO <> 2)");
    return texts;
}

void readAll(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    check(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), db);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            benchmark::DoNotOptimize(sqlite3_column_value(statement, i));
        }
    }
    sqlite3_finalize(statement);
}

void TransferPage_Open(benchmark::State& state) {
    kh::ScriptedPresenter presenter;
    kh::ScopedPresenter scope(presenter);
    auto program = programInterface();
    auto connection = connect();
    for (auto _ : state) {
        auto page = openPage(program, connection);
        benchmark::DoNotOptimize(page->grid().rows());
        state.PauseTiming();
        page->Terminate();
        page.reset();
        state.ResumeTiming();
    }
}

void RawSqlite_TransferOpen(benchmark::State& state, const std::string& loadText) {
    auto connection = connect();
    EngineTexts texts = engineTexts(*connection);
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(transferDatabase().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), db);
    for (auto _ : state) {
        exec(db, texts.drop);
        exec(db, loadText);
        readAll(db, texts.grid);
    }
    sqlite3_close(db);
}

void TransferPage_Confirm(benchmark::State& state) {
    kh::ScriptedPresenter presenter;
    kh::ScopedPresenter scope(presenter);
    auto program = programInterface();
    auto connection = connect();
    auto page = openPage(program, connection);
    for (auto _ : state) {
        if (!page->Save()) {
            state.SkipWithError("save failed");
            break;
        }
    }
    page->Terminate();
}

void RawSqlite_TransferConfirm(benchmark::State& state, const std::string& loadText) {
    auto connection = connect();
    EngineTexts texts = engineTexts(*connection);
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(transferDatabase().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), db);
    exec(db, texts.drop);
    exec(db, loadText);
    for (auto _ : state) {
        exec(db, "SAVEPOINT krl_batch");
        exec(db, texts.remove);
        exec(db, texts.insert);
        exec(db, "RELEASE krl_batch");
    }
    sqlite3_close(db);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::string loadText;
    {
        auto connection = connect();
        loadText =
            connection->provider().engineText(CTLPD_PRT_TRPERS::loadSql(std::to_string(kCompany)));
    }
    benchmark::RegisterBenchmark("TransferPage_Open", TransferPage_Open)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("RawSqlite_TransferOpen", RawSqlite_TransferOpen, loadText)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("TransferPage_Confirm", TransferPage_Confirm)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("RawSqlite_TransferConfirm", RawSqlite_TransferConfirm, loadText)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
