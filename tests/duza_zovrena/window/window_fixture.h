#pragma once

// The window as the host opens it: the program object created with the real window, the host's
// global object, navigator and message service over a scripted presenter, on a fresh demo
// database.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "duza_zovrena/data/demo_database.h"
#include "duza_zovrena/data/sqlite_rows.h"
#include "duza_zovrena/host/clspd_zovrena.h"
#include "duza_zovrena/pages/page_list.h"
#include "duza_zovrena/window/frmpd_zovrena.h"
#include "krl/ado/ado.h"
#include "krl/frame/virtual_frame.h"
#include "krl/host/catalogue_message_service.h"
#include "krl/host/global.h"
#include "krl/host/host_interface.h"
#include "krl/host/menu_entry.h"
#include "krl/host/navigator.h"
#include "krl/host/presenter.h"
#include "krl/host/progid.h"

namespace duza_zovrena::window::testing {

using krl::Variant;
namespace kh = krl::host;

class WindowFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        pages::registerPages(kh::ProgIdRegistry::instance());
        connectionString_ = "sqlite:" + folder_.file("window.db");
        data::createDemoDatabase(connectionString_, true);
    }

    // A window still holding changes is closed by dropping them, so none outlives its test.
    void TearDown() override {
        for (auto& program : programs_) {
            if (!program->closeForm().toBool()) {
                presenter_.queue(kh::vbNo);
                program->closeForm();
            }
        }
    }

    std::shared_ptr<kh::ClsGlobal> hostFor(const Variant& company) {
        auto global = std::make_shared<kh::ClsGlobal>();
        global->setConnectionString(connectionString_);
        global->setCurrentCompany(company);
        global->setMessageService(std::make_shared<kh::CatalogueMessageService>());
        global->setMainInterface(std::make_shared<kh::HostProgramInterface>());
        return global;
    }

    // The host opens the program: writes its context and calls ShowForm.
    std::shared_ptr<host::CLSPD_ZOVRENA> open(const Variant& company,
                                              std::shared_ptr<kh::ClsGlobal> global = nullptr,
                                              bool calledByAnotherProgram = false) {
        if (!global) {
            global = hostFor(company);
        }
        auto program = host::CLSPD_ZOVRENA::create([] { return FRMPD_ZOVRENA::create(); });
        program->setClsGlobal(global);
        program->setActiveNavigator(navigator_);
        program->setClsVoceMenu(std::make_shared<kh::MenuEntry>(
            Variant("PD_ZOVRENA"), "Parametri di gestione", "DUZA_ZOVRENA.CLSPD_ZOVRENA"));
        program->setCaption(Variant("Parametri di gestione"));
        program->setIsActive(true);
        program->setIsCalled(calledByAnotherProgram);
        program->showForm();
        programs_.push_back(program);
        return program;
    }

    static FRMPD_ZOVRENA& windowOf(const std::shared_ptr<host::CLSPD_ZOVRENA>& program) {
        auto window = std::dynamic_pointer_cast<FRMPD_ZOVRENA>(program->window());
        if (!window) {
            throw std::runtime_error("no window");
        }
        return *window;
    }

    // The window of a program opened for the company; the fixture keeps the program.
    FRMPD_ZOVRENA& openWindow(int company = 1) {
        return windowOf(open(Variant(std::int32_t{company})));
    }

    // A change to the general row as a bound control makes it: the value, then the frame changing.
    static void changeGeneral(FRMPD_ZOVRENA& window, const char* column, const Variant& value) {
        (*window.generalRows())[column].setValue(value);
        window.generalFrame()->setStatus(1);
    }

    // The stored general row of a company, read by another connection.
    std::vector<data::testing::Row> storedGeneral(int company) {
        data::testing::SqliteFile file(folder_.file("window.db"));
        return file.rows("SELECT * FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = " +
                         std::to_string(company));
    }

    void execute(const std::string& sql) {
        data::testing::SqliteFile file(folder_.file("window.db"));
        file.exec(sql);
    }

    std::vector<long> messageIds() const {
        std::vector<long> ids;
        for (const auto& box : presenter_.boxes()) {
            ids.push_back(box.messageId);
        }
        return ids;
    }

    data::testing::TempFolder folder_;
    std::string connectionString_;
    std::shared_ptr<kh::Navigator> navigator_ = std::make_shared<kh::Navigator>();
    std::vector<std::shared_ptr<host::CLSPD_ZOVRENA>> programs_;
    kh::ScriptedPresenter presenter_;
    kh::ScopedPresenter presenterScope_{presenter_};
};

}  // namespace duza_zovrena::window::testing
