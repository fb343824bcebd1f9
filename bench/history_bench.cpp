// "Storico" on a general row with 10,000 change sets of two lines each: the server's side of the
// first screen (the record's change-set ids newest first, the first page with its lines, the JSON
// the browser receives), through the window's own connection as the web host reads it.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <stdexcept>
#include <string>

#include "demo_program.h"
#include "duza_zovrena/window/frmpd_zovrena.h"
#include "krl/host/presenter.h"
#include "web/server/json_writer.h"
#include "web/server/window_history.h"

namespace {

using zovrena::bench::databaseFile;

constexpr int kChangeSets = 10000;

void exec(sqlite3* db, const std::string& sql) {
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        throw std::runtime_error(sqlite3_errmsg(db));
    }
}

void fillHistory() {
    static const bool filled = [] {
        sqlite3* db = nullptr;
        sqlite3_open_v2(databaseFile().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        exec(db, "BEGIN");
        for (int i = 0; i < kChangeSets; ++i) {
            exec(db,
                 "INSERT INTO PD97_STORICO (PD97_DITTA_CG18, PD97_TABELLA, PD97_CODDOC_MG36, "
                 "PD97_UTENTE_UT00, PD97_DATAORA) VALUES (1, 'PD42_ZOVRENA', NULL, 'demo', "
                 "'2026-01-01T00:00:00')");
            const std::string id = std::to_string(sqlite3_last_insert_rowid(db));
            exec(db, "INSERT INTO PD98_STORICORIGHE VALUES (" + id + ", 'PD42_FLGCOIN', '" +
                         std::to_string(i % 2) + "', '" + std::to_string(1 - i % 2) + "'), (" + id +
                         ", 'PD42_STEPNUMLEGDB', '" + std::to_string(i) + "', '" +
                         std::to_string(i + 1) + "')");
            // Other records' history in between, as a shared table holds it.
            exec(db,
                 "INSERT INTO PD97_STORICO (PD97_DITTA_CG18, PD97_TABELLA, PD97_CODDOC_MG36, "
                 "PD97_UTENTE_UT00, PD97_DATAORA) VALUES (1, 'PD88_ZOVRENADOC', 'ODP', 'demo', "
                 "'2026-01-01T00:00:00')");
        }
        exec(db, "COMMIT");
        sqlite3_close(db);
        return true;
    }();
    (void)filled;
}

void HistoryFirstScreen(benchmark::State& state) {
    fillHistory();
    krl::host::ScriptedPresenter presenter;
    krl::host::ScopedPresenter scope(presenter);
    auto navigator = std::make_shared<krl::host::Navigator>();
    auto program = zovrena::bench::openProgram(zovrena::bench::host(), navigator);
    auto window = std::dynamic_pointer_cast<duza_zovrena::window::FRMPD_ZOVRENA>(program->window());
    std::size_t shown = 0;
    for (auto _ : state) {
        std::string notice;
        auto view = zovrena::web::HistoryView::open(*window, notice);
        zovrena::web::JsonWriter json;
        view->write(json);
        benchmark::DoNotOptimize(json.text());
        shown = view->shown().size();
    }
    state.counters["shown"] = static_cast<double>(shown);
    program->closeForm();
}
BENCHMARK(HistoryFirstScreen)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
