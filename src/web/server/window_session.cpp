#include "web/server/window_session.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "duza_zovrena/component.h"
#include "duza_zovrena/host/clspd_zovrena.h"
#include "duza_zovrena/pages/page.h"
#include "duza_zovrena/window/frmpd_zovrena.h"
#include "krl/ado/ado.h"
#include "krl/controls/check_box.h"
#include "krl/controls/combo.h"
#include "krl/controls/edit.h"
#include "krl/controls/grid.h"
#include "krl/controls/grid_nav.h"
#include "krl/controls/lookup.h"
#include "krl/controls/side_bar.h"
#include "krl/frame/virtual_frame.h"
#include "krl/host/catalogue_message_service.h"
#include "krl/host/global.h"
#include "krl/host/host_interface.h"
#include "krl/host/menu_entry.h"
#include "krl/host/multimedia.h"
#include "krl/host/navigator.h"
#include "krl/host/presenter.h"
#include "krl/host/print.h"
#include "krl/host/progid.h"
#include "krl/host/ui_thread.h"
#include "krl/trap/trap.h"
#include "web/server/action_parser.h"
#include "web/server/window_history.h"
#include "web/server/window_snapshot.h"

namespace zovrena::web {

namespace {

using Json = nlohmann::json;
using krl::Variant;
namespace kh = krl::host;
namespace kc = krl::controls;
using duza_zovrena::window::FRMPD_ZOVRENA;

constexpr const char* programProgId = "DUZA_ZOVRENA.CLSPD_ZOVRENA";
constexpr const char* programCaption = "Parametri di gestione";
constexpr const char* menuEntryId = "PD_ZOVRENA";
constexpr std::int32_t hostWindowHandle = 1;

WindowAnswer refused(int status, std::string message) {
    return {status, std::move(message), {}};
}

double millisecondsSince(std::chrono::steady_clock::time_point began) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began)
        .count();
}

}  // namespace

// Everything of one window. The members under "window thread" are only touched by tasks running on
// that thread; the others are shared with the request threads.
struct WindowState {
    WindowContext context;
    std::unique_ptr<kh::UiThread> thread;

    // Window thread.
    std::shared_ptr<kh::ClsGlobal> global;
    std::shared_ptr<kh::Navigator> navigator;
    std::shared_ptr<kh::Cinterface> program;
    std::shared_ptr<FRMPD_ZOVRENA> window;
    std::optional<kc::LookupList> lookup;
    std::optional<kh::PrintSheet> printSheet;
    std::shared_ptr<kh::MediaSession> media;
    std::optional<HistoryView> history;
    std::string notice;
    SentGrids sentGrids;  // the grids' rows as last put into a snapshot

    // Shared.
    std::atomic<long> revision{1};
    std::atomic<double> actionMs{0};  // the program's work for the last action
    std::atomic<bool> abandoned{false};
    std::atomic<bool> ended{false};
    std::mutex shared;
    Snapshot backdrop;  // the window as it was when its thread blocked in a box
    // The snapshot an action's task took as it ended, so that the answer needs no second trip to
    // the window thread.
    std::optional<Snapshot> prepared;
    bool personAnswered = false;
    std::optional<std::int32_t> approvedCompany;

    // Built on the window thread. A box about to cover the window hides its lookup list.
    Snapshot body(bool withLookup = true, const GridVersions* heldGridRows = nullptr) {
        WindowExtras extras;
        extras.heldGridRows = heldGridRows;
        extras.sentGrids = &sentGrids;
        extras.caption = programCaption;
        extras.lookup = withLookup && lookup ? &*lookup : nullptr;
        extras.printSheet = printSheet ? &*printSheet : nullptr;
        extras.media = media.get();
        extras.history = history ? &*history : nullptr;
        extras.notice = notice;
        const bool closed = window ? window->unloaded() : ended.load();
        return {describeWindow(window.get(), program.get(), extras), closed};
    }

    // A box nobody answered in time: the window drops its changes and unloads.
    void abandon() {
        if (!window || window->unloaded()) {
            return;
        }
        for (const auto& frame : {window->generalFrame(), window->documentFrame()}) {
            if (frame && frame->pendingChanges()) {
                krl::trap::ignoring([&] { frame->undo(); });
            }
        }
        krl::trap::ignoring([&] { program->closeForm(); });
    }
};

namespace {

// The host's presenters on a window thread: boxes go to the thread's blocking presenter (after the
// window's look is kept for the snapshot), lookup lists, print sheets and media sessions are kept
// for the snapshot and never block.
class HostPresenters : public kh::MessagePresenter,
                       public kc::LookupPresenter,
                       public kh::PrintPresenter,
                       public kh::MediaPresenter {
  public:
    HostPresenters(WindowState& state, kh::MessagePresenter& blocking)
        : state_(state),
          blocking_(blocking),
          messages_(*this),
          prints_(*this),
          medias_(*this),
          previousLookup_(kc::currentLookupPresenter()) {
        kc::setCurrentLookupPresenter(this);
    }
    ~HostPresenters() override { kc::setCurrentLookupPresenter(previousLookup_); }

    int present(const kh::MessageBoxRequest& box) override {
        if (state_.abandoned) {
            return kh::unattendedAnswer(box.buttons);
        }
        Snapshot backdrop = state_.body(false);
        {
            std::lock_guard lock(state_.shared);
            state_.backdrop = std::move(backdrop);
            state_.personAnswered = false;
        }
        const int answer = blocking_.present(box);
        bool answered = false;
        {
            std::lock_guard lock(state_.shared);
            answered = state_.personAnswered;
        }
        if (!answered && !state_.abandoned.exchange(true)) {
            ++state_.revision;
            auto* state = &state_;
            state_.thread->post([state] { state->abandon(); });
            if (state_.context.onGiveUp) {
                state_.context.onGiveUp();
            }
        }
        return answer;
    }

    std::optional<std::size_t> choose(const kc::LookupList& list) override {
        state_.lookup = list;
        return std::nullopt;  // the browser's choice comes back as its own action
    }

    void print(const kh::PrintSheet& sheet) override { state_.printSheet = sheet; }

    void present(std::shared_ptr<kh::MediaSession> session) override {
        state_.media = std::move(session);
    }

  private:
    WindowState& state_;
    kh::MessagePresenter& blocking_;
    kh::ScopedPresenter messages_;
    kh::ScopedPrintPresenter prints_;
    kh::ScopedMediaPresenter medias_;
    kc::LookupPresenter* previousLookup_;
};

// Installed for the thread's whole life, dropped when it ends.
thread_local std::unique_ptr<HostPresenters> threadPresenters;

// Read on the window's thread at each save, through the connection the thread keeps for its
// decodes (closed when the window unloads).
std::pair<bool, bool> companyOptions(const std::string& connectionString, std::int32_t company) {
    auto rows = kc::decodeConnection(connectionString)
                    ->execute(
                        "SELECT CG18_FLGOPZIONE1, CG18_FLGOPZIONE2 FROM CG18_DITTE "
                        "WHERE CG18_CODICE = " +
                        std::to_string(company));
    std::pair<bool, bool> options{false, false};
    if (!rows->eof()) {
        options.first = krl::numericValue(rows->fields()["CG18_FLGOPZIONE1"].value()) != 0;
        options.second = krl::numericValue(rows->fields()["CG18_FLGOPZIONE2"].value()) != 0;
    }
    rows->close();
    return options;
}

// Digits, one sign in front and one decimal separator.
bool numericText(std::string_view text) {
    if (text.starts_with('-') || text.starts_with('+')) {
        text.remove_prefix(1);
    }
    int separators = 0;
    for (char c : text) {
        if (c == ',' || c == '.') {
            ++separators;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    return separators <= 1;
}

std::string noticeOf(const kc::InputResult& result) {
    return result.status == kc::InputStatus::Refused ? result.message : std::string();
}

// The work for the window thread an action asks for; its answer is the notice.
using Work = std::function<std::string(WindowState&)>;

std::string notForThisField(const std::string& name) {
    return "Azione non prevista per il campo " + name + ".";
}

// --- actions on a control of the page (or of the window's header) ----------------------------

// What one kind of control does with the person's action; an action the kind does not take is
// answered as such.
using KindAction = std::string (*)(WindowState& s, kc::Control& target,
                                   const ControlAction& action);

std::string comboAction(WindowState&, kc::Control& target, const ControlAction& action) {
    if (action.verb != ControlVerb::SetValue) {
        return notForThisField(action.control);
    }
    return noticeOf(static_cast<kc::Combo&>(target).userSelect(action.value));
}

std::string checkBoxAction(WindowState&, kc::Control& target, const ControlAction& action) {
    if (action.verb != ControlVerb::SetValue) {
        return notForThisField(action.control);
    }
    auto& box = static_cast<kc::CheckBox&>(target);
    return (action.value == "1") != box.checked() ? noticeOf(box.userClick()) : std::string();
}

std::string editAction(WindowState& s, kc::Control& target, const ControlAction& action) {
    auto& edit = static_cast<kc::EditM&>(target);
    const std::string& value = action.value;
    switch (action.verb) {
        case ControlVerb::LeaveField:
            if (numericControl(edit) && !numericText(value)) {
                return "Il campo accetta solo numeri.";
            }
            return noticeOf(edit.userEnter(value));
        case ControlVerb::OpenLookup:
            s.lookup.reset();
            return noticeOf(edit.userLookup());
        case ControlVerb::KeyMenu:
            s.lookup.reset();
            return noticeOf(edit.userMenu(value));
        case ControlVerb::ChooseLookupRow:
            if (!s.lookup || s.lookup->control != action.control ||
                std::none_of(s.lookup->rows.begin(), s.lookup->rows.end(),
                             [&](const auto& row) { return !row.empty() && row[0] == value; })) {
                return "Il codice scelto non è nell'elenco.";
            }
            s.lookup.reset();
            return noticeOf(edit.userEnter(value));
        default:
            return notForThisField(action.control);
    }
}

std::string gridAction(WindowState&, kc::Control& target, const ControlAction& action) {
    if (action.verb != ControlVerb::EditCell) {
        return notForThisField(action.control);
    }
    return noticeOf(
        static_cast<kc::QGrid&>(target).userEdit(action.row, action.field, action.value));
}

// One entry per kind of control the person acts on; labels and layout kinds take no action.
constexpr std::pair<kc::Kind, KindAction> kKindActions[] = {
    {kc::Kind::Combo, comboAction},
    {kc::Kind::CheckBox, checkBoxAction},
    {kc::Kind::EditM, editAction},
    {kc::Kind::QGrid, gridAction},
};

// --- the work each action asks of the window thread ------------------------------------------

struct WorkOf {
    std::size_t mediaMaxCount;

    Work operator()(ControlAction action) const {
        return [action = std::move(action)](WindowState& s) -> std::string {
            kc::Control* target = nullptr;
            if (auto page = s.window->currentPage()) {
                target = page->find(action.control);
            }
            if (!target) {
                target = s.window->find(action.control);
            }
            if (!target) {
                return "Il campo " + action.control + " non è nella pagina.";
            }
            if (action.verb == ControlVerb::CloseLookup) {
                s.lookup.reset();
                return {};
            }
            for (const auto& [kind, act] : kKindActions) {
                if (kind == target->kind()) {
                    return act(s, *target, action);
                }
            }
            return notForThisField(action.control);
        };
    }

    // Answers go to the box, not to the window thread's queue.
    Work operator()(const AnswerBox&) const { return nullptr; }

    Work operator()(ClickItem action) const {
        return [item = std::move(action.item)](WindowState& s) {
            return noticeOf(s.window->sideBar().userClick(item));
        };
    }

    Work operator()(HostButton action) const {
        return [button = std::move(action.button)](WindowState& s) -> std::string {
            if (!hostToolbar(*s.window, *s.program).allows(button)) {
                return "Il pulsante " + button + " non è disponibile.";
            }
            if (button == "Stampa") {
                return noticeOf(s.window->navigatorBar("INTERNAV_PARAMETRI").userClick("Stampa"));
            }
            if (button == "Media") {
                s.navigator->raiseButtonPressed(kh::Navigator::ButtonMultimedia);
                return {};
            }
            if (button == "Storico") {
                std::string notice;
                s.history = HistoryView::open(*s.window, notice);
                return notice;
            }
            auto frame = activeFrameOf(*s.program);
            if (button == "Nuovo") {
                frame->addNew();
            } else if (button == "Conferma") {
                frame->confirm();
            } else {
                frame->undo();
            }
            return {};
        };
    }

    Work operator()(NavigatorButton action) const {
        return [action = std::move(action)](WindowState& s) {
            return noticeOf(s.window->navigatorBar(action.bar).userClick(action.button));
        };
    }

    Work operator()(const ClosePrint&) const {
        return [](WindowState& s) {
            s.printSheet.reset();
            return std::string();
        };
    }

    Work operator()(AttachMedia action) const {
        return
            [action = std::move(action), maxCount = mediaMaxCount](WindowState& s) -> std::string {
                if (!s.media) {
                    return "Nessun collegamento multimediale aperto.";
                }
                if (s.media->items().size() >= maxCount) {
                    return "Al record sono già collegati " + std::to_string(maxCount) +
                           " file: non se ne possono aggiungere altri.";
                }
                s.media->attach(action.description, action.fileName, action.bytes);
                return {};
            };
    }

    Work operator()(const CloseMedia&) const {
        return [](WindowState& s) {
            s.media.reset();
            return std::string();
        };
    }

    Work operator()(const HistoryMore&) const {
        return [](WindowState& s) -> std::string {
            if (!s.history) {
                return "Nessuno storico aperto.";
            }
            s.history->more(*s.window);
            return {};
        };
    }

    Work operator()(const CloseHistory&) const {
        return [](WindowState& s) {
            s.history.reset();
            return std::string();
        };
    }

    Work operator()(const CloseWindow&) const {
        return [](WindowState& s) -> std::string {
            s.program->closeForm();
            return s.window->unloaded() ? std::string() : "La finestra resta aperta.";
        };
    }
};

}  // namespace

void registerProgramClasses() {
    static std::once_flag once;
    std::call_once(once, [] { duza_zovrena::registerComponent(kh::ProgIdRegistry::instance()); });
}

WindowSession::WindowSession(WindowContext context)
    : context_(std::move(context)), state_(std::make_shared<WindowState>()) {
    state_->context = context_;
}

WindowSession::~WindowSession() {
    shutDown();
}

std::shared_ptr<WindowSession> WindowSession::open(WindowContext context) {
    registerProgramClasses();
    std::shared_ptr<WindowSession> session(new WindowSession(std::move(context)));
    session->start();
    return session;
}

void WindowSession::start() {
    WindowState* state = state_.get();
    kh::UiThread::Options options;
    options.modalTimeout = context_.modalTimeout;
    options.onStart = [state] {
        threadPresenters = std::make_unique<HostPresenters>(*state, kh::currentPresenter());
    };
    state_->thread = std::make_unique<kh::UiThread>(std::move(options));

    struct Outcome {
        std::atomic<bool> shown{false};
        std::string failure = "la finestra non si è aperta";
    };
    auto outcome = std::make_shared<Outcome>();
    run([state, outcome] {
        try {
            const WindowContext& context = state->context;
            auto global = std::make_shared<kh::ClsGlobal>();
            global->setConnectionString(context.connectionString);
            global->setCurrentCompany(Variant(context.company));
            // Read at each use: an administrator may switch them while the window is open.
            global->setCompanyOptionsReader(
                [connectionString = context.connectionString, company = context.company] {
                    return companyOptions(connectionString, company);
                });
            global->setUserContext({Variant(context.user), Variant(std::int32_t{0})});
            auto images = std::make_shared<kh::ImageList>();
            images->add("KProgramma", "/programma.svg");
            images->add("KProgrammaMM", "/programmamm.svg");
            global->setImageList(images);
            global->setMessageService(std::make_shared<kh::CatalogueMessageService>());
            global->setToolbarButtons(kh::ToolbarButtons::standard());
            auto main = std::make_shared<kh::HostProgramInterface>();
            main->setHwndParent(hostWindowHandle);
            global->setMainInterface(main);
            global->setParameterChangeListener(
                [state](const kh::ClsGlobal::ParameterChange& change) {
                    state->notice = "Parametri salvati";
                    if (state->context.onSaved) {
                        state->context.onSaved(change.kind);
                    }
                });
            state->global = global;
            state->navigator = std::make_shared<kh::Navigator>();

            auto program = kh::createObjectAs<kh::Cinterface>(programProgId);
            program->setClsGlobal(global);
            program->setActiveNavigator(state->navigator);
            program->setClsVoceMenu(std::make_shared<kh::MenuEntry>(Variant(menuEntryId),
                                                                    programCaption, programProgId));
            program->setCaption(Variant(programCaption));
            program->setIsActive(true);
            program->setWindowModal(false);
            program->setWindowState(0);
            program->setHwndParent(hostWindowHandle);
            state->program = program;
            // ShowForm may stop in a box (a load error): the window is known before it returns.
            auto object = std::dynamic_pointer_cast<duza_zovrena::host::CLSPD_ZOVRENA>(program);
            program->showForm();
            state->window = std::dynamic_pointer_cast<FRMPD_ZOVRENA>(object->window());
            outcome->shown = state->window && !state->window->loadFailed();
        } catch (const std::exception& e) {
            outcome->failure = e.what();
        }
    });
    if (state_->thread->blocked()) {
        return;  // a box of the load is waiting for the person
    }
    if (!outcome->shown) {
        shutDown();
        throw std::runtime_error(outcome->failure);
    }
}

bool WindowSession::run(std::function<void()> task) {
    const auto began = std::chrono::steady_clock::now();
    const bool ran = state_->thread->invoke(std::move(task));
    lastThreadMs_ = millisecondsSince(began);
    return ran;
}

void WindowSession::addThreadTime(std::chrono::steady_clock::time_point began) {
    lastThreadMs_ = lastThreadMs_.load() + millisecondsSince(began);
}

WindowSession::Timing WindowSession::lastTiming() const {
    return {state_->actionMs.load(), lastThreadMs_.load()};
}

Snapshot WindowSession::snapshot() {
    std::lock_guard lock(requests_);
    lastThreadMs_ = 0;
    state_->actionMs = 0;
    return snapshotLocked();
}

Snapshot WindowSession::snapshotLocked(bool afterAction) {
    WindowState& state = *state_;
    std::optional<Snapshot> taken;
    if (afterAction && !state.thread->pendingBox()) {
        std::lock_guard lock(state.shared);
        taken = std::move(state.prepared);
        state.prepared.reset();
    }
    if (!taken && !state.thread->pendingBox()) {
        // The task may outlive this call when it stops in a box: what it fills is shared.
        auto built = std::make_shared<std::optional<Snapshot>>();
        auto guard = std::make_shared<std::mutex>();
        auto* shared = state_.get();
        const auto began = std::chrono::steady_clock::now();
        state.thread->invoke([shared, built, guard] {
            Snapshot body = shared->body();
            std::lock_guard lock(*guard);
            *built = std::move(body);
        });
        addThreadTime(began);
        std::lock_guard lock(*guard);
        taken = std::move(*built);
    }
    Snapshot body;
    if (taken) {
        body = std::move(*taken);
    } else {
        const auto pending = state.thread->pendingBox();
        {
            std::lock_guard lock(state.shared);
            body = state.backdrop;
        }
        if (pending) {
            body.setMessageBox({{"id", pending->box.messageId},
                                {"text", pending->box.text},
                                {"buttons", pending->box.buttons},
                                {"title", pending->box.title}});
        }
    }
    if (state.ended) {
        body.markClosed();
    }
    body.setWindow(context_.id, state.revision.load());
    return body;
}

WindowAnswer WindowSession::act(const Json& action) {
    std::lock_guard lock(requests_);
    lastThreadMs_ = 0;
    state_->actionMs = 0;
    const auto revision = action.find("revision");
    if (revision == action.end() || !revision->is_number_integer()) {
        return refused(400, "Richiesta non valida: manca la revisione della finestra.");
    }
    if (revision->get<std::int64_t>() != state_->revision.load()) {
        return {409, "La finestra è stata modificata in un'altra scheda.", snapshotLocked()};
    }
    {
        std::lock_guard prepared(state_->shared);
        state_->prepared.reset();
    }
    WindowAnswer answer = perform(action);
    if (answer.status == 200) {
        ++state_->revision;
        answer.snapshot = snapshotLocked(true);
    } else if (answer.status == 409) {
        answer.snapshot = snapshotLocked();
    }
    return answer;
}

WindowAnswer WindowSession::perform(const Json& json) {
    WindowState& state = *state_;
    ReadAction read = readAction(json, ActionLimits{context_.mediaMaxBytes});
    if (const auto* refusal = std::get_if<ActionRefusal>(&read)) {
        return refused(refusal->status, refusal->message);
    }
    Action& action = std::get<Action>(read);
    if (state.ended) {
        return refused(409, "La finestra è stata chiusa.");
    }

    const auto pending = state.thread->pendingBox();
    if (const auto* answer = std::get_if<AnswerBox>(&action.body)) {
        if (!pending || pending->box.messageId != answer->messageId) {
            return refused(409, "Il messaggio non è più in attesa di risposta.");
        }
        {
            std::lock_guard lock(state.shared);
            state.personAnswered = true;
        }
        const auto began = std::chrono::steady_clock::now();
        if (!state.thread->answer(static_cast<int>(answer->answer), pending->serial)) {
            std::lock_guard lock(state.shared);
            state.personAnswered = false;  // the box still waits for someone
            return refused(400, "Risposta non prevista per questo messaggio.");
        }
        state.thread->settle();
        lastThreadMs_ = millisecondsSince(began);
        state.actionMs = lastThreadMs_.load();  // the program going on after the box
        return {};
    }
    if (pending) {
        return refused(409, "Rispondere prima al messaggio in attesa.");
    }

    // The work runs on the window thread.
    Work work = std::visit(WorkOf{context_.mediaMaxCount}, std::move(action.body));

    WindowState* shared = &state;
    run([shared, work = std::move(work), held = std::move(action.heldGridRows)] {
        shared->notice.clear();
        if (!shared->window || shared->window->unloaded()) {
            return;
        }
        std::string notice;
        const auto began = std::chrono::steady_clock::now();
        try {
            notice = work(*shared);
        } catch (...) {
            notice = krl::trap::currentError().description();
        }
        shared->actionMs = millisecondsSince(began);
        if (!notice.empty()) {
            shared->notice = std::move(notice);
        }
        Snapshot body = shared->body(true, &held);
        std::lock_guard lock(shared->shared);
        shared->prepared = std::move(body);
    });
    return {};
}

Snapshot WindowSession::requestCompanyChange(std::int32_t company) {
    std::lock_guard lock(requests_);
    lastThreadMs_ = 0;
    state_->actionMs = 0;
    WindowState* shared = state_.get();
    if (!state_->thread->pendingBox()) {
        ++state_->revision;
        run([shared, company] {
            if (!shared->navigator->raiseBeforeChangeDitta()) {
                std::lock_guard lock(shared->shared);
                shared->approvedCompany = company;
            }
        });
    }
    return snapshotLocked();
}

std::optional<std::int32_t> WindowSession::takeApprovedCompany() {
    std::lock_guard lock(state_->shared);
    auto company = state_->approvedCompany;
    state_->approvedCompany.reset();
    return company;
}

bool WindowSession::gaveUp() const {
    return state_->abandoned;
}

bool WindowSession::ended() const {
    return state_->ended;
}

bool WindowSession::closed() {
    if (state_->ended) {
        return true;
    }
    if (state_->thread->pendingBox()) {
        return false;
    }
    bool unloaded = false;
    auto result = std::make_shared<std::atomic<bool>>(false);
    WindowState* shared = state_.get();
    state_->thread->invoke(
        [shared, result] { *result = !shared->window || shared->window->unloaded(); });
    unloaded = result->load();
    return unloaded;
}

void WindowSession::shutDown() {
    WindowState& state = *state_;
    if (!state.thread || state.ended.exchange(true)) {
        return;
    }
    state.abandoned = true;
    WindowState* shared = &state;
    state.thread->post([shared] {
        shared->abandon();
        shared->media.reset();
        shared->window.reset();
        shared->program.reset();
        shared->navigator.reset();
        shared->global.reset();
        kc::closeDecodeConnections();
        threadPresenters.reset();
    });
    state.thread->stop();
}

}  // namespace zovrena::web
