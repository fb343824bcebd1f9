#include "duza_zovrena/pages/parameter_page.h"

#include <algorithm>
#include <atomic>

#include "duza_zovrena/data/effective_values.h"
#include "duza_zovrena/pages/code_field.h"
#include "krl/ado/ado.h"
#include "krl/controls/edit_id.h"
#include "krl/frame/virtual_frame.h"
#include "krl/host/cinterface.h"
#include "krl/host/error_log.h"
#include "krl/host/global.h"
#include "krl/host/lookup_decode.h"
#include "krl/host/multilingua.h"
#include "krl/host/navigator.h"
#include "krl/host/progid.h"
#include "krl/variant/error.h"

namespace duza_zovrena::pages {

namespace kc = krl::controls;
namespace kh = krl::host;
using krl::Variant;

namespace {

long defaultMessage(InitializeStep step) {
    switch (step) {
        case InitializeStep::ActiveInterface:
            return msg::NoActiveInterface;
        case InitializeStep::VirtualFrame:
            return msg::NoVirtualFrame;
        case InitializeStep::Recordset:
            return msg::NoRecord;
        case InitializeStep::Connection:
            return msg::NoConnection;
        case InitializeStep::ClsDecodeProduzione:
        case InitializeStep::ClsDecodeListiniParametrici:
            return msg::NoDecode;
        case InitializeStep::ClsLookupProduzione:
        case InitializeStep::ClsLookupListiniParametrici:
            return msg::NoLookup;
        default:
            return 0;
    }
}

// A window handle of the page's own, for Component_Parent before the host stores one.
std::int32_t nextWindowHandle() {
    static std::atomic<std::int32_t> next{0x10000};
    return next.fetch_add(4);
}

}  // namespace

bool RuleCondition::holds(std::string_view value) const {
    const double number = krl::numericValue(Variant(std::string(value)));
    switch (test) {
        case Test::TextIsNot:
            return value != text;
        case Test::AtLeast:
            return number >= this->number;
        case Test::Equals:
            return number == this->number;
        case Test::Above:
            return number > this->number;
    }
    return false;
}

std::vector<InitializeCheck> initializeSteps(std::initializer_list<InitializeStep> steps) {
    std::vector<InitializeCheck> checks;
    for (InitializeStep step : steps) {
        checks.push_back({step, defaultMessage(step)});
    }
    return checks;
}

std::vector<InitializeCheck> usualInitialize(const PageDeclaration& page) {
    using Step = InitializeStep;
    std::vector<Step> steps = {Step::ActiveInterface};
    if (page.hasVirtualFrame()) {
        steps.insert(steps.end(), {Step::VirtualFrame, Step::Recordset});
    }
    if (page.members.connection) {
        steps.push_back(Step::Connection);
    }
    if (page.members.decodeLookup) {
        steps.insert(steps.end(), {Step::ClsDecodeProduzione, Step::ClsLookupProduzione});
    }
    if (page.members.priceListObjects) {
        steps.insert(steps.end(),
                     {Step::ClsDecodeListiniParametrici, Step::ClsLookupListiniParametrici});
    }
    if (!page.valueLists.empty()) {
        steps.push_back(Step::FillCombos);
    }
    steps.insert(steps.end(), {Step::AddVirtualFrameControl, Step::InitializeScriptObjectModel});
    std::vector<InitializeCheck> checks;
    checks.reserve(steps.size());
    for (Step step : steps) {
        checks.push_back({step, defaultMessage(step)});
    }
    return checks;
}

std::vector<InitializeCheck> initializeOf(const PageDeclaration& page) {
    return page.initialize.empty() ? usualInitialize(page) : page.initialize;
}

ParameterPage::ParameterPage(PageDeclaration declaration) : declaration_(std::move(declaration)) {
    trace_.emplace(declaration_.className);
    record_ = declaration_.record == PageRecord::Document ? data::Record::Document
                                                          : data::Record::General;
    errorLog_ = std::make_shared<kh::ErrorLog>();
    ownWindowHandle_ = nextWindowHandle();
    controlsCollection_ = std::make_shared<PageControls>(*this);
    resize_ = create<kc::ResizeForm>(nullptr, "KRL_RESIZEFORM1");
    resize_->QueryResize.connect([](bool& allow) { allow = true; });
    resize_->RegisterControls.connect([this] { registerFrames(); });
    buildFrames();
    buildControls();
    buildGrids();
    for (const CodeFieldDef& field : declaration_.codeFields) {
        addCodeField(field);
    }
    for (const PatternRule& rule : declaration_.patternRules) {
        addPatternRule(rule);
    }
    if (declaration_.rules) {
        declaration_.rules(*this);
    }
}

ParameterPage::~ParameterPage() {
    trace_.reset();
    ParameterPage::Terminate();
}

// --- members the window sets -----------------------------------------------------------------

void ParameterPage::setActiveInterface(std::shared_ptr<kh::Cinterface> value) {
    activeInterface_ = std::move(value);
}

std::shared_ptr<kh::Cinterface> ParameterPage::activeInterface() const {
    return activeInterface_;
}

void ParameterPage::setVirtualFrame(std::shared_ptr<krl::frame::VirtualFrame> value) {
    if (!declaration_.hasVirtualFrame()) {
        raiseNotSupported("VirtualFrame");
    }
    virtualFrame_ = std::move(value);
}

std::shared_ptr<krl::frame::VirtualFrame> ParameterPage::virtualFrame() const {
    return virtualFrame_;
}

void ParameterPage::setRecordset(std::shared_ptr<krl::ado::Recordset> value) {
    if (!declaration_.hasVirtualFrame()) {
        raiseNotSupported("Recordset");
    }
    recordset_ = std::move(value);
}

std::shared_ptr<krl::ado::Recordset> ParameterPage::recordset() const {
    return recordset_;
}

void ParameterPage::setConnection(std::shared_ptr<krl::ado::Connection> value) {
    if (!declaration_.members.connection) {
        raiseNotSupported("Connection");
    }
    connection_ = std::move(value);
}

void ParameterPage::setClsDecodeProduzione(std::shared_ptr<kh::ClsDecodeProduzione> value) {
    if (!declaration_.members.decodeLookup) {
        raiseNotSupported("ClsDecodeProduzione");
    }
    decode_ = std::move(value);
}

void ParameterPage::setClsLookupProduzione(std::shared_ptr<kh::ClsLookupProduzione> value) {
    if (!declaration_.members.decodeLookup) {
        raiseNotSupported("ClsLookupProduzione");
    }
    lookup_ = std::move(value);
}

void ParameterPage::setClsDecodeListiniParametrici(
    std::shared_ptr<kh::ClsDecodeListiniParametrici> value) {
    if (!declaration_.members.priceListObjects) {
        raiseNotSupported("ClsDecodeListiniParametrici");
    }
    decodeListini_ = std::move(value);
}

void ParameterPage::setClsLookupListiniParametrici(
    std::shared_ptr<kh::ClsLookupListiniParametrici> value) {
    if (!declaration_.members.priceListObjects) {
        raiseNotSupported("ClsLookupListiniParametrici");
    }
    lookupListini_ = std::move(value);
}

// --- Initialize and Terminate ----------------------------------------------------------------

bool ParameterPage::recordsetUsable() const {
    return recordset_ && recordset_->state() == krl::ado::adStateOpen &&
           recordset_->recordCount() != 0 && !recordset_->bof() && !recordset_->eof();
}

bool ParameterPage::check(const InitializeCheck& step) {
    bool ok = false;
    switch (step.step) {
        case InitializeStep::ActiveInterface:
            ok = activeInterface_ != nullptr;
            break;
        case InitializeStep::VirtualFrame:
            ok = virtualFrame_ != nullptr;
            break;
        case InitializeStep::Recordset:
            ok = recordsetUsable();
            break;
        case InitializeStep::Connection:
            ok = connection_ && connection_->state() == krl::ado::adStateOpen;
            break;
        case InitializeStep::ClsDecodeProduzione:
            ok = decode_ != nullptr;
            break;
        case InitializeStep::ClsLookupProduzione:
            ok = lookup_ != nullptr;
            break;
        case InitializeStep::ClsDecodeListiniParametrici:
            ok = decodeListini_ != nullptr;
            break;
        case InitializeStep::ClsLookupListiniParametrici:
            ok = lookupListini_ != nullptr;
            break;
        case InitializeStep::FillCombos:
            return FillCombos();
        case InitializeStep::InitializeEditId:
            return InitializeEditId();
        case InitializeStep::AddVirtualFrameControl:
            return AddVirtualFrameControl();
        case InitializeStep::InitializeScriptObjectModel:
            return InitializeScriptObjectModel();
    }
    if (!ok) {
        ShowMessage(step.messageId, kh::vbExclamation, title());
    }
    return ok;
}

bool ParameterPage::Initialize() {
    bool result = false;
    std::vector<krl::trap::Step> steps;
    for (const InitializeCheck& step : initializeOf(declaration_)) {
        steps.emplace_back([this, step] {
            if (!check(step)) {
                krl::trap::exitRoutine();
            }
        });
    }
    steps.emplace_back([this, &result] {
        resize_->setActive(true);
        resize_->start();
        result = true;
    });
    krl::trap::run("Initialize", steps, errorRoutine());
    return result;
}

bool ParameterPage::registered(const kc::Control& control) const {
    const auto& types = declaration_.registeredTypes;
    const auto& left = declaration_.notRegistered;
    return std::find(types.begin(), types.end(), control.typeName()) != types.end() &&
           std::find(left.begin(), left.end(), control.name()) == left.end();
}

void ParameterPage::Terminate() {
    const auto& types = declaration_.registeredTypes;
    krl::trap::runIgnoring({
        [this] { resize_->cleanUp(); },
        [this] {
            if (virtualFrame_) {
                virtualFrame_->removeControlsOf(*this);
            }
        },
        [this] { activeInterface_.reset(); },
        [this] { errorLog_.reset(); },
        [this] { virtualFrame_.reset(); },
        [this] { recordset_.reset(); },
        [this] {
            if (decode_) {
                decode_->release();
            }
        },
        [this] {
            decode_.reset();
            lookup_.reset();
            decodeListini_.reset();
            lookupListini_.reset();
            connection_.reset();
        },
        [this, &types] {
            for (const kc::ControlPtr& control : controls()) {
                if (std::find(types.begin(), types.end(), control->typeName()) != types.end()) {
                    control->terminate();
                }
            }
        },
        [this] {
            fallbackMessages_.reset();
            texts_.releaseFallback();
        },
        [this] { componentForm_.reset(); },
    });
}

// --- combos, data frame, host models ---------------------------------------------------------

bool ParameterPage::FillCombos() {
    std::vector<krl::trap::Step> steps;
    for (const ComboRows& combo : declaration_.valueLists) {
        steps.emplace_back([this, &combo] {
            auto list = control<kc::Combo>(combo.combo);
            list->clear();
            for (const auto& [label, value] : combo.rows) {
                list->addRow(std::string(label), value);
            }
            list->setAllowEmpty(false);
        });
    }
    return krl::trap::run("FillCombos", steps, errorRoutine());
}

bool ParameterPage::AddVirtualFrameControl() {
    std::vector<krl::trap::Step> steps;
    for (const kc::ControlPtr& control : controls()) {
        if (registered(*control)) {
            steps.emplace_back([this, control] {
                krl::require(virtualFrame_, "VirtualFrame").add(control, nullptr);
            });
        }
    }
    return krl::trap::run("AddVirtualFrameControl", steps, errorRoutine());
}

bool ParameterPage::InitializeEditId() {
    std::vector<krl::trap::Step> steps;
    for (const ControlDef& def : declaration_.controls) {
        if (auto edit = std::dynamic_pointer_cast<kc::EditId>(findShared(def.name))) {
            steps.emplace_back([this, edit] { edit->setCompany(companyCode().toInt32()); });
            steps.emplace_back([this, edit] { edit->setProgramInterface(activeInterface_); });
        }
    }
    return krl::trap::run("InitializeEditId", steps, errorRoutine());
}

bool ParameterPage::InitializeScriptObjectModel() {
    bool result = false;
    std::shared_ptr<kh::ScriptModel> script;
    krl::trap::run(
        "InitializeScriptObjectModel",
        {
            [&] {
                kh::Navigator& navigator = krl::require(
                    krl::require(activeInterface_, "ActiveInterface").activeNavigator(),
                    "ActiveNavigator");
                script = navigator.scriptModel();
                krl::require(script, "ScriptModel");
            },
            [&] {
                krl::ObjectPtr extender = weak_from_this().lock();
                script->registerObject(Name(), extender,
                                       Variant(krl::ObjectPtr(controlsCollection_)),
                                       activeInterface_->caption().textOrEmpty());
            },
            [&] {
                std::string name = krl::require(virtualFrame_, "VirtualFrame").name();
                krl::ObjectPtr frame = virtualFrame_;
                script->registerObject(name, frame,
                                       Variant(std::int32_t{kh::ScriptModel::KindFrame}), name);
                virtualFrame_ = std::dynamic_pointer_cast<krl::frame::VirtualFrame>(frame);
            },
            [&] {
                script.reset();
                result = true;
            },
        },
        errorRoutine());
    return result;
}

void ParameterPage::InitializeLayoutObjectModel() {
    if (!declaration_.layoutModel) {
        return;
    }
    krl::trap::ignoring([this] {
        kh::Navigator& navigator = krl::require(
            krl::require(activeInterface_, "ActiveInterface").activeNavigator(), "ActiveNavigator");
        kh::LayoutModel& layout = krl::require(navigator.layoutModel(), "LayoutModel");
        layout.registerPage(title(), weak_from_this().lock(), controlsCollection_);
        layout.apply();
    });
}

void ParameterPage::SetFocus(std::string_view focusedControlName) {
    krl::trap::ignoring([&] {
        std::string_view name =
            focusedControlName.empty() ? declaration_.firstControl : focusedControlName;
        if (!name.empty()) {
            moveFocus(name);
        }
    });
}

// --- resize control and Component ------------------------------------------------------------

void ParameterPage::setVisible(bool value) {
    Page::setVisible(value);
    krl::trap::ignoring([&] {
        resize_->setShown(value);
        if (value) {
            resize_->setPositionProperties({"Top", "Left", "Width", "Height"});
        }
    });
}

void ParameterPage::Resize() {
    krl::trap::ignoring([this] { resize_->resize(); });
}

void ParameterPage::registerFrames() {
    for (const auto& registration : resizeModes_) {
        const auto& name = registration.first;
        const int mode = registration.second;
        krl::trap::ignoring([&] {
            control<kc::Frame>(name)->setResizeMode(mode);
            resize_->registerControl(name, mode);
        });
    }
}

void ParameterPage::setComponentForm(krl::ObjectPtr form) {
    krl::trap::runIgnoring({
        [&] { componentForm_ = std::move(form); },
        [this] { resize_->setShown(Visible()); },
        [this] { resize_->resize(); },
    });
}

void ParameterPage::setComponentParent(std::int32_t handle) {
    componentParent_ = handle;
}

std::int32_t ParameterPage::componentParent() const {
    return componentParent_ != 0 ? componentParent_ : ownWindowHandle_;
}

bool ParameterPage::componentWebStatus() const {
    bool status = false;
    krl::trap::ignoring([&] {
        auto form = std::dynamic_pointer_cast<ComponentForm>(componentForm_);
        status = krl::require(form, "Component_Form").webStatus();
    });
    return status;
}

// --- messages and errors ---------------------------------------------------------------------

kh::CLSFW_MULTILINGUA& ParameterPage::fallbackMessages() {
    if (!fallbackMessages_) {
        fallbackMessages_ =
            kh::createObjectAs<kh::CLSFW_MULTILINGUA>(kh::CLSFW_MULTILINGUA::progId);
    }
    return *fallbackMessages_;
}

int ParameterPage::ShowMessage(long messageId, int buttons, std::string_view title,
                               const Variant& params) {
    int answer = 0;
    krl::trap::ignoring([&] {
        if (!activeInterface_) {
            kh::CLSFW_MULTILINGUA& fallback = fallbackMessages();
            answer = params.isArray() ? fallback.KRLMsgBoxFromIdConParametri(messageId, buttons,
                                                                             title, params.array())
                                      : fallback.KRLMsgBoxFromId(messageId, buttons, title);
            return;
        }
        kh::ClsGlobal& global = krl::require(activeInterface_->clsGlobal(), "ClsGlobal");
        kh::MessageService& service = krl::require(global.messageService(), "MessageService");
        answer = service.msgBoxFromId(messageId, buttons, title,
                                      params.isArray() ? params.array() : krl::VariantArray{});
    });
    return answer;
}

std::string ParameterPage::TranslateMessage(std::string_view text, long messageId,
                                            const Variant& params, int quoteForSql) {
    return texts_.translate(activeInterface_.get(), text, messageId, params, quoteForSql);
}

int ParameterPage::HandleError(std::string_view routine, const krl::VbError& error) {
    if (!errorLog_) {
        ShowMessage(msg::NoErrorLog, kh::vbOKOnly, "");
        return krl::trap::Abort;
    }
    errorLog_->setError(error);
    if (connection_) {
        errorLog_->setProviderErrors(connection_->errors());
    }
    std::string procedure = "Controllo [" + className() + "] routine " + std::string(routine);
    return errorLog_->report(ApplicationTitle, title(), procedure, kh::ErrorLog::ReportStyle);
}

krl::trap::ErrorRoutine ParameterPage::errorRoutine() {
    return [this](std::string_view routine, const krl::VbError& error) {
        return HandleError(routine, error);
    };
}

// --- document codes --------------------------------------------------------------------------

bool ParameterPage::ControlloValiditaDoc(std::string_view codDoc, int tipoDoc, int sottotipoDoc) {
    const int subtypes[] = {sottotipoDoc};
    return documentRefused("ControlloValiditaDoc", codDoc, tipoDoc, subtypes);
}

bool ParameterPage::documentRefused(std::string_view routine, std::string_view code, int type,
                                    std::span<const int> subtypes) {
    std::vector<DocumentKind> kinds;
    for (int subtype : subtypes) {
        kinds.push_back({type, subtype});
    }
    return documentRefused(routine, code, kinds);
}

bool ParameterPage::documentRefused(std::string_view routine, std::string_view code,
                                    std::span<const DocumentKind> kinds) {
    bool refused = false;
    std::string sql;
    std::shared_ptr<krl::ado::Recordset> rows;
    krl::trap::run(
        routine,
        {
            [&] {
                sql = kinds.size() > 1 ? severalSubtypesCheckSql(companyCode(), code)
                                       : controlloValiditaDocSql(companyCode(), code);
            },
            [&] {
                rows = krl::require(connection_, "Connection")
                           .execute(sql, nullptr, krl::ado::adCmdText);
            },
            [&] {
                bool accepted = false;
                if (!krl::require(rows, "Recordset").eof()) {
                    std::string found = rows->fields()["MG36_TIPODOC"].value().textOrEmpty() +
                                        rows->fields()["MG36_STIPODOC"].value().textOrEmpty();
                    for (const DocumentKind& kind : kinds) {
                        if (found == std::to_string(kind.type) + std::to_string(kind.subtype)) {
                            accepted = true;
                        }
                    }
                }
                if (!accepted) {
                    ShowMessage(msg::DocumentNotValid, kh::vbInformation, title());
                    refused = true;
                }
            },
            [&] {
                krl::require(rows, "Recordset").close();
                rows.reset();
            },
        },
        errorRoutine());
    return refused;
}

Variant ParameterPage::companyCode() const {
    kh::ClsGlobal& global =
        krl::require(krl::require(activeInterface_, "ActiveInterface").clsGlobal(), "ClsGlobal");
    return global.currentCompany();
}

std::string ParameterPage::hostConnectionString() const {
    kh::ClsGlobal& global =
        krl::require(krl::require(activeInterface_, "ActiveInterface").clsGlobal(), "ClsGlobal");
    return global.connectionString();
}

// --- building the page -----------------------------------------------------------------------

void ParameterPage::missingControl(std::string_view name) {
    krl::err::raise(krl::err::InvalidProcedureCall,
                    "Controllo non presente nella pagina: " + std::string(name));
}

void ParameterPage::buildFrames() {
    for (const FrameDef& def : declaration_.frames) {
        kc::Frame* parent = def.parent.empty() ? nullptr : control<kc::Frame>(def.parent).get();
        create<kc::Frame>(parent, std::string(def.name), std::string(def.caption));
        if (def.resizeMode != 0) {
            resizeModes_.emplace_back(std::string(def.name), def.resizeMode);
        }
    }
}

void ParameterPage::buildControls() {
    for (const ControlDef& def : declaration_.controls) {
        kc::Frame* frame = def.frame.empty() ? nullptr : control<kc::Frame>(def.frame).get();
        std::string name(def.name);
        if (def.column.empty()) {
            create<kc::Label>(frame, name, std::string(def.label));
            continue;
        }
        const data::ColumnDef* column = data::findColumn(record_, def.column);
        if (column == nullptr) {
            krl::err::raise(krl::err::InvalidProcedureCall,
                            "Colonna sconosciuta per " + name + ": " + std::string(def.column));
        }
        kc::ControlPtr made;
        switch (column->kind) {
            case data::ColumnKind::Indicator:
                made = create<kc::Combo>(frame, name);
                break;
            case data::ColumnKind::Flag:
                made = create<kc::CheckBox>(frame, name);
                break;
            case data::ColumnKind::PriorityTableId: {
                auto edit = create<kc::EditId>(frame, name);
                edit->setSource(
                    {"LP09_TESTATAPRIORITA", "LP09_ID", "LP09_CODICE", "LP09_DITTA_CG18"});
                edit->setDisplayFormat("Maiuscolo");
                made = edit;
                break;
            }
            case data::ColumnKind::CompanyKey:
            case data::ColumnKind::MediaId:
                krl::err::raise(
                    krl::err::InvalidProcedureCall,
                    "Colonna non modificabile per " + name + ": " + std::string(def.column));
            default:
                made = create<kc::EditM>(frame, name);
                break;
        }
        made->setDbField(std::string(column->name));
        made->setCaption(std::string(column->caption));
        made->setLabelText(std::string(def.label));
        made->setMaxChar(column->width);
        made->setMandatory(def.design.mandatory);
        if (def.design.defaultValue) {
            made->setDefaultValue(Variant(*def.design.defaultValue));
        }
        if (column->isText()) {
            made->setDisplayFormat("Maiuscolo");
        }
        made->setEnabled(def.design.enabled);
        if (!def.design.visible) {
            made->setVisible(false);
        }
    }
}

void ParameterPage::buildGrids() {
    for (const GridDef& def : declaration_.grids) {
        kc::Frame* frame = def.frame.empty() ? nullptr : control<kc::Frame>(def.frame).get();
        auto grid = create<kc::QGrid>(frame, std::string(def.name));
        grid->setKeyColumn(std::string(def.keyColumn));
        std::vector<kc::GridColumn> columns;
        for (const GridColumnDef& column : def.columns) {
            columns.push_back({std::string(column.field),
                               std::string(column.caption),
                               column.width,
                               column.editable,
                               {}});
            for (const GridChoiceDef& choice : column.choices) {
                columns.back().choices.push_back({Variant(choice.value), std::string(choice.text)});
            }
        }
        grid->setColumns(std::move(columns));
    }
}

void ParameterPage::IniQGrid(std::string_view name,
                             std::shared_ptr<krl::ado::Recordset> recordset) {
    auto found = std::find_if(declaration_.grids.begin(), declaration_.grids.end(),
                              [&](const GridDef& def) { return def.name == name; });
    if (found == declaration_.grids.end()) {
        missingControl(name);
    }
    auto grid = control<kc::QGrid>(name);
    std::vector<kc::GridColumn> columns;
    for (const GridColumnDef& column : found->columns) {
        columns.push_back({std::string(column.field),
                           TranslateMessage(column.caption, column.messageId),
                           column.width,
                           column.editable,
                           {}});
        for (const GridChoiceDef& choice : column.choices) {
            columns.back().choices.push_back(
                {Variant(choice.value), TranslateMessage(choice.text, choice.messageId)});
        }
    }
    grid->setColumns(std::move(columns));
    grid->setKeyColumn(std::string(found->keyColumn));
    grid->setLayoutKey(className() + "." + std::string(name));
    grid->setCaption(title());
    grid->setRecordset(std::move(recordset));
}

void ParameterPage::addCodeField(const CodeFieldDef& def) {
    auto edit = control<kc::EditM>(def.control);
    if (!def.descriptionLabel.empty()) {
        edit->setDescriptionLabel(control<kc::Label>(def.descriptionLabel));
    }
    auto field = std::make_unique<CodeField>(*this, def, edit);
    CodeField* handler = field.get();
    edit->StartDecode.connect(
        [handler](kc::DecodeRequest& request) { handler->StartDecode(request); });
    edit->StartLookup.connect(
        [handler](kc::LookupRequest& request) { handler->StartLookup(request); });
    if (codeKind(def.kind).validate != nullptr) {
        edit->Validate.connect([handler](bool& cancel) { handler->Validate(cancel); });
    }
    codeFields_.push_back(std::move(field));
}

void ParameterPage::addPatternRule(const PatternRule& rule) {
    kc::Control* source = findShared(rule.source).get();
    auto apply = [this, source, &rule] {
        if (rule.routine.empty()) {
            krl::trap::ignoring([&] { applyPatternRule(rule, *source); });
        } else {
            krl::trap::run(rule.routine, {[&] { applyPatternRule(rule, *source); }},
                           errorRoutine());
        }
    };
    if (auto* combo = dynamic_cast<kc::Combo*>(source)) {
        combo->ChangeRow.connect(apply);
    } else if (auto* box = dynamic_cast<kc::CheckBox*>(source)) {
        box->Click.connect(apply);
    } else {
        krl::err::raise(krl::err::InvalidProcedureCall,
                        "Regola su un controllo che non è una lista né una casella: " +
                            std::string(rule.source));
    }
    for (std::string_view target : rule.targets) {
        control<kc::Control>(target);  // a missing target is an error when the page is built
    }
}

// Each step with errors ignored, as the page's own handlers do; a rule with a routine of its own
// lets the error reach that routine's error handling instead.
void ParameterPage::applyPatternRule(const PatternRule& rule, const kc::Control& source) {
    auto step = [&rule](const std::function<void()>& action) {
        if (rule.routine.empty()) {
            krl::trap::ignoring(action);
        } else {
            action();
        }
    };
    const bool on = rule.on.holds(source.text());
    for (std::string_view name : rule.targets) {
        std::shared_ptr<kc::Control> target = control<kc::Control>(name);
        if (!on && (rule.emptyWhenOff || !rule.clearTo.empty())) {
            step([&] { target->setText(rule.emptyWhenOff ? "" : rule.clearTo); });
        }
        step([&] {
            switch (rule.follow) {
                case PatternRule::Follow::EnabledAndMandatory:
                    target->setMandatory(on);
                    target->setEnabled(on);
                    break;
                case PatternRule::Follow::Enabled:
                    target->setEnabled(on);
                    break;
                case PatternRule::Follow::Visible:
                    target->setVisible(on);
                    break;
            }
        });
    }
    const std::optional<RecordWrite>& write = on ? rule.whenOn : rule.whenOff;
    if (write) {
        step([&] {
            krl::require(recordset_, "Recordset")[write->column].setValue(Variant(write->value));
        });
    }
}

void ParameterPage::showEffectiveValues(
    const std::function<Variant(std::string_view column)>& general) {
    for (const ControlDef& def : declaration_.controls) {
        const std::string_view followed = data::generalColumnFollowed(def.column);
        if (followed.empty()) {
            continue;
        }
        krl::trap::ignoring([&] {
            auto combo = control<kc::Combo>(def.name);
            const auto& rows = combo->rows();
            if (rows.empty()) {
                return;
            }
            const Variant inForce = data::effectiveValue(def.column, Variant(), general).code;
            std::string text = rows.front().label;
            for (const auto& row : rows) {
                if (!inForce.isNull() && row.value == std::to_string(static_cast<long long>(
                                                          krl::numericValue(inForce)))) {
                    text += " (ora: " + row.label + ")";
                }
            }
            combo->setEffectiveText(text);
        });
    }
}

void ParameterPage::switchItem(std::string_view group, std::string_view item, bool enabled) const {
    if (itemSwitch_) {
        itemSwitch_(group, item, enabled);
    }
}

// --- rules -----------------------------------------------------------------------------------

void ParameterPage::onChangeRow(std::string_view combo, std::function<void(kc::Combo&)> rule) {
    kc::Combo* source = control<kc::Combo>(combo).get();
    source->ChangeRow.connect(
        [source, rule = std::move(rule)] { krl::trap::ignoring([&] { rule(*source); }); });
}

void ParameterPage::onClick(std::string_view checkBox, std::function<void(kc::CheckBox&)> rule) {
    kc::CheckBox* source = control<kc::CheckBox>(checkBox).get();
    source->Click.connect(
        [source, rule = std::move(rule)] { krl::trap::ignoring([&] { rule(*source); }); });
}

void ParameterPage::onValidate(std::string_view edit,
                               std::function<void(kc::EditM&, bool& cancel)> rule) {
    kc::EditM* source = control<kc::EditM>(edit).get();
    source->Validate.connect([source, rule = std::move(rule)](bool& cancel) {
        krl::trap::ignoring([&] { rule(*source, cancel); });
    });
}

}  // namespace duza_zovrena::pages
