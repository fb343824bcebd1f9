#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "krl/ado/failure.h"
#include "krl/controls/container.h"
#include "krl/controls/control.h"
#include "krl/controls/event.h"
#include "krl/controls/grid_nav.h"
#include "krl/host/frame_access.h"
#include "krl/host/message_service.h"

namespace krl::ado {
class Connection;
class Recordset;
}  // namespace krl::ado

namespace krl::frame {

// Status values.
inline constexpr int StatusViewing = 0;
inline constexpr int StatusChanging = 1;
inline constexpr int StatusInserting = 2;

// Why ChangeStatus was raised (its second argument).
inline constexpr long ReasonLoad = 0;     // a row was shown (start, reopen, move, refresh)
inline constexpr long ReasonEdit = 1;     // a bound control changed while viewing
inline constexpr long ReasonAddNew = 2;   // a new row was started
inline constexpr long ReasonUpdate = 3;   // the row was written
inline constexpr long ReasonUndo = 4;     // the changes were undone
inline constexpr long ReasonProgram = 5;  // the program set the status
inline constexpr long ReasonDelete = 6;   // the row was deleted
inline constexpr long ReasonReset = 7;    // the owner is about to reopen the recordset

// The texts the frame shows.
inline constexpr std::string_view SaveChangesQuestion = "Salvare le modifiche apportate?";
inline constexpr std::string_view ConflictMessage =
    "Il record è stato modificato da un altro utente: i dati non sono stati salvati. Annullare "
    "le modifiche e rileggere il record.";
inline constexpr std::string_view DeleteQuestion = "Eliminare il record corrente?";

// The data frame: binds the current row of one recordset to the controls registered with it and
// writes the row.
//
// Status 0 shows the row; the first change of a bound control (by the person, or by the program
// outside a row load) makes it 1; a new row is 2. Every change goes into the bound column at once;
// confirming writes the recordset with one batch update, undoing cancels the batch.
//
// Whenever the frame is to show a row and its (open) recordset has none, it starts a new row by
// itself: at start, when the owner reopens it after reset() (setSql or refresh), and when undoing,
// setting status 0 or deleting leaves it empty. That is how a company without a row and a document
// code without a row get their new row (status 2, AfterAddNew).
//
// The two state flags: Dirty (the row holds changes the person would lose: set by every change
// outside a row load, cleared by writing, undoing and loading) and Locked (the frame takes no
// input: bound controls refuse the person's changes, no add and no delete).
//
// Messages go to the message service given with setMessageService, otherwise to the one of the
// program interface's global object, otherwise straight to the thread's message presenter.
class VirtualFrame : public host::FrameAccess,
                     public controls::BindingSink,
                     public controls::NavigatorTarget,
                     public std::enable_shared_from_this<VirtualFrame> {
  public:
    static std::shared_ptr<VirtualFrame> create(std::string name = {});
    ~VirtualFrame() override;

    controls::Event<long> AfterAddNew;         // operation result (1 = done)
    controls::Event<bool&> BeforeUpdate;       // Cancel starts False
    controls::Event<long> AfterUpdate;         // operation result
    controls::Event<long> AfterUndo;           // operation result
    controls::Event<long, long> ChangeStatus;  // status, reason

    // Binds the frame: nothing is shown until start() (or a reopen). The bar's frame becomes this
    // frame. `reserved` is accepted for the host's signature and not used.
    void initialize(ObjectPtr programInterface, std::shared_ptr<ado::Connection> connection,
                    std::shared_ptr<ado::Recordset> recordset, std::string sql,
                    std::string keyColumn, std::shared_ptr<controls::GridNav> bar,
                    const ObjectPtr& reserved = nullptr);

    std::string name() const override { return name_; }
    void setName(std::string name) override { name_ = std::move(name); }
    // Title of the frame's message boxes (the window caption); the name when empty.
    void setCaption(std::string caption) { caption_ = std::move(caption); }
    void setMessageService(std::shared_ptr<host::MessageService> service);

    const ObjectPtr& programInterface() const { return programInterface_; }
    std::shared_ptr<ado::Connection> connection() const { return connection_; }
    std::shared_ptr<ado::Recordset> recordset() const override { return recordset_; }
    const std::string& sql() const { return sql_; }
    const std::string& keyColumn() const { return keyColumn_; }
    std::shared_ptr<controls::GridNav> bar() const { return bar_; }

    // Registered controls. A registered control shows the current row at once.
    void add(const controls::ControlPtr& control, const ObjectPtr& reserved = nullptr);
    void remove(const controls::Control& control);
    // Drops every control of that page (the page's Terminate).
    void removeControlsOf(const controls::ControlContainer& owner);
    const std::vector<controls::ControlPtr>& controls() const { return bound_; }

    int status() const override { return status_; }
    bool dirty() const { return dirty_; }
    void setDirty(bool value) { dirty_ = value; }
    bool locked() const { return locked_; }
    void setLocked(bool value) { locked_ = value; }
    // Changes the person would be asked about before leaving the row.
    bool pendingChanges() const;

    // Shows the first row, then sets the status; on an empty recordset starts a new row instead.
    void start(int status = StatusViewing);
    // Shows an empty set as a blank row that only stands in until the owner reopens the frame on a
    // real selection (reset() and setSql()): status 0, nothing can be typed, added, deleted or
    // written. `why` is what a person who tries to type is told.
    void showBlank(std::string why);
    bool blank() const { return blank_; }
    // 0: leaves editing dropping the changes (an unwritten new row is dropped; the untouched new
    // row of an otherwise empty set stays, since it would only be started again); 2: adds a new
    // row; other values: marks the row being changed.
    void setStatus(int status);
    bool addNew() override;
    bool move(controls::Move where) override;
    bool deleteCurrent() override;
    // BeforeUpdate, then the batch update. False (status and changes kept) when cancelled or when
    // the database refused: a conflict with another user or an error is shown to the person.
    bool confirm() override;
    void update() override { confirm(); }
    // Drops the changes and shows the row as read (read again from the database after a conflict).
    bool undo() override;
    // Asks about pending changes: Yes confirms (closing goes on only when the row was written), No
    // undoes, Cancel refuses. Without asking, pending changes are dropped.
    bool queryClose(bool askUser, int mode, bool allowCancel);
    // Shows the current row again; after reset() shows the reopened recordset.
    void refresh();
    // The owner is about to close and reopen the recordset: status 0, nothing pending.
    void reset();
    // The source of the reopened recordset; after reset() the reopened recordset is shown.
    void setSql(std::string sql);
    // Drops every control and reference; no more events.
    void terminate();

    // BindingSink.
    bool acceptsInput(const controls::Control& control) const override;
    std::string inputRefusal(const controls::Control& control) const override;
    void valueChanged(controls::Control& control, controls::ChangeOrigin origin) override;

  private:
    explicit VirtualFrame(std::string name);

    bool hasRow() const;
    bool recordsetEmpty() const;
    void loadControls();
    void loadControl(controls::Control& control);
    // A value written into the row by anyone but the frame itself (a page's rule, a save rule):
    // the controls bound to that column show it at once.
    void showWritten(std::string_view column);
    void observe(ado::Recordset* recordset);
    void changeStatus(int status, long reason);
    void startNewRecord();
    void showReopened();
    void moveTo(long position);  // 1-based; the last row when there are fewer
    void dropNewRow();
    // Cancels the batch and stays on the row (read again from the database when asked).
    void dropChanges(bool readAgain);
    void dropBlankRow();
    // Tells the person that the database refused to write (or delete) the row, and answers the
    // kind of refusal; the database's own text goes to the log.
    ado::Refusal reportRefusal(std::string_view what, const VbError& error);
    int ask(std::string_view text, int buttons);
    std::shared_ptr<host::MessageService> messageService() const;

    std::string name_;
    std::string caption_;
    ObjectPtr programInterface_;
    std::shared_ptr<ado::Connection> connection_;
    std::shared_ptr<ado::Recordset> recordset_;
    std::string sql_;
    std::string keyColumn_;
    std::shared_ptr<controls::GridNav> bar_;
    std::shared_ptr<host::MessageService> messageService_;
    std::vector<controls::ControlPtr> bound_;
    int status_ = StatusViewing;
    bool dirty_ = false;
    bool locked_ = false;
    int loading_ = 0;
    bool writing_ = false;  // the frame is writing a control's value into the row
    std::vector<const controls::Control*> showing_;  // controls being shown a written value
    bool reopenPending_ = false;
    bool staleRow_ = false;  // a write met another user's change: undo reads the row again
    bool blank_ = false;
    std::string blankReason_;
    long positionBeforeAdd_ = 0;
};

}  // namespace krl::frame
