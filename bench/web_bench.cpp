// What the web host adds on the server to the program's own work, for the two actions people do
// most (switching page between ITM_PRG_VAL and ITM_PRG_INDGES, confirming a changed general row):
//   Program_*:       the program alone, on this thread (the side bar's click; the confirm alone is
//                    window_bench's Window_Confirm);
//   Snapshot_Page:   describing the window on ITM_PRG_INDGES and writing it as JSON, as every
//                    answer does;
//   WindowSession_*: the whole server-side answer without HTTP: the action handed to the window's
//                    thread, done, the snapshot taken there and written as JSON.
// The raw SQLite C API doing the confirm's statements is in window_bench (RawSqlite_Confirm).
// On the transfer page of a company with 10,000 documents (GridEdit): one cell's choice changed,
// by the program alone (Program_GridEdit) and as the host answers it to a browser that holds the
// grid's rows (WindowSession_GridEdit).

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "demo_program.h"
#include "duza_zovrena/data/demo_database.h"
#include "duza_zovrena/host/clspd_zovrena.h"
#include "duza_zovrena/pages/ctlpd_prt_trpers.h"
#include "duza_zovrena/window/frmpd_zovrena.h"
#include "krl/controls/grid.h"
#include "krl/controls/side_bar.h"
#include "krl/frame/virtual_frame.h"
#include "krl/host/navigator.h"
#include "krl/host/presenter.h"
#include "krl/host/ui_thread.h"
#include "web/server/window_session.h"
#include "web/server/window_snapshot.h"

namespace {

namespace kh = krl::host;
using Json = nlohmann::json;

const std::string& connectionString() {
    static const std::string connection = [] {
        zovrena::web::registerProgramClasses();
        return "sqlite:" + zovrena::bench::databaseFile();
    }();
    return connection;
}

// The program shown on this thread, as the benchmarks of the window open it.
struct Program {
    kh::ScriptedPresenter presenter;
    kh::ScopedPresenter scope{presenter};
    std::shared_ptr<duza_zovrena::host::CLSPD_ZOVRENA> object;
    std::shared_ptr<duza_zovrena::window::FRMPD_ZOVRENA> window;

    explicit Program(bool visitBoth = true) {
        connectionString();
        object =
            zovrena::bench::openProgram(zovrena::bench::host(), std::make_shared<kh::Navigator>());
        window = std::dynamic_pointer_cast<duza_zovrena::window::FRMPD_ZOVRENA>(object->window());
        if (visitBoth) {
            // Both pages built once, as after a person's first visits.
            window->sideBar().userClick("ITM_PRG_VAL");
            window->sideBar().userClick("ITM_PRG_INDGES");
        }
    }
    ~Program() { object->closeForm(); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
};

const char* const pages[] = {"ITM_PRG_VAL", "ITM_PRG_INDGES"};

void Program_SideBarClick(benchmark::State& state) {
    Program program;
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(program.window->sideBar().userClick(pages[next]));
        next = 1 - next;
    }
}

// The general pages besides the indicators, by the benchmarks' argument.
const char* const generalPages[] = {"ITM_PRG_CICLI", "ITM_PRG_SCADIBAIND", "ITM_PRG_SCADIBADOC",
                                    "ITM_PRG_GRTAGCOL", "ITM_PRG_VAL"};

// A page's first opening in a window just opened on the indicators: the page built, initialised
// and loaded with the row.
void Program_FirstOpen(benchmark::State& state) {
    const char* page = generalPages[state.range(0)];
    for (auto _ : state) {
        state.PauseTiming();
        auto program = std::make_unique<Program>(false);
        state.ResumeTiming();
        benchmark::DoNotOptimize(program->window->sideBar().userClick(page));
        state.PauseTiming();
        program.reset();
        state.ResumeTiming();
    }
    state.SetLabel(page);
}

// Switching back to a page already built, from the indicators; only that click is timed.
void Program_SwitchBack(benchmark::State& state) {
    const char* page = generalPages[state.range(0)];
    Program program(false);
    program.window->sideBar().userClick(page);
    for (auto _ : state) {
        state.PauseTiming();
        program.window->sideBar().userClick("ITM_PRG_INDGES");
        state.ResumeTiming();
        benchmark::DoNotOptimize(program.window->sideBar().userClick(page));
    }
    state.SetLabel(page);
}

void Snapshot_Page(benchmark::State& state) {
    Program program;
    for (auto _ : state) {
        const std::string body =
            zovrena::web::describeWindow(program.window.get(), program.object.get(), {});
        benchmark::DoNotOptimize(body.data());
    }
}

// The window as the host serves it, both pages visited once; `revision` is its current revision.
std::shared_ptr<zovrena::web::WindowSession> openSession(std::int64_t& revision) {
    auto window = zovrena::web::WindowSession::open({"w1", connectionString(), "demo", 1});
    revision = window->snapshot().parsed()["revision"].get<std::int64_t>();
    for (const char* page : pages) {
        window->act({{"type", "clickItem"}, {"item", page}, {"revision", revision++}});
    }
    return window;
}

void WindowSession_SideBarClick(benchmark::State& state) {
    std::int64_t revision = 0;
    auto window = openSession(revision);
    std::size_t next = 0;
    for (auto _ : state) {
        const auto answer =
            window->act({{"type", "clickItem"}, {"item", pages[next]}, {"revision", revision}});
        const std::string body = answer.snapshot.json();
        if (answer.status != 200) {
            state.SkipWithError("click refused");
            break;
        }
        ++revision;
        next = 1 - next;
    }
    window->shutDown();
}

// The same kind of change as window_bench's Window_Confirm, made through the window's check box,
// then confirmed with the host toolbar; only the confirm is timed.
void WindowSession_Confirm(benchmark::State& state) {
    std::int64_t revision = 0;
    auto window = openSession(revision);
    int value = 0;
    for (auto _ : state) {
        state.PauseTiming();
        value = 1 - value;
        window->act({{"type", "setValue"},
                     {"control", "CBX_GESMODELLLIDB"},
                     {"value", value},
                     {"revision", revision++}});
        state.ResumeTiming();
        const auto answer =
            window->act({{"type", "hostButton"}, {"button", "Conferma"}, {"revision", revision}});
        const std::string body = answer.snapshot.json();
        if (answer.status != 200) {
            state.SkipWithError("confirm refused");
            break;
        }
        ++revision;
    }
    window->shutDown();
}

// The general pages of internal work, external work and active subcontracting.
const char* const workPages[] = {"ITM_PRG_LAVINTIND", "ITM_PRG_LAVINTDOC", "ITM_PRG_LAVESTIND",
                                 "ITM_PRG_LAVESTDOC", "ITM_PRG_CLAIND",    "ITM_PRG_CLADOC"};

// The first click on a page's item: the page created, its controls built, its combos filled, the
// row's values shown, and the answer written. Each iteration opens a window of its own, untimed.
void WindowSession_FirstOpen(benchmark::State& state) {
    const char* item = workPages[state.range(0)];
    state.SetLabel(item);
    for (auto _ : state) {
        state.PauseTiming();
        std::int64_t revision = 0;
        auto window = openSession(revision);
        state.ResumeTiming();
        const auto answer =
            window->act({{"type", "clickItem"}, {"item", item}, {"revision", revision}});
        const std::string body = answer.snapshot.json();
        state.PauseTiming();
        window->shutDown();
        if (answer.status != 200) {
            state.SkipWithError("click refused");
            break;
        }
        state.ResumeTiming();
    }
}

// Back to a page already open from the management indicators page; only the return is timed.
void WindowSession_SwitchBack(benchmark::State& state) {
    const char* item = workPages[state.range(0)];
    state.SetLabel(item);
    std::int64_t revision = 0;
    auto window = openSession(revision);
    window->act({{"type", "clickItem"}, {"item", item}, {"revision", revision++}});
    for (auto _ : state) {
        state.PauseTiming();
        window->act({{"type", "clickItem"}, {"item", "ITM_PRG_INDGES"}, {"revision", revision++}});
        state.ResumeTiming();
        const auto answer =
            window->act({{"type", "clickItem"}, {"item", item}, {"revision", revision}});
        const std::string body = answer.snapshot.json();
        if (answer.status != 200) {
            state.SkipWithError("click refused");
            break;
        }
        ++revision;
    }
    window->shutDown();
}

constexpr int kGridCompany = 9;

// The company with 10,000 documents of a kind the transfer page lists, 2,000 of them saved.
void loadGridCompany() {
    static const bool loaded = [] {
        duza_zovrena::data::addDocumentLoad(connectionString(), kGridCompany, 10000, 2000);
        return true;
    }();
    benchmark::DoNotOptimize(loaded);
}

// The document whose head indicator the benchmarks switch between 0 and 1.
constexpr const char* kEditedRow = "B100001";
constexpr const char* kEditedField = "PD49_INDTRPERSTESTA";

void Program_GridEdit(benchmark::State& state) {
    loadGridCompany();
    kh::ScriptedPresenter presenter;
    kh::ScopedPresenter scope{presenter};
    auto global = zovrena::bench::host();
    global->setCurrentCompany(krl::Variant(std::int32_t{kGridCompany}));
    auto object = zovrena::bench::openProgram(global, std::make_shared<kh::Navigator>());
    auto window = std::dynamic_pointer_cast<duza_zovrena::window::FRMPD_ZOVRENA>(object->window());
    window->sideBar().userClick("ITM_PRT_TRPERS");
    auto page =
        std::dynamic_pointer_cast<duza_zovrena::pages::CTLPD_PRT_TRPERS>(window->currentPage());
    int value = 0;
    for (auto _ : state) {
        value = 1 - value;
        const auto result = page->grid().userEdit(kEditedRow, kEditedField, std::to_string(value));
        if (!result.accepted()) {
            state.SkipWithError("edit refused");
            break;
        }
    }
    object->closeForm();
}

void WindowSession_GridEdit(benchmark::State& state) {
    loadGridCompany();
    auto window =
        zovrena::web::WindowSession::open({"w1", connectionString(), "demo", kGridCompany});
    auto snapshot = window->snapshot().parsed();
    std::int64_t revision = snapshot["revision"].get<std::int64_t>();
    snapshot =
        window->act({{"type", "clickItem"}, {"item", "ITM_PRT_TRPERS"}, {"revision", revision++}})
            .snapshot.parsed();
    // The rows' version the browser holds after each answer.
    const auto heldVersion = [](const Json& answer) {
        for (const auto& frame : answer["page"]["frames"]) {
            for (const auto& control : frame["controls"]) {
                if (control["kind"] == "grid") {
                    return control["rowsVersion"].get<std::string>();
                }
            }
        }
        return std::string{};
    };
    std::string held = heldVersion(snapshot);
    int value = 0;
    for (auto _ : state) {
        value = 1 - value;
        const auto answer = window->act({{"type", "editCell"},
                                         {"control", "GRD_TRPERS"},
                                         {"row", kEditedRow},
                                         {"field", kEditedField},
                                         {"value", std::to_string(value)},
                                         {"gridRows", {{"GRD_TRPERS", held}}},
                                         {"revision", revision}});
        const std::string body = answer.snapshot.json();
        state.PauseTiming();
        if (answer.status != 200) {
            state.SkipWithError("edit refused");
            break;
        }
        held = heldVersion(answer.snapshot.parsed());
        ++revision;
        state.ResumeTiming();
    }
    window->shutDown();
}

}  // namespace

BENCHMARK(Program_GridEdit)->Unit(benchmark::kMicrosecond);
BENCHMARK(WindowSession_GridEdit)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(Program_SideBarClick)->Unit(benchmark::kMicrosecond);
BENCHMARK(Program_FirstOpen)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK(Program_SwitchBack)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK(Snapshot_Page)->Unit(benchmark::kMicrosecond);
BENCHMARK(WindowSession_SideBarClick)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(WindowSession_Confirm)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(WindowSession_FirstOpen)
    ->DenseRange(0, 5)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Iterations(40);
BENCHMARK(WindowSession_SwitchBack)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond)->UseRealTime();

namespace {
void UiThread_EmptyInvoke(benchmark::State& state) {
    krl::host::UiThread thread;
    for (auto _ : state) {
        thread.invoke([] {});
    }
}
}  // namespace
BENCHMARK(UiThread_EmptyInvoke)->Unit(benchmark::kMicrosecond)->UseRealTime();

BENCHMARK_MAIN();
