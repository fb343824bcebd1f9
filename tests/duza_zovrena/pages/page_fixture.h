#pragma once

// A page as the window drives it: a demo database of its own, the host's global object with its
// message service, a navigator, the program interface, the general-parameters row of company 1 in
// a started data frame, and the production lookup and decode objects. Message boxes are answered
// by a scripted presenter, lookup lists by a scripted chooser.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "data_access.h"
#include "duza_zovrena/data/demo_database.h"
#include "duza_zovrena/data/sqlite_rows.h"
#include "duza_zovrena/pages/page_members.h"
#include "duza_zovrena/pages/parameter_page.h"
#include "krl/ado/ado.h"
#include "krl/controls/lookup.h"
#include "krl/frame/virtual_frame.h"
#include "krl/host/catalogue_message_service.h"
#include "krl/host/global.h"
#include "krl/host/host_interface.h"
#include "krl/host/lookup_decode.h"
#include "krl/host/navigator.h"
#include "krl/host/presenter.h"

namespace duza_zovrena::pages::testing {

using krl::Variant;
namespace kc = krl::controls;
namespace kh = krl::host;

using ScriptedLookup = kc::ScriptedLookupPresenter;
using data::testing::pairs;

class PageTest : public ::testing::Test {
  protected:
    static constexpr const char* GeneralSql =
        "SELECT * FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = 1";
    static constexpr const char* DocumentSql =
        "SELECT * FROM PD88_ZOVRENADOC WHERE PD88_DITTA_CG18 = 1 AND PD88_CODDOC_MG36 = 'ODP'";

    void SetUp() override {
        file_ = test_support::freshDatabaseFile("zovrena_pages");
        connectionString_ = "sqlite:" + file_.string();
        data::createDemoDatabase(connectionString_, false);

        catalogue_ = std::make_shared<kh::MessageCatalogue>(*kh::MessageCatalogue::standard());
        global_ = std::make_shared<kh::ClsGlobal>();
        global_->setConnectionString(connectionString_);
        global_->setCurrentCompany(Variant(std::int32_t{1}));
        global_->setMessageService(std::make_shared<kh::CatalogueMessageService>(catalogue_));
        navigator_ = std::make_shared<kh::Navigator>();
        program_ = std::make_shared<kh::HostProgramInterface>();
        program_->setClsGlobal(global_);
        program_->setActiveNavigator(navigator_);
        program_->setCaption(Variant("Parametri di gestione"));

        connection_ = test_support::openConnection(connectionString_);
        general_ = open(GeneralSql);
        frame_ = krl::frame::VirtualFrame::create("FME_PARAMETRI");
        frame_->initialize(program_, connection_, general_, GeneralSql, "", nullptr);
        frame_->start();
        document_ = open(DocumentSql);
        documentFrame_ = krl::frame::VirtualFrame::create("FME_PARAMETRI_DOC");
        documentFrame_->initialize(program_, connection_, document_, DocumentSql,
                                   "PD88_CODDOC_MG36", nullptr);
        documentFrame_->start();

        decode_ = std::make_shared<kh::ClsDecodeProduzione>();
        decode_->setProgramInterface(program_);
        lookup_ = std::make_shared<kh::ClsLookupProduzione>();
        lookup_->setProgramInterface(program_);
    }

    void TearDown() override {
        // Pages register with the navigator's models and hold the frame, which holds the program
        // interface, which holds the navigator: let go as the window's unload does.
        frame_->terminate();
        documentFrame_->terminate();
        program_->setActiveNavigator(nullptr);
        program_->setActiveFrame(nullptr);
        kc::closeDecodeConnections();
        if (decode_) {
            decode_->release();
        }
        if (connection_->state() == krl::ado::adStateOpen) {
            connection_->close();
        }
        std::filesystem::remove(file_);
    }

    std::shared_ptr<krl::ado::Recordset> open(const std::string& sql) const {
        return test_support::openRecordset(connection_, sql);
    }

    // The members the window sets on a general page that has them.
    void wire(Page& page) {
        page.setActiveInterface(program_);
        page.setVirtualFrame(frame_);
        page.setRecordset(general_);
        if (page.hasDecodeLookup()) {
            page.setClsDecodeProduzione(decode_);
            page.setClsLookupProduzione(lookup_);
        }
        if (page.hasConnection()) {
            page.setConnection(connection_);
        }
        wirePriceLists(page);
    }

    // The price-list objects, on the page that has them.
    void wirePriceLists(Page& page) {
        auto* declared = dynamic_cast<ParameterPage*>(&page);
        if (declared != nullptr && declared->declaration().members.priceListObjects) {
            auto decode = std::make_shared<kh::ClsDecodeListiniParametrici>();
            decode->setProgramInterface(program_);
            page.setClsDecodeListiniParametrici(decode);
            auto lookup = std::make_shared<kh::ClsLookupListiniParametrici>();
            lookup->setProgramInterface(program_);
            page.setClsLookupListiniParametrici(lookup);
        }
    }

    std::vector<long> messageIds() const {
        std::vector<long> ids;
        for (const auto& box : presenter_.boxes()) {
            ids.push_back(box.messageId);
        }
        return ids;
    }

    Variant column(const char* name) const { return (*general_)[name].value(); }

    // The general record holds the numbers of "COLUMN=number COLUMN=number".
    void expectColumns(std::string_view spec) const {
        for (const auto& [name, value] : pairs(spec)) {
            EXPECT_EQ(krl::numericValue(column(name.c_str())), std::stod(value)) << name;
        }
    }

    kh::ScriptedPresenter presenter_;
    kh::ScopedPresenter presenterScope_{presenter_};
    ScriptedLookup lookupChooser_;
    kc::ScopedLookupPresenter lookupScope_{lookupChooser_};

    std::filesystem::path file_;
    std::string connectionString_;
    std::shared_ptr<kh::MessageCatalogue> catalogue_;
    std::shared_ptr<kh::ClsGlobal> global_;
    std::shared_ptr<kh::Navigator> navigator_;
    std::shared_ptr<kh::HostProgramInterface> program_;
    std::shared_ptr<krl::ado::Connection> connection_;
    std::shared_ptr<krl::ado::Recordset> general_;
    std::shared_ptr<krl::frame::VirtualFrame> frame_;
    // Company 1's production order row.
    std::shared_ptr<krl::ado::Recordset> document_;
    std::shared_ptr<krl::frame::VirtualFrame> documentFrame_;
    std::shared_ptr<kh::ClsDecodeProduzione> decode_;
    std::shared_ptr<kh::ClsLookupProduzione> lookup_;
};

// The person's input on a control: a combo row chosen, a checkbox clicked until it shows the
// value, a text typed and the field left.
inline kc::InputResult input(kc::ControlContainer& page, const std::string& name,
                             const std::string& value) {
    kc::Control* control = page.find(name);
    if (auto* combo = dynamic_cast<kc::Combo*>(control)) {
        return combo->userSelect(value);
    }
    if (auto* box = dynamic_cast<kc::CheckBox*>(control)) {
        return box->text() == value ? kc::InputResult::accept() : box->userClick();
    }
    if (auto* edit = dynamic_cast<kc::EditM*>(control)) {
        return edit->userEnter(value);
    }
    return kc::InputResult::refuse("no control " + name);
}

// Each control of "NAME [on|off] [shown|hidden] [mandatory|optional] [=text]; ..." is in that
// state; what is not named is not checked.
inline void expectControls(kc::ControlContainer& page, std::string_view specs) {
    std::istringstream controls{std::string(specs)};
    for (std::string spec; std::getline(controls, spec, ';');) {
        std::istringstream words(spec);
        std::string name;
        words >> name;
        SCOPED_TRACE(name);
        kc::Control* control = page.find(name);
        ASSERT_NE(control, nullptr);
        for (std::string word; words >> word;) {
            if (word == "on" || word == "off") {
                EXPECT_EQ(control->enabled(), word == "on");
            } else if (word == "shown" || word == "hidden") {
                EXPECT_EQ(control->visible(), word == "shown");
            } else if (word == "mandatory" || word == "optional") {
                EXPECT_EQ(control->mandatory(), word == "mandatory");
            } else {
                EXPECT_EQ(control->text(), word.substr(1));
            }
        }
    }
}

}  // namespace duza_zovrena::pages::testing
