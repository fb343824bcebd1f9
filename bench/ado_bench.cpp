// The data layer against the raw SQLite C API on a row shaped like the general parameters row
// (about 200 SMALLINT and VARCHAR columns, keyed by the company): read the row, change 3 columns,
// write them back with the same optimistic UPDATE the layer sends. And the cost of running the
// program's text through the cached translation instead of a text already translated.
//
// Argument 0: PRAGMA synchronous = OFF (CPU only); 1: FULL (every commit reaches the disk).

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "krl/ado/ado.h"
#include "krl/ado/provider.h"

namespace {

constexpr int kSmallints = 120;
constexpr int kTexts = 79;
constexpr const char* kSelect = "SELECT * FROM WIDE WHERE DITTA = 1";
constexpr const char* kProgramSelect = "SELECT * FROM WIDE WITH (NOLOCK) WHERE DITTA = 1";
constexpr const char* kProgramNarrow = "SELECT F001 FROM WIDE WITH (NOLOCK) WHERE DITTA = 1";

std::string smallintName(int i) {
    char name[8];
    std::snprintf(name, sizeof name, "F%03d", i);
    return name;
}

std::string textName(int i) {
    char name[8];
    std::snprintf(name, sizeof name, "T%03d", i);
    return name;
}

std::vector<std::string> columnNames() {
    std::vector<std::string> names{"DITTA"};
    for (int i = 1; i <= kSmallints; ++i) {
        names.push_back(smallintName(i));
    }
    for (int i = 1; i <= kTexts; ++i) {
        names.push_back(textName(i));
    }
    return names;
}

void check(int code, sqlite3* db) {
    if (code != SQLITE_OK && code != SQLITE_DONE && code != SQLITE_ROW) {
        throw std::runtime_error(sqlite3_errmsg(db));
    }
}

const std::filesystem::path& databaseFile() {
    static const std::filesystem::path file = [] {
        auto path = std::filesystem::temp_directory_path() /
                    ("zovrena_ado_bench_" + std::to_string(::getpid()) + ".db");
        std::filesystem::remove(path);
        sqlite3* db = nullptr;
        check(sqlite3_open(path.c_str(), &db), db);
        std::string create = "CREATE TABLE WIDE (DITTA INT NOT NULL PRIMARY KEY";
        for (int i = 1; i <= kSmallints; ++i) {
            create += ", " + smallintName(i) + " SMALLINT NULL";
        }
        for (int i = 1; i <= kTexts; ++i) {
            create += ", " + textName(i) + " VARCHAR(14) NULL";
        }
        create += ")";
        check(sqlite3_exec(db, create.c_str(), nullptr, nullptr, nullptr), db);
        for (int company = 1; company <= 3; ++company) {
            std::string insert = "INSERT INTO WIDE VALUES (" + std::to_string(company);
            for (int i = 1; i <= kSmallints; ++i) {
                insert += ", " + std::to_string(i % 3);
            }
            for (int i = 1; i <= kTexts; ++i) {
                insert += i % 10 == 0 ? ", NULL" : ", 'DOC" + std::to_string(i) + "'";
            }
            insert += ")";
            check(sqlite3_exec(db, insert.c_str(), nullptr, nullptr, nullptr), db);
        }
        sqlite3_close(db);
        return path;
    }();
    static const struct Removal {
        ~Removal() {
            std::filesystem::remove(file);
            std::filesystem::remove(file.string() + "-journal");
        }
    } removal;
    return file;
}

const char* synchronous(const benchmark::State& state) {
    return state.range(0) == 0 ? "PRAGMA synchronous = OFF" : "PRAGMA synchronous = FULL";
}

// The UPDATE the layer writes for 3 changed columns of the row.
std::string optimisticUpdate(const std::vector<std::string>& names) {
    std::string sql = R"(UPDATE "main"."WIDE" SET "F001" = ?, "F002" = ?, "T001" = ?)";
    for (std::size_t i = 0; i < names.size(); ++i) {
        sql += (i == 0 ? " WHERE \"" : " AND \"") + names[i] + "\" IS ?";
    }
    return sql;
}

// A column value as read, kept to be compared in the UPDATE.
struct Cell {
    int type = SQLITE_NULL;
    sqlite3_int64 integer = 0;
    std::string text;
};

// Reads the row into cells: every column, as its storage class.
void readRow(sqlite3_stmt* select, std::vector<Cell>& row) {
    for (int i = 0; i < sqlite3_column_count(select); ++i) {
        Cell& cell = row[static_cast<std::size_t>(i)];
        cell.type = sqlite3_column_type(select, i);
        if (cell.type == SQLITE_INTEGER) {
            cell.integer = sqlite3_column_int64(select, i);
        } else if (cell.type == SQLITE_TEXT) {
            cell.text.assign(reinterpret_cast<const char*>(sqlite3_column_text(select, i)),
                             static_cast<std::size_t>(sqlite3_column_bytes(select, i)));
        }
    }
}

// Binds the 3 new values and every value as read.
void bindUpdate(sqlite3_stmt* write, const std::vector<Cell>& row, int flip) {
    sqlite3_bind_int(write, 1, flip);
    sqlite3_bind_int(write, 2, flip + 1);
    sqlite3_bind_text(write, 3, flip == 0 ? "PARI" : "DISPARI", -1, SQLITE_STATIC);
    for (std::size_t i = 0; i < row.size(); ++i) {
        const int index = static_cast<int>(i) + 4;
        if (row[i].type == SQLITE_INTEGER) {
            sqlite3_bind_int64(write, index, row[i].integer);
        } else if (row[i].type == SQLITE_TEXT) {
            sqlite3_bind_text(write, index, row[i].text.c_str(),
                              static_cast<int>(row[i].text.size()), SQLITE_STATIC);
        } else {
            sqlite3_bind_null(write, index);
        }
    }
}

// Argument 1 of the raw runs: 0 prepares both statements every time, 1 prepares them once.
void RawSqlite_ReadChangeWrite(benchmark::State& state) {
    sqlite3* db = nullptr;
    check(sqlite3_open(databaseFile().c_str(), &db), db);
    check(sqlite3_exec(db, synchronous(state), nullptr, nullptr, nullptr), db);
    const bool reuse = state.range(1) == 1;
    const auto names = columnNames();
    const std::string update = optimisticUpdate(names);
    std::vector<Cell> row(names.size());
    sqlite3_stmt* select = nullptr;
    sqlite3_stmt* write = nullptr;
    int flip = 0;
    for (auto _ : state) {
        if (select == nullptr) {
            check(sqlite3_prepare_v2(db, kSelect, -1, &select, nullptr), db);
        }
        check(sqlite3_step(select), db);
        readRow(select, row);
        sqlite3_reset(select);

        check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
        if (write == nullptr) {
            check(sqlite3_prepare_v2(db, update.c_str(), -1, &write, nullptr), db);
        }
        bindUpdate(write, row, flip);
        check(sqlite3_step(write), db);
        if (sqlite3_changes(db) != 1) {
            state.SkipWithError("the row was not found again");
        }
        sqlite3_reset(write);
        check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
        if (!reuse) {
            sqlite3_finalize(select);
            sqlite3_finalize(write);
            select = write = nullptr;
        }
        flip ^= 1;
    }
    sqlite3_finalize(select);
    sqlite3_finalize(write);
    sqlite3_close(db);
}

std::shared_ptr<krl::ado::Connection> openLayer(const benchmark::State& state) {
    auto connection = krl::ado::Connection::create();
    connection->setConnectionString("sqlite:" + databaseFile().string());
    connection->open();
    connection->provider().run(synchronous(state), {}, false);
    return connection;
}

void Layer_ReadChangeWrite(benchmark::State& state) {
    auto connection = openLayer(state);
    int flip = 0;
    for (auto _ : state) {
        auto recordset = krl::ado::Recordset::create();
        recordset->setActiveConnection(connection);
        recordset->setSource(kSelect);
        recordset->open(krl::ado::adOpenUnspecified, krl::ado::adLockUnspecified,
                        krl::ado::adCmdText);
        recordset->fields()["F001"].setValue(static_cast<std::int16_t>(flip));
        recordset->fields()["F002"].setValue(static_cast<std::int16_t>(flip + 1));
        recordset->fields()["T001"].setValue(flip == 0 ? "PARI" : "DISPARI");
        recordset->updateBatch(krl::ado::adAffectAll);
        flip ^= 1;
    }
}

// The program's text through the connection's translation cache, then run.
void Layer_CachedTranslation(benchmark::State& state, const char* program) {
    auto connection = openLayer(state);
    auto& provider = connection->provider();
    for (auto _ : state) {
        auto result = provider.run(provider.engineText(program), {}, true);
        benchmark::DoNotOptimize(result);
    }
}

// The same statement handed over already translated.
void Layer_PreTranslated(benchmark::State& state, const char* program) {
    auto connection = openLayer(state);
    auto& provider = connection->provider();
    const std::string translated = provider.engineText(program);
    for (auto _ : state) {
        auto result = provider.run(translated, {}, true);
        benchmark::DoNotOptimize(result);
    }
}

BENCHMARK(RawSqlite_ReadChangeWrite)->ArgsProduct({{0, 1}, {0, 1}});
BENCHMARK(Layer_ReadChangeWrite)->Arg(0)->Arg(1);
BENCHMARK_CAPTURE(Layer_CachedTranslation, wide_row, kProgramSelect)->Arg(0);
BENCHMARK_CAPTURE(Layer_PreTranslated, wide_row, kProgramSelect)->Arg(0);
BENCHMARK_CAPTURE(Layer_CachedTranslation, one_column, kProgramNarrow)->Arg(0);
BENCHMARK_CAPTURE(Layer_PreTranslated, one_column, kProgramNarrow)->Arg(0);

}  // namespace

BENCHMARK_MAIN();
