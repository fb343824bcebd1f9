#pragma once

// The program object as a host drives it: a global object with the host's message service, a
// navigator, a window that records what it is asked (the smallest window that lets the order be
// checked), and a database file with a general-parameters row per company and media items.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data_access.h"
#include "duza_zovrena/host/clspd_zovrena.h"
#include "krl/ado/ado.h"
#include "krl/host/frame_access.h"
#include "krl/host/global.h"
#include "krl/host/host_interface.h"
#include "krl/host/presenter.h"

namespace duza_zovrena::host::testing {

using krl::Variant;
namespace kh = krl::host;

// Records every call in order. The window state starts its load, which reads the company through
// the program interface, as the real window's load does.
class RecordingWindow : public ProgramWindow {
  public:
    explicit RecordingWindow(std::vector<std::string>& log) : log_(log) {}
    ~RecordingWindow() override {
        if (onDestroy) {
            onDestroy();
        }
    }

    void setProgramInterface(std::shared_ptr<kh::Cinterface> programInterface) override {
        log_.emplace_back(programInterface ? "programInterface" : "programInterface null");
        programInterface_ = std::move(programInterface);
    }
    std::shared_ptr<kh::Cinterface> programInterface() const override { return programInterface_; }
    void setWindowState(std::int16_t windowState) override {
        std::string company = "no program interface";
        if (programInterface_ && programInterface_->clsGlobal()) {
            company = "company " + programInterface_->clsGlobal()->currentCompany().textOrEmpty();
        }
        log_.push_back("windowState " + std::to_string(windowState) + ", load reads " + company);
    }
    void setProgramObject(std::shared_ptr<CLSPD_ZOVRENA> programObject) override {
        log_.emplace_back(programObject ? "programObject" : "programObject null");
        programObject_ = std::move(programObject);
    }
    void setCaption(std::string caption) override {
        log_.push_back("caption " + caption);
        caption_ = std::move(caption);
    }
    std::string caption() const override { return caption_; }
    void show(bool modal) override { log_.emplace_back(modal ? "show modal" : "show modeless"); }
    bool unload() override {
        log_.emplace_back("unload");
        if (refuseUnload) {
            return false;
        }
        programInterface_.reset();
        programObject_.reset();
        unloaded = true;
        return true;
    }
    void setIcon(std::string_view pictureKey) override { icon = pictureKey; }
    void InitializeLayoutObjectModel() override {
        log_.emplace_back("InitializeLayoutObjectModel");
    }
    std::string name() const override { return "FRMPD_ZOVRENA"; }

    bool refuseUnload = false;
    bool unloaded = false;
    std::string icon;
    std::function<void()> onDestroy;

  private:
    std::vector<std::string>& log_;
    std::shared_ptr<kh::Cinterface> programInterface_;
    std::shared_ptr<CLSPD_ZOVRENA> programObject_;
    std::string caption_;
};

// The frame in front as the program reaches it.
class SimpleFrame : public kh::FrameAccess {
  public:
    SimpleFrame(int status, std::shared_ptr<krl::ado::Recordset> recordset)
        : status_(status), recordset_(std::move(recordset)) {}
    int status() const override { return status_; }
    std::shared_ptr<krl::ado::Recordset> recordset() const override { return recordset_; }
    std::string name() const override { return name_; }
    void setName(std::string name) override { name_ = std::move(name); }
    void update() override { ++updates; }

    int updates = 0;

  private:
    int status_;
    std::shared_ptr<krl::ado::Recordset> recordset_;
    std::string name_ = "Frame1";
};

class HostFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        file_ = test_support::freshDatabaseFile("duza_host");
        connectionString_ = "sqlite:" + file_.string();
        connection_ = connect();
        for (const char* statement : {
                 "CREATE TABLE PD42_ZOVRENA (PD42_DITTA_CG18 INTEGER NOT NULL PRIMARY KEY, "
                 "PD42_IDMEDIA_CG99 INTEGER)",
                 "INSERT INTO PD42_ZOVRENA VALUES (1, NULL)",
                 "INSERT INTO PD42_ZOVRENA VALUES (2, 5)",
                 "INSERT INTO PD42_ZOVRENA VALUES (3, 8)",
                 "CREATE TABLE CG99_MULTIMEDIA (CG99_ID INTEGER NOT NULL, CG99_PROGR INTEGER NOT "
                 "NULL, CG99_DESCRIZIONE VARCHAR(80), CG99_NOMEFILE VARCHAR(255), CG99_CONTENUTO "
                 "BLOB, CG99_DATAINS TEXT, PRIMARY KEY (CG99_ID, CG99_PROGR))",
                 "INSERT INTO CG99_MULTIMEDIA VALUES (5, 1, 'Schema', 'schema.pdf', 'pdf', "
                 "'20240101 10:00:00')",
             }) {
            connection_->execute(statement, nullptr,
                                 krl::ado::adCmdText | krl::ado::adExecuteNoRecords);
        }

        global_ = std::make_shared<kh::ClsGlobal>();
        global_->setConnectionString(connectionString_);
        global_->setCurrentCompany(Variant(std::int32_t{1}));
        global_->setUserContext({Variant("demo"), Variant(std::int32_t{3})});
        auto main = std::make_shared<kh::HostProgramInterface>();
        main->setHwndParent(4242);
        global_->setMainInterface(main);
        navigator_ = std::make_shared<kh::Navigator>();

        program_ = CLSPD_ZOVRENA::create([this] {
            auto window = std::make_shared<RecordingWindow>(log_);
            window_ = window;
            return window;
        });
        program_->setClsGlobal(global_);
        program_->setActiveNavigator(navigator_);
        program_->setCaption(Variant("Parametri di gestione"));
        program_->setIsActive(true);
        program_->setConnection(connection_);  // as the window's load leaves it
    }

    void TearDown() override {
        if (program_) {
            program_->closeForm();
        }
        program_.reset();
        if (connection_->state() == krl::ado::adStateOpen) {
            connection_->close();
        }
        std::filesystem::remove(file_);
        std::filesystem::remove(file_.string() + "-journal");
    }

    std::shared_ptr<krl::ado::Connection> connect() const {
        return test_support::openConnection(connectionString_);
    }

    // The general-parameters row of the company, as the window opens it.
    std::shared_ptr<krl::ado::Recordset> generalRow(int company) const {
        return test_support::openRecordset(
            connection_,
            "SELECT * FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = " + std::to_string(company));
    }

    // The media id of the company's row as another connection reads it now.
    Variant storedMediaId(int company) const {
        auto other = connect();
        auto rows =
            other->execute("SELECT PD42_IDMEDIA_CG99 FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = " +
                           std::to_string(company));
        Variant value = rows->fields()["PD42_IDMEDIA_CG99"].value();
        other->close();
        return value;
    }

    std::shared_ptr<SimpleFrame> frontFrame(int status, int company) {
        auto frame = std::make_shared<SimpleFrame>(status, generalRow(company));
        program_->setActiveFrame(frame);
        return frame;
    }

    void showForm() { program_->showForm(); }
    RecordingWindow& window() { return *window_.lock(); }

    std::filesystem::path file_;
    std::string connectionString_;
    std::shared_ptr<krl::ado::Connection> connection_;
    std::shared_ptr<kh::ClsGlobal> global_;
    std::shared_ptr<kh::Navigator> navigator_;
    std::shared_ptr<CLSPD_ZOVRENA> program_;
    std::weak_ptr<RecordingWindow> window_;
    std::vector<std::string> log_;
    kh::ScriptedPresenter presenter_;
    kh::ScopedPresenter presenterScope_{presenter_};
};

// Records the media sessions the program opens.
class RecordingMediaPresenter : public kh::MediaPresenter {
  public:
    void present(std::shared_ptr<kh::MediaSession> session) override {
        sessions.push_back(std::move(session));
    }
    std::vector<std::shared_ptr<kh::MediaSession>> sessions;
};

}  // namespace duza_zovrena::host::testing
