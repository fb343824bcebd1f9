// The window against the raw SQLite C API running the same statements on the same demo database:
//   Open:    ShowForm through the first activation (connection, the general row, the empty
//            document set, the warehouse-management switch) — raw: open, the three SELECTs.
//   Confirm: a changed general row confirmed (save rules, optimistic UPDATE of the changed column
//            in one transaction) — raw: the same UPDATE, prepared once, in a savepoint.
//   ChooseDocument: a document code typed in the header while the indicators page is in front
//            (validation, the document's row, its kind, the pages refreshed), alternating between
//            two documents with a row — raw: the row's and the kind's SELECTs.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "demo_program.h"
#include "duza_zovrena/host/clspd_zovrena.h"
#include "duza_zovrena/window/frmpd_zovrena.h"
#include "krl/ado/ado.h"
#include "krl/controls/edit.h"
#include "krl/controls/side_bar.h"
#include "krl/frame/virtual_frame.h"
#include "krl/host/navigator.h"
#include "krl/host/presenter.h"

namespace {

namespace kh = krl::host;
using zovrena::bench::databaseFile;
using zovrena::bench::host;
using zovrena::bench::openProgram;

void check(int code, sqlite3* db) {
    if (code != SQLITE_OK && code != SQLITE_DONE && code != SQLITE_ROW) {
        throw std::runtime_error(sqlite3_errmsg(db));
    }
}

// Reads every column of every row, as a recordset does.
void readAll(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    check(sqlite3_prepare_v2(db, sql, -1, &statement, nullptr), db);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            benchmark::DoNotOptimize(sqlite3_column_value(statement, i));
        }
    }
    sqlite3_finalize(statement);
}

void RawSqlite_Open(benchmark::State& state) {
    const std::string& file = databaseFile();
    for (auto _ : state) {
        sqlite3* db = nullptr;
        check(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), db);
        readAll(db, "SELECT * FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = 1");
        readAll(db, "SELECT * FROM PD88_ZOVRENADOC WHERE 1 = 0");
        readAll(db, "SELECT WM00_FLGWMSATTIVO FROM WM00_CONFIG WHERE WM00_DITTA_CG18 = 1");
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
}

void Window_Open(benchmark::State& state) {
    databaseFile();
    kh::ScriptedPresenter presenter;
    kh::ScopedPresenter scope(presenter);
    auto global = host();
    auto navigator = std::make_shared<kh::Navigator>();
    for (auto _ : state) {
        auto program = openProgram(global, navigator);
        state.PauseTiming();
        if (!program->window()) {
            state.SkipWithError("no window");
            break;
        }
        program->closeForm();
        program.reset();
        state.ResumeTiming();
    }
}

void RawSqlite_Confirm(benchmark::State& state) {
    const std::string& file = databaseFile();
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), db);
    // The values as read, compared in the UPDATE as the data layer does.
    sqlite3_stmt* select = nullptr;
    check(sqlite3_prepare_v2(db, "SELECT * FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = 1", -1,
                             &select, nullptr),
          db);
    check(sqlite3_step(select), db);
    int columns = sqlite3_column_count(select);
    std::vector<sqlite3_value*> original;
    std::string sql = R"(UPDATE "PD42_ZOVRENA" SET "PD42_FLGCOIN" = ?)";
    int coin = -1;
    for (int i = 0; i < columns; ++i) {
        std::string name = sqlite3_column_name(select, i);
        original.push_back(sqlite3_value_dup(sqlite3_column_value(select, i)));
        if (name == "PD42_FLGCOIN") {
            coin = i;
        }
        sql += (i == 0 ? " WHERE \"" : " AND \"") + name + "\" IS ?";
    }
    sqlite3_finalize(select);
    sqlite3_stmt* update = nullptr;
    check(sqlite3_prepare_v2(db, sql.c_str(), -1, &update, nullptr), db);
    int value = sqlite3_value_int(original[coin]);
    for (auto _ : state) {
        int next = 1 - value;
        check(sqlite3_exec(db, "SAVEPOINT raw_batch", nullptr, nullptr, nullptr), db);
        sqlite3_bind_int(update, 1, next);
        for (int i = 0; i < columns; ++i) {
            if (i == coin) {
                sqlite3_bind_int(update, i + 2, value);
            } else {
                sqlite3_bind_value(update, i + 2, original[i]);
            }
        }
        check(sqlite3_step(update), db);
        if (sqlite3_changes(db) != 1) {
            state.SkipWithError("row not found");
            break;
        }
        sqlite3_reset(update);
        check(sqlite3_exec(db, "RELEASE raw_batch", nullptr, nullptr, nullptr), db);
        value = next;
    }
    sqlite3_finalize(update);
    for (auto* copy : original) {
        sqlite3_value_free(copy);
    }
    sqlite3_close(db);
}

void Window_Confirm(benchmark::State& state) {
    databaseFile();
    kh::ScriptedPresenter presenter;
    kh::ScopedPresenter scope(presenter);
    auto program = openProgram(host(), std::make_shared<kh::Navigator>());
    auto window = std::dynamic_pointer_cast<duza_zovrena::window::FRMPD_ZOVRENA>(program->window());
    auto frame = window->generalFrame();
    auto rows = window->generalRows();
    std::int16_t value = 0;
    for (auto _ : state) {
        value = static_cast<std::int16_t>(1 - value);
        (*rows)["PD42_FLGCOIN"].setValue(krl::Variant(value));
        frame->setStatus(krl::frame::StatusChanging);
        if (!frame->confirm()) {
            state.SkipWithError("confirm refused");
            break;
        }
    }
    program->closeForm();
}

const char* const kDocuments[] = {"ODP", "LISTTRASF"};

void RawSqlite_ChooseDocument(benchmark::State& state) {
    const std::string file = databaseFile();
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), db);
    std::size_t next = 0;
    for (auto _ : state) {
        const std::string code = kDocuments[next++ % 2];
        readAll(db, ("SELECT * FROM PD88_ZOVRENADOC WHERE PD88_DITTA_CG18 = 1 AND "
                     "PD88_CODDOC_MG36 = '" +
                     code + "'")
                        .c_str());
        readAll(db, ("SELECT MG3G_CODDOCUM_MG36, MG36_TIPODOC, MG36_STIPODOC FROM MG3G_DOCDITTA "
                     "INNER JOIN MG36_DOCUMENTI ON MG3G_CODDOCUM_MG36 = MG36_CODDOCUM AND "
                     "MG3G_INDSTAPER_MG36 = MG36_INDSTAPER WHERE MG3G_DITTA_CG18 = 1 AND "
                     "MG3G_CODDOCUM_MG36 = '" +
                     code + "'")
                        .c_str());
    }
    sqlite3_close(db);
}

void Window_ChooseDocument(benchmark::State& state) {
    databaseFile();
    kh::ScriptedPresenter presenter;
    kh::ScopedPresenter scope(presenter);
    auto program = openProgram(host(), std::make_shared<kh::Navigator>());
    auto window = std::dynamic_pointer_cast<duza_zovrena::window::FRMPD_ZOVRENA>(program->window());
    window->sideBar().select("GRP_PRD_DOCUMENTI", "ITM_PRD_IND");
    auto* code = dynamic_cast<krl::controls::EditM*>(window->find("TXT_CODDOC"));
    std::size_t next = 0;
    for (auto _ : state) {
        code->userEnter(kDocuments[next++ % 2]);
    }
    if (!presenter.boxes().empty()) {
        state.SkipWithError("a message box was shown");
    }
    window->documentFrame()->undo();
    program->closeForm();
}

}  // namespace

BENCHMARK(RawSqlite_Open)->Unit(benchmark::kMicrosecond);
BENCHMARK(Window_Open)->Unit(benchmark::kMicrosecond);
BENCHMARK(RawSqlite_Confirm)->Unit(benchmark::kMicrosecond);
BENCHMARK(Window_Confirm)->Unit(benchmark::kMicrosecond);
BENCHMARK(RawSqlite_ChooseDocument)->Unit(benchmark::kMicrosecond);
BENCHMARK(Window_ChooseDocument)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
