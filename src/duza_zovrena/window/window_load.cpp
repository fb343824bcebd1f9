// Load sequence, activation and the navigator of the window.

#include "duza_zovrena/pages/page_list.h"
#include "duza_zovrena/window/frmpd_zovrena.h"
#include "krl/ado/ado.h"
#include "krl/controls/edit.h"
#include "krl/controls/grid_nav.h"
#include "krl/controls/resize_form.h"
#include "krl/controls/side_bar.h"
#include "krl/frame/virtual_frame.h"
#include "krl/host/cinterface.h"
#include "krl/host/error_log.h"
#include "krl/host/formatters.h"
#include "krl/host/global.h"
#include "krl/host/lookup_decode.h"
#include "krl/host/navigator.h"
#include "krl/trap/trap.h"

namespace duza_zovrena::window {

namespace kh = krl::host;

// ---- Load -------------------------------------------------------------------------------------

void FRMPD_ZOVRENA::Form_Load() {
    activated_ = false;
    loadFailed_ = false;
    MDIActiveX1_->load();
    bool ok =
        krl::trap::run("Form_Load",
                       {
                           [this] { errorLog_ = std::make_shared<kh::ErrorLog>(); },
                           [this] { numberFormatter_ = std::make_shared<kh::NumberFormatter>(); },
                           [this] { dateFormatter_ = std::make_shared<kh::DateFormatter>(); },
                           [this] { companyCode_ = global().currentCompany(); },
                           [this] {
                               if (!InitConnection() || !InitLookupDecodeObjects() || !LoadData() ||
                                   !InitVirtualFrame()) {
                                   loadFailed_ = true;
                               }
                           },
                       },
                       onError());
    if (!ok) {
        loadFailed_ = true;
    }
}

bool FRMPD_ZOVRENA::InitConnection() {
    bool result = false;
    krl::trap::run("InitConnection",
                   {
                       [this] { connectionString_ = global().connectionString(); },
                       [this] { connection_ = krl::ado::Connection::create(); },
                       [this] { connection_->setConnectionString(connectionString_); },
                       [this] { connection_->open("", "", -1); },
                       [&] { result = true; },
                   },
                   onError());
    return result;
}

bool FRMPD_ZOVRENA::InitLookupDecodeObjects() {
    bool result = false;
    krl::trap::run("InitLookupDecodeObjects",
                   {
                       [this] {
                           clsLookupProduzione_ = std::make_shared<kh::ClsLookupProduzione>();
                           clsLookupProduzione_->setProgramInterface(programInterface_);
                       },
                       [this] {
                           clsDecodeProduzione_ = std::make_shared<kh::ClsDecodeProduzione>();
                           clsDecodeProduzione_->setProgramInterface(programInterface_);
                       },
                       [this] {
                           documentsLookup_ = std::make_shared<kh::ClsLookupProduzione>();
                           documentsLookup_->setProgramInterface(programInterface_);
                       },
                       [this] {
                           clsLookupListini_ = std::make_shared<kh::ClsLookupListiniParametrici>();
                           clsLookupListini_->setProgramInterface(programInterface_);
                       },
                       [this] {
                           clsDecodeListini_ = std::make_shared<kh::ClsDecodeListiniParametrici>();
                           clsDecodeListini_->setProgramInterface(programInterface_);
                       },
                       [&] { result = true; },
                   },
                   onError());
    return result;
}

bool FRMPD_ZOVRENA::openRecordset(std::shared_ptr<krl::ado::Recordset>& recordset,
                                  const std::string& sql, std::string_view procedure) {
    bool result = false;
    krl::trap::run(procedure,
                   {
                       [&] { recordset = krl::ado::Recordset::create(); },
                       [&] { recordset->setActiveConnection(connection_); },
                       [&] { recordset->setSource(sql); },
                       [&] {
                           recordset->open(krl::ado::adOpenUnspecified, krl::ado::adLockUnspecified,
                                           krl::ado::adCmdText);
                       },
                       [&] { result = true; },
                   },
                   onError());
    return result;
}

bool FRMPD_ZOVRENA::LoadData() {
    return LoadDataParametri() && LoadDataParametriDocumenti();
}

bool FRMPD_ZOVRENA::LoadDataParametri() {
    std::string sql;
    bool built = krl::trap::run("LoadDataParametri", {[&] {
                                    sql = "SELECT * FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = " +
                                          FormatSqlValue(companyCode_, 1, false).textOrEmpty();
                                }},
                                onError());
    return built && openRecordset(rsGeneral_, sql, "LoadDataParametri");
}

bool FRMPD_ZOVRENA::LoadDataParametriDocumenti() {
    return openRecordset(rsDocument_, "SELECT * FROM PD88_ZOVRENADOC WHERE 1 = 0",
                         "LoadDataParametriDocumenti");
}

bool FRMPD_ZOVRENA::InitVirtualFrame() {
    bool result = false;
    if (!InitVirtualFrameParametri() || !InitVirtualFrameParametriDocumenti()) {
        return false;
    }
    connectFrameEvents();
    krl::trap::run(
        "InitVirtualFrame",
        {
            [this] { krl::require(programInterface_, "Cinterface").setConnection(connection_); },
            [&] { result = true; },
        },
        onError());
    return result;
}

bool FRMPD_ZOVRENA::InitVirtualFrameParametri() {
    bool result = false;
    krl::trap::run(
        "InitVirtualFrameParametri",
        {
            [this] { FME_PARAMETRI_ = krl::frame::VirtualFrame::create("FME_PARAMETRI"); },
            [this] {
                FME_PARAMETRI_->initialize(programInterface_, connection_, rsGeneral_,
                                           rsGeneral_->source(), "", INTERNAV_PARAMETRI_, nullptr);
            },
            [this] { FME_PARAMETRI_->setCaption(caption_); },
            [this] { INTERNAV_PARAMETRI_->setNavigationLocked(false); },
            [&] { result = true; },
        },
        onError());
    return result;
}

bool FRMPD_ZOVRENA::InitVirtualFrameParametriDocumenti() {
    bool result = false;
    krl::trap::run(
        "InitVirtualFrameParametriDocumenti",
        {
            [this] { FME_PARAMETRI_DOC_ = krl::frame::VirtualFrame::create("FME_PARAMETRI_DOC"); },
            [this] {
                FME_PARAMETRI_DOC_->initialize(programInterface_, connection_, rsDocument_,
                                               rsDocument_->source(), "PD88_CODDOC_MG36",
                                               INTERNAV_PARAMETRI_DOC_, nullptr);
            },
            [this] { FME_PARAMETRI_DOC_->setCaption(caption_); },
            [&] { result = true; },
        },
        onError());
    return result;
}

// ---- Activation -------------------------------------------------------------------------------

void FRMPD_ZOVRENA::Form_Activate() {
    krl::trap::ignoring([this] { synchroniseNavigator(); });
    if (!activated_) {
        firstActivation();
    }
}

void FRMPD_ZOVRENA::firstActivation() {
    krl::trap::ignoring([this] { KRL_RESIZEFORM1_->start(); });
    if (loadFailed_) {
        unload();
        return;
    }
    krl::trap::runIgnoring({
        [this] { krl::require(programInterface_->activeNavigator(), "Navigator").refresh(); },
        [this] { krl::require(programInterface_->activeNavigator(), "Navigator").refresh(); },
        [this] { TXT_CODDOC_->addKeyButtonMenu(1, "Documenti attivi ditta", true); },
        [this] {
            INTERNAV_PARAMETRI_TRP_->setProgramInterface(programInterface_);
            INTERNAV_PARAMETRI_TRP_->setFrame(FME_PARAMETRI_);
        },
    });
    for (const char* button : {"FirstRecord", "BackwardPage", "PreviousRecord", "NextRecord",
                               "ForwardPage", "LastRecord", "Query", "ExecuteQuery"}) {
        krl::trap::ignoring(
            [&] { krl::require(global().toolbarButtons(), "Buttons").setEnabled(button, false); });
    }
    if (!ChiamataInGestione()) {
        unload();
        return;
    }
    krl::trap::runIgnoring({
        [this] { SB_ZOVRENA_->initialise(programInterface_, false); },
        [this] {
            for (const pages::PageDeclaration& declared : pages::pageList()) {
                if (declared.startsDisabled) {
                    SB_ZOVRENA_->setItemEnabled(declared.group, declared.item, false);
                }
            }
        },
        [this] { krl::require(programInterface_->activeNavigator(), "Navigator").refresh(); },
        [this] { traceToHost("tsOpen"); },
        [this] { GetWmsEnabed(); },
    });
    activated_ = true;
}

void FRMPD_ZOVRENA::synchroniseNavigator() {
    kh::Cinterface& program = krl::require(programInterface_, "Cinterface");
    global().setCurrentProgram(programInterface_);
    kh::Navigator& navigator = krl::require(program.activeNavigator(), "Navigator");
    if (auto frame = program.activeFrame()) {
        navigator.setFrameStatus(static_cast<std::int16_t>(frame->status()));
    }
    navigator.refresh();
}

void FRMPD_ZOVRENA::traceToHost(std::string_view what) {
    auto navigator = krl::require(programInterface_, "Cinterface").activeNavigator();
    auto trace = navigator ? navigator->traceObject() : nullptr;
    if (!trace) {
        return;
    }
    if (what == "tsOpen") {
        trace->record(std::string(className), kh::TraceObject::Open);
    } else if (what == "tsClose") {
        trace->record(std::string(className), kh::TraceObject::Close);
    }
}

std::string FRMPD_ZOVRENA::wmsQuery(const krl::Variant& companyCode) {
    return "SELECT WM00_FLGWMSATTIVO FROM WM00_CONFIG WITH (NOLOCK) WHERE WM00_DITTA_CG18 = " +
           companyCode.textOrEmpty();
}

bool FRMPD_ZOVRENA::GetWmsEnabed() {
    wmsEnabled_ = false;
    krl::trap::ignoring([this] {
        std::shared_ptr<krl::ado::Recordset> rows =
            krl::require(connection_, "Connection")
                .execute(wmsQuery(companyCode_), nullptr, krl::ado::adCmdText);
        if (rows && rows->state() == krl::ado::adStateOpen && !rows->eof()) {
            wmsEnabled_ = krl::numericValue(rows->fields()["WM00_FLGWMSATTIVO"].value()) == 1;
        }
        if (rows && rows->state() == krl::ado::adStateOpen) {
            rows->close();
        }
    });
    return wmsEnabled_;
}

}  // namespace duza_zovrena::window
