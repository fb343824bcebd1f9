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

// An object of a host class that notes its name in a shared list when it is released.
template <class Base>
struct Logged : Base {
    template <class... Args>
    Logged(std::vector<std::string>& log, std::string name, Args&&... args)
        : Base(std::forward<Args>(args)...), log_(log), name_(std::move(name)) {}
    ~Logged() override { log_.push_back(name_); }
    std::vector<std::string>& log_;
    std::string name_;
};

TEST_F(HostFixture, DestructionWritesItsTraceLineThenReleasesInOrder) {
    std::vector<std::string> released;
    kh::ProgIdRegistry& registry = kh::ProgIdRegistry::instance();
    kh::ProgIdRegistry::Scope managerClass(registry, kh::CVidazIzozu::progId, [&] {
        return std::make_shared<Logged<kh::CVidazIzozu>>(released, "multimedia manager");
    });
    kh::ProgIdRegistry::Scope messagesClass(registry, kh::CLSFW_MULTILINGUA::progId, [&] {
        return std::make_shared<Logged<kh::CLSFW_MULTILINGUA>>(released, "fallback message object");
    });
    std::vector<std::string> lines;
    TraceCapture capture(lines);
    krl::diag::setDebugSink([&](std::string_view line) {
        if (line.find("|TER|DUZA_ZOVRENA|CLSPD_ZOVRENA") != std::string_view::npos) {
            released.emplace_back("TER");
        }
    });

    auto program = CLSPD_ZOVRENA::create([&] {
        auto window = std::make_shared<RecordingWindow>(log_);
        window->onDestroy = [&] { released.emplace_back("window"); };
        return window;
    });
    // The fallback message object exists only when a box was shown without a program interface.
    program->setActiveDll(nullptr);
    program->ShowMessage("testo", 1, 0, "");
    {
        auto global = std::make_shared<Logged<kh::ClsGlobal>>(released, "ClsGlobal");
        global->setConnectionString(connectionString_);
        global->setMainInterface(std::make_shared<kh::HostProgramInterface>());
        program->setClsGlobal(global);
        auto dll = std::make_shared<Logged<kh::HostProgramInterface>>(released, "ActiveDll");
        dll->setClsGlobal(global);
        dll->setIsActive(true);
        dll->setActiveFrame(std::make_shared<SimpleFrame>(1, generalRow(2)));
        program->setActiveDll(dll);
        program->setClsVoceMenu(std::make_shared<Logged<kh::MenuEntry>>(
            released, "ClsVoceMenu", Variant(std::int32_t{12}), "Parametri di gestione",
            "DUZA_ZOVRENA.CLSPD_ZOVRENA"));
        program->setActiveNavigator(
            std::make_shared<Logged<kh::Navigator>>(released, "ActiveNavigator"));
        program->setConnection(connection_);
    }
    program->showForm();
    program->RefreshProgramIcon();  // creates the multimedia manager
    ASSERT_TRUE(program->closeForm().toBool());
    ASSERT_TRUE(released.empty());

    program.reset();

    EXPECT_EQ(released, (std::vector<std::string>{"TER", "ClsVoceMenu", "ActiveDll", "ClsGlobal",
                                                  "ActiveNavigator", "window", "multimedia manager",
                                                  "fallback message object"}));
}

}  // namespace
}  // namespace duza_zovrena::host::testing
