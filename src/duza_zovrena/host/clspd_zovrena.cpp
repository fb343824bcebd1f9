#include "duza_zovrena/host/clspd_zovrena.h"

#include <utility>

#include "krl/ado/ado.h"
#include "krl/host/frame_access.h"
#include "krl/host/global.h"
#include "krl/host/menu_entry.h"
#include "krl/trap/trap.h"

namespace duza_zovrena::host {

using krl::Variant;
using krl::trap::ignoring;
namespace kh = krl::host;

namespace {

constexpr long ButtonMultimedia = kh::Navigator::ButtonMultimedia;
constexpr int StatusViewing = 0;
constexpr int StatusInserting = 2;
constexpr const char* MediaColumn = "PD42_IDMEDIA_CG99";

}  // namespace

std::shared_ptr<CLSPD_ZOVRENA> CLSPD_ZOVRENA::create(WindowFactory windowFactory) {
    return std::shared_ptr<CLSPD_ZOVRENA>(new CLSPD_ZOVRENA(std::move(windowFactory)));
}

CLSPD_ZOVRENA::CLSPD_ZOVRENA(WindowFactory windowFactory)
    : windowFactory_(std::move(windowFactory)) {
    krl::diag::outputDebugString(krl::diag::traceLine(instanceId_.get(), "INI", className));
    // ActiveDll starts as the object itself (activeDllIsSelf_).
}

CLSPD_ZOVRENA::~CLSPD_ZOVRENA() {
    krl::diag::outputDebugString(krl::diag::traceLine(instanceId_.get(), "TER", className));
    krl::trap::runIgnoring({
        [&] { cwindow_.reset(); },
        [&] { menuEntry_.reset(); },
        [&] {
            activeDllIsSelf_ = false;
            activeDll_.reset();
        },
        [&] { clsGlobal_.reset(); },
        [&] {
            if (navigator_) {
                navigator_->disconnect(this);
            }
            navigator_.reset();
        },
        [&] { window_.reset(); },
        [&] { connection_.reset(); },
        [&] {
            if (multimedia_) {
                multimedia_->disconnect(this);
            }
            multimedia_.reset();
        },
        [&] { messages_.releaseFallback(); },
    });
}

// ---- Cinterface: stored values

void CLSPD_ZOVRENA::setClsGlobal(std::shared_ptr<kh::ClsGlobal> value) {
    clsGlobal_ = std::move(value);
}
std::shared_ptr<kh::ClsGlobal> CLSPD_ZOVRENA::clsGlobal() {
    return clsGlobal_;
}

void CLSPD_ZOVRENA::setActiveFrame(std::shared_ptr<kh::FrameAccess> value) {
    activeFrame_ = std::move(value);
}
std::shared_ptr<kh::FrameAccess> CLSPD_ZOVRENA::activeFrame() {
    return activeFrame_;
}

void CLSPD_ZOVRENA::setActiveNavigator(std::shared_ptr<kh::Navigator> value) {
    ignoring([&] {
        if (navigator_) {
            navigator_->disconnect(this);
        }
    });
    navigator_ = std::move(value);
    ignoring([&] {
        if (navigator_) {
            navigator_->connect(std::static_pointer_cast<kh::NavigatorEvents>(shared_from_this()));
        }
    });
}
std::shared_ptr<kh::Navigator> CLSPD_ZOVRENA::activeNavigator() {
    return navigator_;
}

void CLSPD_ZOVRENA::setActiveDll(std::shared_ptr<kh::Cinterface> value) {
    activeDllIsSelf_ = value.get() == this;
    activeDll_ = activeDllIsSelf_ ? nullptr : std::move(value);
}

std::shared_ptr<kh::Cinterface> CLSPD_ZOVRENA::activeDll() {
    if (activeDllIsSelf_) {
        std::shared_ptr<kh::Cinterface> self;
        ignoring([&] { self = shared_from_this(); });
        return self;
    }
    return activeDll_;
}

void CLSPD_ZOVRENA::setStatusBar(krl::ObjectPtr value) {
    statusBar_ = std::move(value);
}
krl::ObjectPtr CLSPD_ZOVRENA::statusBar() {
    return statusBar_;
}
void CLSPD_ZOVRENA::setCanInsert(bool value) {
    canInsert_ = value;
}
bool CLSPD_ZOVRENA::canInsert() {
    return canInsert_;
}
void CLSPD_ZOVRENA::setCanDelete(bool value) {
    canDelete_ = value;
}
bool CLSPD_ZOVRENA::canDelete() {
    return canDelete_;
}
void CLSPD_ZOVRENA::setCanUpdate(bool value) {
    canUpdate_ = value;
}
bool CLSPD_ZOVRENA::canUpdate() {
    return canUpdate_;
}
void CLSPD_ZOVRENA::setCanQbe(bool value) {
    canQbe_ = value;
}
bool CLSPD_ZOVRENA::canQbe() {
    return canQbe_;
}

// A value that does not fit 16 bits fails inside the property and the previous value stays.
void CLSPD_ZOVRENA::setWindowState(std::int32_t value) {
    ignoring([&] { windowState_ = Variant(value).toInt16(); });
}
std::int32_t CLSPD_ZOVRENA::windowState() {
    return windowState_;
}

void CLSPD_ZOVRENA::setWindowModal(bool value) {
    windowModal_ = value;
}
bool CLSPD_ZOVRENA::windowModal() {
    return windowModal_;
}

void CLSPD_ZOVRENA::setProgramMode(std::int32_t value) {
    ignoring([&] { programMode_ = Variant(value).toInt16(); });
}
std::int32_t CLSPD_ZOVRENA::programMode() {
    return programMode_;
}

void CLSPD_ZOVRENA::setMenuModulo(Variant value) {
    menuModulo_ = std::move(value);
}
Variant CLSPD_ZOVRENA::menuModulo() {
    return menuModulo_;
}
void CLSPD_ZOVRENA::setMenuPadre(Variant value) {
    menuPadre_ = std::move(value);
}
Variant CLSPD_ZOVRENA::menuPadre() {
    return menuPadre_;
}
void CLSPD_ZOVRENA::setMenuProg(Variant value) {
    menuProg_ = std::move(value);
}
Variant CLSPD_ZOVRENA::menuProg() {
    return menuProg_;
}
void CLSPD_ZOVRENA::setCaption(Variant value) {
    caption_ = std::move(value);
}
Variant CLSPD_ZOVRENA::caption() {
    return caption_;
}
void CLSPD_ZOVRENA::setHwndParent(std::int32_t value) {
    hwndParent_ = value;
}
std::int32_t CLSPD_ZOVRENA::hwndParent() {
    return hwndParent_;
}

void CLSPD_ZOVRENA::setConnection(std::shared_ptr<krl::ado::Connection> value) {
    connection_ = std::move(value);
}
std::shared_ptr<krl::ado::Connection> CLSPD_ZOVRENA::connection() {
    return connection_;
}

krl::ObjectPtr CLSPD_ZOVRENA::cwindow() {
    return cwindow_;
}

Variant CLSPD_ZOVRENA::top() {
    return Variant(top_);
}
void CLSPD_ZOVRENA::setTop(Variant value) {
    ignoring([&] { top_ = value.toInt32(); });
}
Variant CLSPD_ZOVRENA::left() {
    return Variant(left_);
}
void CLSPD_ZOVRENA::setLeft(Variant value) {
    ignoring([&] { left_ = value.toInt32(); });
}

void CLSPD_ZOVRENA::setClsVoceMenu(std::shared_ptr<kh::MenuEntry> value) {
    menuEntry_ = std::move(value);
}
std::shared_ptr<kh::MenuEntry> CLSPD_ZOVRENA::clsVoceMenu() {
    return menuEntry_;
}
void CLSPD_ZOVRENA::setIsActive(bool value) {
    isActive_ = value;
}
bool CLSPD_ZOVRENA::isActive() {
    return isActive_;
}
void CLSPD_ZOVRENA::setIsCalled(bool value) {
    isCalled_ = value;
}
bool CLSPD_ZOVRENA::isCalled() {
    return isCalled_;
}

// The program keeps no filter: what the host writes is dropped.
void CLSPD_ZOVRENA::setFiltro(Variant) {}
Variant CLSPD_ZOVRENA::filtro() {
    return Variant();
}

// ---- Cinterface: operations

Variant CLSPD_ZOVRENA::showForm() {
    // The program interface goes to the window before anything else: the window state is the
    // first access to the window's own properties and starts its load, which reads the host
    // context through that interface.
    krl::trap::runIgnoring({
        [&] {
            WindowFactory factory = windowFactory_ ? windowFactory_ : windowFactory();
            if (!factory) {
                krl::err::raise(krl::err::CannotCreateObject,
                                "Impossibile creare l'oggetto ActiveX", "FRMPD_ZOVRENA");
            }
            window_ = factory();
        },
        [&] { requireWindow()->setProgramInterface(activeDll()); },
        [&] { requireWindow()->setWindowState(windowState_); },
        [&] { requireWindow()->setProgramObject(shared_from_this()); },
        [&] { requireWindow()->setCaption(caption().toText()); },
        [&] { requireWindow()->show(windowModal()); },
    });
    return Variant();
}

Variant CLSPD_ZOVRENA::closeForm() {
    bool closed = true;  // no window, nothing left open
    ignoring([&] {
        std::shared_ptr<ProgramWindow> window = requireWindow();
        closed = false;
        // Closed means the unload ran to the end: the window let go of its program interface.
        closed = window->unload() && !window->programInterface();
    });
    return Variant(closed);
}

Variant CLSPD_ZOVRENA::transferData(Variant& data) {
    std::vector<DataTransferHandler> handlers = dataTransferHandlers_;
    for (const DataTransferHandler& handler : handlers) {
        ignoring([&] { handler(data); });
    }
    return Variant();
}

void CLSPD_ZOVRENA::onDataTransfer(DataTransferHandler handler) {
    dataTransferHandlers_.push_back(std::move(handler));
}

// ---- Navigator events

// True only when the program interface answers that this program is not the active one: an
// interface that cannot be asked does not stop the handler.
bool CLSPD_ZOVRENA::inactive() {
    bool result = false;
    ignoring([&] { result = !requireActiveDll()->isActive(); });
    return result;
}

void CLSPD_ZOVRENA::BeforeChangeDitta(bool& cancel) {
    if (inactive()) {
        return;
    }
    int answer = 0;
    ignoring([&] {
        answer = ShowMessage("Il cambio azienda comporta la chiusura del programma, proseguo ?",
                             30178, kh::vbYesNo, requireWindow()->caption());
    });
    ignoring([&] {
        if (answer != kh::vbYes) {
            cancel = true;
            return;
        }
        // A window that keeps itself open (the person chose to stay on unsaved changes) stops the
        // company change as well: the window would otherwise show the old company's data.
        if (!requireWindow()->unload()) {
            cancel = true;
        }
    });
}

void CLSPD_ZOVRENA::BeforeExportToOffice(bool&, kh::ExportToOffice& exportToOffice) {
    if (inactive()) {
        return;
    }
    ignoring(
        [&] { exportToOffice.TitoloMaster = TranslateMessage("Parametri di gestione", 43112); });
}

void CLSPD_ZOVRENA::InitializeLayoutObjectModel(bool&, kh::LayoutModel&) {
    if (inactive()) {
        return;
    }
    ignoring([&] { requireWindow()->InitializeLayoutObjectModel(); });
}

void CLSPD_ZOVRENA::InitializeScriptObjectModel(bool&, kh::ScriptModel& script) {
    if (inactive()) {
        return;
    }
    ignoring([&] {
        std::shared_ptr<ProgramWindow> window = requireWindow();
        krl::ObjectPtr object = window;
        script.registerObject(window->name(), object,
                              Variant(std::int32_t{kh::ScriptModel::KindForm}),
                              "Parametri generali");
        // The window reference was passed by reference: keep what the model left in it.
        if (!object) {
            window_.reset();
        } else if (auto left = std::dynamic_pointer_cast<ProgramWindow>(object)) {
            window_ = left;
        }
    });
    std::shared_ptr<kh::FrameAccess> frame;
    ignoring([&] { frame = requireActiveDll()->activeFrame(); });
    ignoring([&] { krl::require(frame, "ActiveFrame").setName("FME_PARAMETRI"); });
    ignoring([&] {
        krl::ObjectPtr object = frame;
        std::string name = krl::require(frame, "ActiveFrame").name();
        script.registerObject(name, object, Variant(std::int32_t{kh::ScriptModel::KindFrame}),
                              name);
    });
}

void CLSPD_ZOVRENA::ButtonPressed(bool&, long buttonPress) {
    if (inactive() || buttonPress != ButtonMultimedia) {
        return;
    }
    multimediaLink();
}

void CLSPD_ZOVRENA::multimediaLink() {
    std::shared_ptr<kh::FrameAccess> frame;
    ignoring([&] { frame = requireActiveDll()->activeFrame(); });
    bool hasRecordset = false;
    ignoring([&] { hasRecordset = frame && frame->recordset() != nullptr; });
    if (!hasRecordset) {
        return;
    }
    int status = -1;
    ignoring([&] { status = frame->status(); });
    if (status == StatusInserting) {
        ShowMessage(
            "Il collegamento ai dati multimediali è possibile solamente in fase di variazione",
            30288, kh::vbInformation, "VidazIzozu");
        return;
    }
    if (status == StatusViewing) {
        ignoring([&] { frame->update(); });
    }
    ignoring([&] { multimediaManager(); });
    Variant mediaId;
    ignoring([&] { mediaId = frame->recordset()->fields()[MediaColumn].value(); });
    ignoring([&] {
        kh::ClsGlobal& global = krl::require(requireActiveDll()->clsGlobal(), "ClsGlobal");
        const kh::UserContext& user = global.userContext();
        std::int32_t owner = krl::require(global.mainInterface(), "Cinterface").hwndParent();
        krl::require(multimedia_, "CVidazIzozu")
            .open(user.userCode, user.userValue, global.connectionString(), owner, mediaId, 1, 0);
    });
}

// ---- Multimedia manager event

void CLSPD_ZOVRENA::AfterMediaCreate(bool&, const Variant& codiceMedia) {
    std::shared_ptr<krl::ado::Recordset> recordset;
    ignoring([&] {
        recordset = krl::require(requireActiveDll()->activeFrame(), "ActiveFrame").recordset();
    });
    if (!recordset) {
        return;
    }
    ignoring([&] { recordset->fields()[MediaColumn].setValue(codiceMedia); });
    ignoring([&] { recordset->updateBatch(krl::ado::adAffectCurrent); });
}

// ---- Icon, messages

void CLSPD_ZOVRENA::RefreshProgramIcon() {
    std::string pictureKey = "KProgramma";
    bool shown = ignoring([&] {
        std::shared_ptr<kh::Cinterface> dll = requireActiveDll();
        kh::FrameAccess& frame = krl::require(dll->activeFrame(), "ActiveFrame");
        krl::ado::Recordset& recordset = krl::require(frame.recordset(), "Recordset");
        std::string mediaId = recordset.fields()[MediaColumn].value().textOrEmpty();
        if (!mediaId.empty()) {
            kh::CVidazIzozu& manager = multimediaManager();
            manager.setConnection(dll->connection());
            pictureKey = manager.exists(Variant(mediaId)) ? "KProgrammaMM" : "KProgramma";
        }
        const kh::ClsGlobal& global = krl::require(dll->clsGlobal(), "ClsGlobal");
        krl::require(global.imageList(), "ImageList").picture(pictureKey);
        requireWindow()->setIcon(pictureKey);
    });
    if (!shown) {
        ignoring([&] { requireWindow()->setIcon("KProgramma"); });
    }
}

int CLSPD_ZOVRENA::ShowMessage(std::string_view text, long messageId, int buttons,
                               std::string_view title, const Variant& params) {
    return messages_.show(activeDll().get(), text, messageId, buttons, title, params);
}

std::string CLSPD_ZOVRENA::TranslateMessage(std::string_view text, long messageId,
                                            const Variant& params, int quoteForSql) {
    return messages_.translate(activeDll().get(), text, messageId, params, quoteForSql);
}

// ---- Helpers

std::shared_ptr<kh::Cinterface> CLSPD_ZOVRENA::requireActiveDll() {
    std::shared_ptr<kh::Cinterface> dll = activeDll();
    krl::require(dll, "ActiveDll");
    return dll;
}

std::shared_ptr<ProgramWindow> CLSPD_ZOVRENA::requireWindow() const {
    krl::require(window_, "FRMPD_ZOVRENA");
    return window_;
}

kh::CVidazIzozu& CLSPD_ZOVRENA::multimediaManager() {
    if (!multimedia_) {
        multimedia_ = kh::createObjectAs<kh::CVidazIzozu>(kh::CVidazIzozu::progId);
        multimedia_->connect(std::static_pointer_cast<kh::MediaEvents>(shared_from_this()));
    }
    return *multimedia_;
}

void registerProgramClass(kh::ProgIdRegistry& registry) {
    registry.add(CLSPD_ZOVRENA::progId, [] { return CLSPD_ZOVRENA::create(); });
}

}  // namespace duza_zovrena::host
