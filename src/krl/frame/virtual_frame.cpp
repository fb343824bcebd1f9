#include "krl/frame/virtual_frame.h"

#include <algorithm>
#include <utility>

#include "krl/ado/ado.h"
#include "krl/ado/failure.h"
#include "krl/diag/log.h"
#include "krl/frame/field_value.h"
#include "krl/host/cinterface.h"
#include "krl/host/global.h"
#include "krl/host/presenter.h"
#include "krl/trap/trap.h"
#include "krl/variant/text.h"

namespace krl::frame {

namespace {

// Marks the frame as showing a row: changes the controls make meanwhile go into the columns but
// are not the person's changes.
class LoadScope {
  public:
    explicit LoadScope(int& depth) : depth_(depth) { ++depth_; }
    ~LoadScope() { --depth_; }
    LoadScope(const LoadScope&) = delete;
    LoadScope& operator=(const LoadScope&) = delete;

  private:
    int& depth_;
};

}  // namespace

std::shared_ptr<VirtualFrame> VirtualFrame::create(std::string name) {
    return std::shared_ptr<VirtualFrame>(new VirtualFrame(std::move(name)));
}

VirtualFrame::VirtualFrame(std::string name) : name_(std::move(name)) {}

VirtualFrame::~VirtualFrame() {
    observe(nullptr);
    for (const auto& control : bound_) {
        if (control->binding() == this) {
            control->bind(nullptr);
        }
    }
}

void VirtualFrame::initialize(ObjectPtr programInterface,
                              std::shared_ptr<ado::Connection> connection,
                              std::shared_ptr<ado::Recordset> recordset, std::string sql,
                              std::string keyColumn, std::shared_ptr<controls::GridNav> bar,
                              const ObjectPtr& /*reserved*/) {
    if (!recordset) {
        err::objectNotSet("Recordset");
    }
    programInterface_ = std::move(programInterface);
    connection_ = std::move(connection);
    observe(nullptr);
    recordset_ = std::move(recordset);
    observe(recordset_.get());
    sql_ = std::move(sql);
    keyColumn_ = std::move(keyColumn);
    bar_ = std::move(bar);
    if (bar_) {
        bar_->setFrame(shared_from_this());
    }
    status_ = StatusViewing;
    dirty_ = false;
    reopenPending_ = false;
}

void VirtualFrame::setMessageService(std::shared_ptr<host::MessageService> service) {
    messageService_ = std::move(service);
}

std::shared_ptr<host::MessageService> VirtualFrame::messageService() const {
    if (messageService_) {
        return messageService_;
    }
    if (auto program = std::dynamic_pointer_cast<host::Cinterface>(programInterface_)) {
        if (auto global = program->clsGlobal()) {
            return global->messageService();
        }
    }
    return nullptr;
}

int VirtualFrame::ask(std::string_view text, int buttons) {
    const std::string& title = caption_.empty() ? name_ : caption_;
    if (auto service = messageService()) {
        return service->msgBox(text, buttons, title);
    }
    host::MessageBoxRequest box;
    box.text = std::string(text);
    box.buttons = buttons;
    box.title = title;
    return host::currentPresenter().present(box);
}

// --- registered controls -------------------------------------------------------------------

void VirtualFrame::add(const controls::ControlPtr& control, const ObjectPtr& /*reserved*/) {
    if (!control) {
        err::objectNotSet("controllo");
    }
    if (std::find(bound_.begin(), bound_.end(), control) != bound_.end()) {
        return;
    }
    if (control->binding() != nullptr) {
        err::raise(err::InvalidProcedureCall,
                   "Il controllo " + control->name() + " è già collegato a un altro frame.");
    }
    control->bind(this);
    bound_.push_back(control);
    if (hasRow() && !reopenPending_) {
        LoadScope scope(loading_);
        loadControl(*control);
    }
}

void VirtualFrame::remove(const controls::Control& control) {
    auto it = std::find_if(bound_.begin(), bound_.end(),
                           [&](const controls::ControlPtr& c) { return c.get() == &control; });
    if (it == bound_.end()) {
        return;
    }
    if ((*it)->binding() == this) {
        (*it)->bind(nullptr);
    }
    bound_.erase(it);
}

void VirtualFrame::removeControlsOf(const controls::ControlContainer& owner) {
    std::vector<controls::ControlPtr> keep;
    for (const auto& control : bound_) {
        if (control->container() == &owner) {
            if (control->binding() == this) {
                control->bind(nullptr);
            }
        } else {
            keep.push_back(control);
        }
    }
    bound_ = std::move(keep);
}

bool VirtualFrame::acceptsInput(const controls::Control& control) const {
    if (locked_ || (blank_ && !control.dbField().empty())) {
        return false;
    }
    return control.dbField().empty() || hasRow();
}

std::string VirtualFrame::inputRefusal(const controls::Control& control) const {
    if (blank_ && !blankReason_.empty()) {
        return blankReason_;
    }
    return BindingSink::inputRefusal(control);
}

void VirtualFrame::valueChanged(controls::Control& control, controls::ChangeOrigin /*origin*/) {
    if (control.dbField().empty()) {
        return;
    }
    if (!hasRow()) {
        if (loading_ > 0) {
            return;
        }
        err::raise(ado::adErrNoCurrentRecord, "Nessun record corrente.");
    }
    ado::Field& field = (*recordset_)[control.dbField()];
    {
        bool wasWriting = std::exchange(writing_, true);
        try {
            field.setValue(fieldValue(control.columnText(), field));
        } catch (...) {
            writing_ = wasWriting;
            throw;
        }
        writing_ = wasWriting;
    }
    if (loading_ > 0) {
        return;
    }
    dirty_ = true;
    if (status_ == StatusViewing) {
        changeStatus(StatusChanging, ReasonEdit);
    }
}

// --- showing rows ---------------------------------------------------------------------------

bool VirtualFrame::hasRow() const {
    return recordset_ && recordset_->state() == ado::adStateOpen && !recordset_->bof() &&
           !recordset_->eof();
}

bool VirtualFrame::recordsetEmpty() const {
    return recordset_ && recordset_->state() == ado::adStateOpen && recordset_->recordCount() == 0;
}

void VirtualFrame::loadControl(controls::Control& control) {
    if (control.dbField().empty()) {
        return;
    }
    // A code read from a CHAR column comes padded with blanks: it is shown as it was typed.
    std::string text = hasRow() ? rtrim(controlText((*recordset_)[control.dbField()].value())) : "";
    control.loadColumn(text);
}

void VirtualFrame::observe(ado::Recordset* recordset) {
    if (recordset == nullptr) {
        if (recordset_) {
            recordset_->setWriteObserver(nullptr);
        }
        return;
    }
    std::weak_ptr<VirtualFrame> self = weak_from_this();
    recordset->setWriteObserver([self](std::string_view column) {
        if (auto frame = self.lock()) {
            frame->showWritten(column);
        }
    });
}

void VirtualFrame::showWritten(std::string_view column) {
    if (writing_ || !hasRow()) {
        return;
    }
    const std::vector<controls::ControlPtr> controls = bound_;
    for (const auto& control : controls) {
        if (control->binding() != this || !sameText(control->dbField(), column) ||
            std::find(showing_.begin(), showing_.end(), control.get()) != showing_.end()) {
            continue;
        }
        std::string shown = controlText((*recordset_)[column].value());
        if (control->columnText() == shown) {
            continue;
        }
        showing_.push_back(control.get());
        LoadScope scope(loading_);
        try {
            control->loadColumn(shown);
        } catch (...) {
            showing_.pop_back();
            throw;
        }
        showing_.pop_back();
    }
}

void VirtualFrame::loadControls() {
    LoadScope scope(loading_);
    const std::vector<controls::ControlPtr> controls = bound_;
    for (const auto& control : controls) {
        if (control->binding() == this) {
            loadControl(*control);
        }
    }
}

void VirtualFrame::changeStatus(int status, long reason) {
    if (status == status_) {
        return;
    }
    status_ = status;
    ChangeStatus.raise(status, reason);
}

void VirtualFrame::startNewRecord() {
    positionBeforeAdd_ = hasRow() ? recordset_->absolutePosition() : 0;
    recordset_->addNew();
    status_ = StatusInserting;
    dirty_ = false;
    // The design-time defaults first; the AfterAddNew handler has the last word.
    {
        LoadScope scope(loading_);
        for (const auto& control : bound_) {
            if (!control->dbField().empty() && !control->defaultValue().isEmpty() &&
                !control->defaultValue().isNull()) {
                ado::Field& field = (*recordset_)[control->dbField()];
                if (field.value().isNull() || field.value().isEmpty()) {
                    field.setValue(fieldValue(control->defaultValue().textOrEmpty(), field));
                }
            }
        }
    }
    AfterAddNew.raise(1);
    if (status_ != StatusInserting) {
        return;  // the handler left the new row already
    }
    loadControls();
    ChangeStatus.raise(StatusInserting, ReasonAddNew);
}

void VirtualFrame::start(int status) {
    reopenPending_ = false;
    if (recordsetEmpty()) {
        startNewRecord();
        return;
    }
    if (recordset_ && recordset_->state() == ado::adStateOpen && !hasRow()) {
        recordset_->moveFirst();
    }
    dirty_ = false;
    changeStatus(StatusViewing, ReasonLoad);
    loadControls();
    if (status != StatusViewing) {
        setStatus(status);
    }
}

void VirtualFrame::showBlank(std::string why) {
    blankReason_ = std::move(why);
    if (!recordsetEmpty()) {
        start(StatusViewing);
        return;
    }
    reopenPending_ = false;
    recordset_->addNew();
    blank_ = true;
    dirty_ = false;
    changeStatus(StatusViewing, ReasonLoad);
    loadControls();
}

void VirtualFrame::dropBlankRow() {
    if (!blank_) {
        return;
    }
    blank_ = false;
    if (recordset_ && recordset_->state() == ado::adStateOpen) {
        recordset_->cancelUpdate();
        recordset_->cancelBatch(ado::adAffectAll);
    }
}

void VirtualFrame::showReopened() {
    reopenPending_ = false;
    blank_ = false;
    staleRow_ = false;
    if (!recordset_ || recordset_->state() != ado::adStateOpen) {
        return;
    }
    if (recordsetEmpty()) {
        startNewRecord();
        return;
    }
    recordset_->moveFirst();
    dirty_ = false;
    changeStatus(StatusViewing, ReasonLoad);
    loadControls();
}

void VirtualFrame::refresh() {
    if (reopenPending_) {
        showReopened();
        return;
    }
    loadControls();
}

void VirtualFrame::reset() {
    dropBlankRow();
    dirty_ = false;
    staleRow_ = false;
    reopenPending_ = true;
    changeStatus(StatusViewing, ReasonReset);
}

void VirtualFrame::setSql(std::string sql) {
    sql_ = std::move(sql);
    if (reopenPending_) {
        showReopened();
    }
}

// --- editing --------------------------------------------------------------------------------

bool VirtualFrame::pendingChanges() const {
    return status_ != StatusViewing && (status_ != StatusInserting || dirty_);
}

void VirtualFrame::moveTo(long position) {
    if (recordset_->recordCount() == 0) {
        return;
    }
    recordset_->moveFirst();
    for (long i = 1; i < position && !recordset_->eof(); ++i) {
        recordset_->moveNext();
    }
    if (recordset_->eof()) {
        recordset_->moveLast();
    }
}

void VirtualFrame::dropNewRow() {
    recordset_->cancelUpdate();
    recordset_->cancelBatch(ado::adAffectAll);
    moveTo(positionBeforeAdd_);
}

void VirtualFrame::dropChanges(bool readAgain) {
    long position = hasRow() ? recordset_->absolutePosition() : 1;
    recordset_->cancelBatch(ado::adAffectAll);
    if (readAgain) {
        recordset_->requery();
    }
    moveTo(position);
}

void VirtualFrame::setStatus(int status) {
    if (!recordset_ || recordset_->state() != ado::adStateOpen) {
        changeStatus(status == StatusInserting ? status_ : status, ReasonProgram);
        return;
    }
    if (status == StatusInserting) {
        addNew();
        return;
    }
    if (status != StatusViewing) {
        if (status_ == StatusViewing && hasRow()) {
            changeStatus(status, ReasonProgram);
        }
        return;
    }
    if (status_ == StatusInserting && !dirty_ && recordset_->recordCount() == 1) {
        return;  // the untouched new row of an empty set: dropping it would only start it again
    }
    if (status_ == StatusInserting) {
        dropNewRow();
    } else if (status_ != StatusViewing) {
        dropChanges(staleRow_);
        staleRow_ = false;
    }
    bool changed = status_ != StatusViewing;
    dirty_ = false;
    if (changed) {
        loadControls();
        changeStatus(StatusViewing, ReasonProgram);
    }
    if (recordsetEmpty()) {
        startNewRecord();
    }
}

bool VirtualFrame::addNew() {
    if (locked_ || blank_ || !recordset_ || recordset_->state() != ado::adStateOpen) {
        return false;
    }
    if (pendingChanges() && !queryClose(true, 0, true)) {
        return false;
    }
    if (status_ == StatusInserting) {
        dropNewRow();
    }
    startNewRecord();
    return true;
}

bool VirtualFrame::confirm() {
    if (status_ == StatusViewing) {
        return true;
    }
    if (blank_ || !hasRow()) {
        return false;
    }
    bool cancel = false;
    BeforeUpdate.raise(cancel);
    if (cancel) {
        return false;
    }
    try {
        recordset_->updateBatch(ado::adAffectAll);
    } catch (...) {
        VbError error = trap::currentError();
        if (error.number() == ado::adErrUpdateConflict) {
            staleRow_ = true;
            ask(ConflictMessage, host::vbExclamation);
        } else {
            const bool inserting = status_ == StatusInserting;
            staleRow_ = reportRefusal("I dati non sono stati salvati", error) ==
                            ado::Refusal::DuplicateKey &&
                        inserting;
        }
        return false;
    }
    dirty_ = false;
    staleRow_ = false;
    status_ = StatusViewing;
    loadControls();
    AfterUpdate.raise(1);
    ChangeStatus.raise(StatusViewing, ReasonUpdate);
    return true;
}

bool VirtualFrame::undo() {
    if (!recordset_ || recordset_->state() != ado::adStateOpen) {
        return false;
    }
    if (status_ == StatusViewing && !dirty_) {
        return true;
    }
    if (status_ == StatusInserting) {
        dropNewRow();
        if (staleRow_) {
            // Someone else wrote the row this new one would have been: show theirs.
            recordset_->requery();
            moveTo(1);
        }
    } else {
        dropChanges(staleRow_);
    }
    staleRow_ = false;
    dirty_ = false;
    status_ = StatusViewing;
    loadControls();
    AfterUndo.raise(1);
    ChangeStatus.raise(StatusViewing, ReasonUndo);
    if (recordsetEmpty()) {
        startNewRecord();
    }
    return true;
}

bool VirtualFrame::queryClose(bool askUser, int /*mode*/, bool allowCancel) {
    if (!pendingChanges()) {
        return true;
    }
    if (!askUser) {
        undo();
        return true;
    }
    int buttons = (allowCancel ? host::vbYesNoCancel : host::vbYesNo) | host::vbQuestion;
    switch (ask(SaveChangesQuestion, buttons)) {
        case host::vbYes:
            return confirm();
        case host::vbNo:
            undo();
            return true;
        default:
            return false;
    }
}

bool VirtualFrame::move(controls::Move where) {
    if (blank_ || !recordset_ || recordset_->state() != ado::adStateOpen ||
        recordset_->recordCount() == 0) {
        return false;
    }
    if (pendingChanges() && !queryClose(true, 0, true)) {
        return false;
    }
    if (status_ == StatusInserting) {
        dropNewRow();
    }
    switch (where) {
        case controls::Move::First:
            recordset_->moveFirst();
            break;
        case controls::Move::Previous:
            recordset_->movePrevious();
            if (recordset_->bof()) {
                recordset_->moveFirst();
            }
            break;
        case controls::Move::Next:
            recordset_->moveNext();
            if (recordset_->eof()) {
                recordset_->moveLast();
            }
            break;
        case controls::Move::Last:
            recordset_->moveLast();
            break;
    }
    dirty_ = false;
    changeStatus(StatusViewing, ReasonLoad);
    loadControls();
    return true;
}

bool VirtualFrame::deleteCurrent() {
    if (locked_ || blank_ || !hasRow()) {
        return false;
    }
    if (status_ == StatusInserting) {
        return undo();
    }
    if (ask(DeleteQuestion, host::vbYesNo | host::vbQuestion) != host::vbYes) {
        return false;
    }
    long position = recordset_->absolutePosition();
    dropChanges(false);
    recordset_->deleteCurrent();
    try {
        recordset_->updateBatch(ado::adAffectAll);
    } catch (...) {
        VbError error = trap::currentError();
        dropChanges(false);
        if (error.number() == ado::adErrUpdateConflict) {
            ask(ConflictMessage, host::vbExclamation);
        } else {
            reportRefusal("Il record non è stato eliminato", error);
        }
        return false;
    }
    moveTo(position);
    dirty_ = false;
    changeStatus(StatusViewing, ReasonDelete);
    loadControls();
    if (recordsetEmpty()) {
        startNewRecord();
    }
    return true;
}

ado::Refusal VirtualFrame::reportRefusal(std::string_view what, const VbError& error) {
    ado::Refusal refusal = ado::Refusal::Other;
    std::string detail = error.description();
    if (connection_ && connection_->errors().count() > 0) {
        const ado::Error& last = connection_->errors().all().back();
        refusal = ado::refusalOf(last);
        detail = last.description;
    }
    diag::logError(name_ + ": " + std::string(what) + ": " + detail);
    std::string reason;
    switch (refusal) {
        case ado::Refusal::MissingValue:
            reason = "manca un valore obbligatorio.";
            break;
        case ado::Refusal::DuplicateKey:
            reason =
                "un altro utente ha creato lo stesso record nel frattempo. Annullare le "
                "modifiche per vedere il record salvato.";
            break;
        case ado::Refusal::MissingReference:
            reason = "il record fa riferimento a dati che non esistono più.";
            break;
        case ado::Refusal::NotAllowed:
            reason = "un valore non è ammesso dalla base dati.";
            break;
        case ado::Refusal::Busy:
            reason = "la base dati è occupata da un'altra operazione. Riprovare tra poco.";
            break;
        case ado::Refusal::ReadOnly:
            reason = "la base dati è in sola lettura.";
            break;
        case ado::Refusal::Other:
            reason =
                "la base dati non ha accettato l'operazione. Il dettaglio è nel registro "
                "degli errori del server.";
            break;
    }
    ask(std::string(what) + ": " + reason, host::vbExclamation);
    return refusal;
}

void VirtualFrame::terminate() {
    observe(nullptr);
    for (const auto& control : bound_) {
        if (control->binding() == this) {
            control->bind(nullptr);
        }
    }
    bound_.clear();
    AfterAddNew.clear();
    BeforeUpdate.clear();
    AfterUpdate.clear();
    AfterUndo.clear();
    ChangeStatus.clear();
    if (bar_ && bar_->frame().get() == this) {
        bar_->setFrame(nullptr);
    }
    bar_.reset();
    recordset_.reset();
    connection_.reset();
    programInterface_.reset();
    messageService_.reset();
    status_ = StatusViewing;
    dirty_ = false;
    reopenPending_ = false;
}

}  // namespace krl::frame
