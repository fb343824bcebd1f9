#include <gtest/gtest.h>

#include <optional>

#include "host_fixture.h"
#include "krl/diag/trace.h"
#include "krl/host/menu_entry.h"
#include "krl/host/multilingua.h"
#include "krl/host/progid.h"

namespace duza_zovrena::host::testing {
namespace {

// Collects the debugger output while it lives.
class TraceCapture {
  public:
    explicit TraceCapture(std::vector<std::string>& lines) {
        krl::diag::setDebugSink([&lines](std::string_view line) { lines.emplace_back(line); });
    }
    ~TraceCapture() { krl::diag::setDebugSink({}); }
};

// The trace lines of the program object. That every object has an id of its own is the instance
// id's test; that INI and TER carry the same one, the pages' trace test.
TEST(ProgramObjectTrace, AnIdNotMadeAtCreationIsMadeAtTheNextUse) {
    std::vector<std::string> lines;
    int calls = 0;
    krl::diag::setGuidGenerator([&]() -> std::optional<krl::diag::Guid> {
        if (++calls == 1) {
            return std::nullopt;  // the system generator failed
        }
        return krl::diag::Guid{0x0A0B0C0D, 0x0102, 0xA0B0, {1, 2, 3, 4, 5, 6, 7, 0xFF}};
    });
    {
        TraceCapture capture(lines);
        auto program = CLSPD_ZOVRENA::create();
        EXPECT_EQ(program->instanceId(), "0A0B0C0D0102A0B001020304050607FF");
    }
    krl::diag::setGuidGenerator({});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "ZNDR:||INI|DUZA_ZOVRENA|CLSPD_ZOVRENA");
    EXPECT_EQ(lines[1], "ZNDR:|0A0B0C0D0102A0B001020304050607FF|TER|DUZA_ZOVRENA|CLSPD_ZOVRENA");
    EXPECT_EQ(calls, 2);
}

// Objects that note in a shared list when they are released.
struct ReleaseLog {
    std::vector<std::string> order;
};

struct LoggedMenuEntry : kh::MenuEntry {
    LoggedMenuEntry(ReleaseLog& log)
        : kh::MenuEntry(Variant(std::int32_t{12}), "Parametri di gestione",
                        "DUZA_ZOVRENA.CLSPD_ZOVRENA"),
          log_(log) {}
    ~LoggedMenuEntry() override { log_.order.emplace_back("ClsVoceMenu"); }
    ReleaseLog& log_;
};

struct LoggedInterface : kh::HostProgramInterface {
    explicit LoggedInterface(ReleaseLog& log) : log_(log) {}
    ~LoggedInterface() override { log_.order.emplace_back("ActiveDll"); }
    ReleaseLog& log_;
};

struct LoggedGlobal : kh::ClsGlobal {
    explicit LoggedGlobal(ReleaseLog& log) : log_(log) {}
    ~LoggedGlobal() override { log_.order.emplace_back("ClsGlobal"); }
    ReleaseLog& log_;
};

struct LoggedNavigator : kh::Navigator {
    explicit LoggedNavigator(ReleaseLog& log) : log_(log) {}
    ~LoggedNavigator() override { log_.order.emplace_back("ActiveNavigator"); }
    ReleaseLog& log_;
};

struct LoggedManager : kh::CVidazIzozu {
    explicit LoggedManager(ReleaseLog& log) : log_(log) {}
    ~LoggedManager() override { log_.order.emplace_back("multimedia manager"); }
    ReleaseLog& log_;
};

struct LoggedMessages : kh::CLSFW_MULTILINGUA {
    explicit LoggedMessages(ReleaseLog& log) : log_(log) {}
    ~LoggedMessages() override { log_.order.emplace_back("fallback message object"); }
    ReleaseLog& log_;
};

TEST_F(HostFixture, DestructionWritesItsTraceLineThenReleasesInOrder) {
    ReleaseLog released;
    kh::ProgIdRegistry& registry = kh::ProgIdRegistry::instance();
    kh::ProgIdRegistry::Scope managerClass(registry, kh::CVidazIzozu::progId, [&] {
        return std::make_shared<LoggedManager>(released);
    });
    kh::ProgIdRegistry::Scope messagesClass(registry, kh::CLSFW_MULTILINGUA::progId, [&] {
        return std::make_shared<LoggedMessages>(released);
    });
    std::vector<std::string> lines;
    TraceCapture capture(lines);
    krl::diag::setDebugSink([&](std::string_view line) {
        if (line.find("|TER|DUZA_ZOVRENA|CLSPD_ZOVRENA") != std::string_view::npos) {
            released.order.emplace_back("TER");
        }
    });

    auto program = CLSPD_ZOVRENA::create([&] {
        auto window = std::make_shared<RecordingWindow>(log_);
        window->onDestroy = [&] { released.order.emplace_back("window"); };
        return window;
    });
    // The fallback message object exists only when a box was shown without a program interface.
    program->setActiveDll(nullptr);
    program->ShowMessage("testo", 1, 0, "");
    {
        auto global = std::make_shared<LoggedGlobal>(released);
        global->setConnectionString(connectionString_);
        global->setMainInterface(std::make_shared<kh::HostProgramInterface>());
        program->setClsGlobal(global);
        auto dll = std::make_shared<LoggedInterface>(released);
        dll->setClsGlobal(global);
        dll->setIsActive(true);
        dll->setActiveFrame(std::make_shared<SimpleFrame>(1, generalRow(2)));
        program->setActiveDll(dll);
        program->setClsVoceMenu(std::make_shared<LoggedMenuEntry>(released));
        program->setActiveNavigator(std::make_shared<LoggedNavigator>(released));
        program->setConnection(connection_);
    }
    program->showForm();
    program->RefreshProgramIcon();  // creates the multimedia manager
    ASSERT_TRUE(program->closeForm().toBool());
    ASSERT_TRUE(released.order.empty());

    program.reset();

    EXPECT_EQ(released.order, (std::vector<std::string>{
                                  "TER", "ClsVoceMenu", "ActiveDll", "ClsGlobal", "ActiveNavigator",
                                  "window", "multimedia manager", "fallback message object"}));
}

}  // namespace
}  // namespace duza_zovrena::host::testing
