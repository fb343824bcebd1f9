#include "duza_zovrena/window/frmpd_zovrena.h"

#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/host/clspd_zovrena.h"
#include "duza_zovrena/pages/page.h"
#include "duza_zovrena/pages/page_list.h"
#include "krl/ado/ado.h"
#include "krl/controls/edit.h"
#include "krl/controls/frame.h"
#include "krl/controls/grid_nav.h"
#include "krl/controls/resize_form.h"
#include "krl/controls/side_bar.h"
#include "krl/frame/virtual_frame.h"
#include "krl/host/cinterface.h"
#include "krl/host/error_log.h"
#include "krl/host/formatters.h"
#include "krl/host/global.h"
#include "krl/host/message_service.h"
#include "krl/trap/trap.h"

namespace duza_zovrena::window {

namespace kh = krl::host;
namespace kc = krl::controls;

namespace {

// The program's title, as the error log object names the application.
constexpr std::string_view kApplicationTitle = "DUZA_ZOVRENA";

}  // namespace

std::shared_ptr<FRMPD_ZOVRENA> FRMPD_ZOVRENA::create() {
    std::shared_ptr<FRMPD_ZOVRENA> window(new FRMPD_ZOVRENA());
    window->buildControls();
    return window;
}

FRMPD_ZOVRENA::FRMPD_ZOVRENA() : krl::controls::ControlContainer(std::string(className)) {}

FRMPD_ZOVRENA::~FRMPD_ZOVRENA() = default;

krl::host::ClsGlobal& FRMPD_ZOVRENA::global() const {
    return krl::require(krl::require(programInterface_, "Cinterface").clsGlobal(), "ClsGlobal");
}

std::shared_ptr<pages::Page> FRMPD_ZOVRENA::page(std::string_view itemKey) const {
    auto found = pages_.find(itemKey);
    return found == pages_.end() ? nullptr : found->second;
}

std::shared_ptr<pages::Page> FRMPD_ZOVRENA::transferPage() const {
    for (const pages::PageDeclaration& declared : pages::pageList()) {
        if (declared.members.transfer) {
            return page(declared.item);
        }
    }
    return nullptr;
}

krl::controls::GridNav& FRMPD_ZOVRENA::navigatorBar(std::string_view name) const {
    if (name == "INTERNAV_PARAMETRI_DOC") {
        return *INTERNAV_PARAMETRI_DOC_;
    }
    if (name == "INTERNAV_PARAMETRI_TRP") {
        return *INTERNAV_PARAMETRI_TRP_;
    }
    return *INTERNAV_PARAMETRI_;
}

// ---- ProgramWindow ----------------------------------------------------------------------------

void FRMPD_ZOVRENA::setProgramInterface(std::shared_ptr<kh::Cinterface> programInterface) {
    programInterface_ = std::move(programInterface);
}

std::shared_ptr<kh::Cinterface> FRMPD_ZOVRENA::programInterface() const {
    return programInterface_;
}

// The window's own properties load it the first time they are touched, as a form does.
void FRMPD_ZOVRENA::ensureLoaded() {
    if (!loaded_ && !loading_ && !unloaded_) {
        loading_ = true;
        Form_Load();
        loading_ = false;
        loaded_ = true;
    }
}

void FRMPD_ZOVRENA::setWindowState(std::int16_t windowState) {
    ensureLoaded();
    windowState_ = windowState;
}

void FRMPD_ZOVRENA::setProgramObject(std::shared_ptr<host::CLSPD_ZOVRENA> programObject) {
    programObject_ = programObject;
}

void FRMPD_ZOVRENA::setCaption(std::string caption) {
    ensureLoaded();
    caption_ = std::move(caption);
    // The data frames title their questions with the window caption.
    for (const auto& frame : {FME_PARAMETRI_, FME_PARAMETRI_DOC_}) {
        if (frame) {
            frame->setCaption(caption_);
        }
    }
}

std::string FRMPD_ZOVRENA::caption() const {
    return caption_;
}

void FRMPD_ZOVRENA::show(bool modal) {
    ensureLoaded();
    if (unloaded_) {
        return;
    }
    modal_ = modal;
    shown_ = true;
    Form_Activate();
}

void FRMPD_ZOVRENA::activate() {
    if (shown_ && !unloaded_) {
        Form_Activate();
    }
}

void FRMPD_ZOVRENA::setIcon(std::string_view pictureKey) {
    iconKey_ = std::string(pictureKey);
}

void FRMPD_ZOVRENA::InitializeLayoutObjectModel() {
    if (auto shownPage = currentPage()) {
        shownPage->InitializeLayoutObjectModel();
    }
}

bool FRMPD_ZOVRENA::unload() {
    if (unloaded_) {
        return true;
    }
    if (unloading_ || !Form_QueryUnload()) {
        return false;
    }
    Form_Unload();
    return !programInterface_;
}

// ---- Messages and errors ----------------------------------------------------------------------

int FRMPD_ZOVRENA::ShowMessage(std::string_view text, long messageId, int buttons,
                               std::string_view title, const krl::Variant& params) {
    return messages_.show(programInterface_.get(), text, messageId, buttons, title, params);
}

std::string FRMPD_ZOVRENA::TranslateMessage(std::string_view text, long messageId,
                                            const krl::Variant& params, int quoteForSql) {
    return messages_.translate(programInterface_.get(), text, messageId, params, quoteForSql);
}

int FRMPD_ZOVRENA::HandleError(std::string_view procedure, const krl::VbError& error) {
    if (!errorLog_) {
        ShowMessage("Classe Log non settata", 11081, kh::vbOKOnly, caption_);
        return krl::trap::Abort;
    }
    errorLog_->clear();
    errorLog_->setError(error);
    if (connection_) {
        errorLog_->setProviderErrors(connection_->errors());
    }
    return errorLog_->report(kApplicationTitle, caption_, procedure, kh::ErrorLog::ReportStyle);
}

krl::trap::ErrorRoutine FRMPD_ZOVRENA::onError() {
    return [this](std::string_view routine, const krl::VbError& error) {
        return HandleError(routine, error);
    };
}

int FRMPD_ZOVRENA::errorRoutine(std::string_view routine, const krl::VbError& error) {
    return HandleError(routine, error);
}

// ---- SQL literals -----------------------------------------------------------------------------

krl::Variant FRMPD_ZOVRENA::FormatSqlValue(const krl::Variant& value, int kind, bool nullable) {
    constexpr int kText = 0;
    constexpr int kInteger = 1;
    constexpr int kDecimal = 2;
    constexpr int kDate = 3;
    // Reports why a value cannot become a literal: the caller gets Empty, its query fails, and the
    // person learns the reason here rather than from the database's message.
    auto refuse = [&](std::string_view text, long messageId) {
        lastFormatFailure_ = TranslateMessage(text, messageId);
        HandleError("FormatSqlValue", krl::VbError(krl::err::InvalidUseOfNull, lastFormatFailure_));
        return krl::Variant();
    };
    bool blank = value.isNull() || value.isEmpty() ||
                 (!value.isArray() && !value.isObject() && krl::rtrim(value.toText()).empty());
    if (blank) {
        if (nullable) {
            return krl::Variant("NULL");
        }
        switch (kind) {
            case kText:
                return krl::Variant("''");
            case kInteger:
            case kDecimal:
                return refuse(
                    "Si sta tentando di assegnare il valore (numerico) NULL a un campo che non "
                    "ammette NULL.",
                    52518);
            case kDate:
                return refuse(
                    "Si sta tentando di assegnare il valore (data) NULL a un campo che non ammette "
                    "NULL.",
                    52517);
            default:
                return krl::Variant();
        }
    }
    switch (kind) {
        case kText:
            return krl::Variant("'" + krl::doubleQuotes(value.toText()) + "'");
        case kInteger:
            return krl::Variant(krl::numberText(value.toDouble()));
        case kDecimal:
            return krl::Variant(krl::require(numberFormatter_, "NumberFormatter").sqlText(value));
        case kDate: {
            kh::DateFormatter& dates = krl::require(dateFormatter_, "DateFormatter");
            if (dates.setText(value.toText()) == kh::DateFormatter::Valid) {
                return krl::Variant("'" + dates.dbFormat() + "'");
            }
            return refuse(
                "Errore nella conversione della data (FWBO_ClsStd.CLSFW_Date, metodo DBFormat)",
                25382);
        }
        default:
            return krl::Variant();
    }
}

// ---- New general row --------------------------------------------------------------------------

void FRMPD_ZOVRENA::InizializzaCampi() {
    std::vector<krl::trap::Step> writes;
    for (const data::ColumnDef* column : data::newRowColumns(data::Record::General)) {
        writes.emplace_back([this, column] {
            krl::require(rsGeneral_, "Recordset")[column->name].setValue(
                data::newRowVariant(*column, companyCode_));
        });
    }
    krl::trap::run("InizializzaCampi", writes, onError());
}

// ---- Save-rule context ------------------------------------------------------------------------

krl::ado::Recordset& FRMPD_ZOVRENA::generalRecordset() {
    return krl::require(rsGeneral_, "Recordset");
}

int FRMPD_ZOVRENA::showMessage(const std::string& text, long messageId, int buttons) {
    return ShowMessage(text, messageId, buttons, caption_);
}

void FRMPD_ZOVRENA::selectSideBarItem(std::string_view group, std::string_view item) {
    SB_ZOVRENA_->select(group, item);
}

void FRMPD_ZOVRENA::setFocus(std::string_view pageClass, std::string_view controlName) {
    if (const pages::PageDeclaration* declared = pages::findPageByClass(pageClass)) {
        if (auto target = page(declared->item)) {
            target->SetFocus(controlName);
        }
    }
}

data::CompanyOptions FRMPD_ZOVRENA::companyOptions() {
    const auto [optionA, optionB] = global().companyOptions();
    return {optionA, optionB};
}

// ---- Controls ---------------------------------------------------------------------------------

void FRMPD_ZOVRENA::buildControls() {
    SB_ZOVRENA_ = ControlContainer::create<kc::SideBar>(nullptr, "SB_ZOVRENA");
    std::string_view lastGroup;
    for (const auto& page : pages::pageList()) {
        if (page.group != lastGroup) {
            SB_ZOVRENA_->addGroup(std::string(page.group), std::string(page.groupCaption));
            lastGroup = page.group;
        }
        SB_ZOVRENA_->addItem(page.group, std::string(page.item), std::string(page.itemCaption));
    }
    SB_ZOVRENA_->OnClickItemLink.connect(
        [this](const kc::SideBar::Item& item) { SB_ZOVRENA_OnClickItemLink(item.key); });

    FRAME_CLIENTAREA_ = ControlContainer::create<kc::Frame>(nullptr, "FRAME_CLIENTAREA");
    LBL_CODDOC_ = ControlContainer::create<kc::Label>(FRAME_CLIENTAREA_.get(), "LBL_CODDOC");
    LBL_CODDOC_->setCaption("Codice documento");
    TXT_CODDOC_ = ControlContainer::create<kc::EditM>(FRAME_CLIENTAREA_.get(), "TXT_CODDOC");
    TXT_CODDOC_->setCaption("Codice documento");
    TXT_CODDOC_->setLabelText("Codice documento");
    TXT_CODDOC_->setDisplayFormat("Maiuscolo");
    TXT_CODDOC_->setMaxChar(14);
    TXT_CODDOC_->setMandatory(true);
    LBL_DESDOC_ = ControlContainer::create<kc::Label>(FRAME_CLIENTAREA_.get(), "LBL_DESDOC");
    TXT_CODDOC_->setDescriptionLabel(LBL_DESDOC_);
    connectDocumentCode();
    for (const auto& control : {std::static_pointer_cast<kc::Control>(FRAME_CLIENTAREA_),
                                std::static_pointer_cast<kc::Control>(LBL_CODDOC_),
                                std::static_pointer_cast<kc::Control>(TXT_CODDOC_),
                                std::static_pointer_cast<kc::Control>(LBL_DESDOC_)}) {
        control->setVisible(false);
    }

    INTERNAV_PARAMETRI_ = ControlContainer::create<kc::GridNav>(nullptr, "INTERNAV_PARAMETRI");
    INTERNAV_PARAMETRI_DOC_ =
        ControlContainer::create<kc::GridNav>(nullptr, "INTERNAV_PARAMETRI_DOC");
    INTERNAV_PARAMETRI_TRP_ =
        ControlContainer::create<kc::GridNav>(nullptr, "INTERNAV_PARAMETRI_TRP");
    INTERNAV_PARAMETRI_DOC_->setVisible(false);
    INTERNAV_PARAMETRI_TRP_->setVisible(false);
    // The transfer bar carries only the transfer page's three commands.
    for (const auto& button : INTERNAV_PARAMETRI_TRP_->buttons()) {
        INTERNAV_PARAMETRI_TRP_->setButtonVisible(button.key, false);
    }
    INTERNAV_PARAMETRI_TRP_->addButton("annulla", "Annulla", {}, {});
    INTERNAV_PARAMETRI_TRP_->addButton("conferma", "Conferma", {}, {});
    INTERNAV_PARAMETRI_TRP_->addButton("elimina", "Elimina", {}, {});
    INTERNAV_PARAMETRI_TRP_->setButtonVisible("elimina", true);
    INTERNAV_PARAMETRI_->ButtonClick.connect([this](bool& cancel, const std::string& button) {
        INTERNAV_PARAMETRI_ButtonClick(cancel, button);
    });
    INTERNAV_PARAMETRI_TRP_->ButtonClick.connect([this](bool& cancel, const std::string& button) {
        INTERNAV_PARAMETRI_TRP_ButtonClick(cancel, button);
    });

    KRL_RESIZEFORM1_ = ControlContainer::create<kc::ResizeForm>(nullptr, "KRL_RESIZEFORM1");
    KRL_RESIZEFORM1_->RegisterControls.connect([this] { KRL_RESIZEFORM1_RegisterControls(); });
    KRL_RESIZEFORM1_->QueryResize.connect([](bool& allow) { allow = true; });
    MDIActiveX1_ = ControlContainer::create<kc::MdiChildContainer>(nullptr, "MDIActiveX1");
    MDIActiveX1_->Load.connect([this] { MDIActiveX1_Load(); });
}

void FRMPD_ZOVRENA::KRL_RESIZEFORM1_RegisterControls() {
    KRL_RESIZEFORM1_->registerControl("SB_ZOVRENA", 11);
    KRL_RESIZEFORM1_->registerControl("FRAME_CLIENTAREA", 7);
    KRL_RESIZEFORM1_->registerControl("INTERNAV_PARAMETRI", 12);
    KRL_RESIZEFORM1_->registerControl("INTERNAV_PARAMETRI_DOC", 12);
    KRL_RESIZEFORM1_->registerControl("INTERNAV_PARAMETRI_TRP", 12);
}

void FRMPD_ZOVRENA::MDIActiveX1_Load() {
    krl::trap::runIgnoring({
        [this] { MDIActiveX1_->initialise(0, 0, 13710, 9810); },
        [this] {
            MDIActiveX1_->setWindowState(
                krl::require(programInterface_, "Cinterface").windowState());
        },
    });
}

void installWindowFactory() {
    host::setWindowFactory([] { return FRMPD_ZOVRENA::create(); });
}

}  // namespace duza_zovrena::window
