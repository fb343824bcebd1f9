#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "duza_zovrena/host/program_messages.h"
#include "duza_zovrena/host/program_window.h"
#include "krl/diag/trace.h"
#include "krl/host/cinterface.h"
#include "krl/host/multimedia.h"
#include "krl/host/navigator.h"
#include "krl/host/progid.h"

namespace duza_zovrena::host {

// The program object: the host creates it, writes its context through Cinterface and calls
// ShowForm. It owns the window, answers the navigator's and the multimedia manager's events, and
// refreshes the window's icon. Every member runs with errors ignored: nothing is reported to the
// host and no exception leaves the object.
class CLSPD_ZOVRENA : public krl::host::Cinterface,
                      public krl::host::NavigatorEvents,
                      public krl::host::MediaEvents,
                      public std::enable_shared_from_this<CLSPD_ZOVRENA> {
  public:
    static constexpr std::string_view progId = "DUZA_ZOVRENA.CLSPD_ZOVRENA";
    static constexpr std::string_view className = "CLSPD_ZOVRENA";

    // A program object whose ShowForm builds its window with the factory given (by default the
    // one installed with setWindowFactory).
    static std::shared_ptr<CLSPD_ZOVRENA> create(WindowFactory windowFactory = {});
    ~CLSPD_ZOVRENA() override;
    CLSPD_ZOVRENA(const CLSPD_ZOVRENA&) = delete;
    CLSPD_ZOVRENA& operator=(const CLSPD_ZOVRENA&) = delete;

    // Cinterface
    void setClsGlobal(std::shared_ptr<krl::host::ClsGlobal> value) override;
    std::shared_ptr<krl::host::ClsGlobal> clsGlobal() override;
    void setActiveFrame(std::shared_ptr<krl::host::FrameAccess> value) override;
    std::shared_ptr<krl::host::FrameAccess> activeFrame() override;
    void setActiveNavigator(std::shared_ptr<krl::host::Navigator> value) override;
    std::shared_ptr<krl::host::Navigator> activeNavigator() override;
    void setActiveDll(std::shared_ptr<krl::host::Cinterface> value) override;
    std::shared_ptr<krl::host::Cinterface> activeDll() override;
    void setStatusBar(krl::ObjectPtr value) override;
    krl::ObjectPtr statusBar() override;
    void setCanInsert(bool value) override;
    bool canInsert() override;
    void setCanDelete(bool value) override;
    bool canDelete() override;
    void setCanUpdate(bool value) override;
    bool canUpdate() override;
    void setCanQbe(bool value) override;
    bool canQbe() override;
    void setWindowState(std::int32_t value) override;
    std::int32_t windowState() override;
    void setWindowModal(bool value) override;
    bool windowModal() override;
    void setProgramMode(std::int32_t value) override;
    std::int32_t programMode() override;
    void setMenuModulo(krl::Variant value) override;
    krl::Variant menuModulo() override;
    void setMenuPadre(krl::Variant value) override;
    krl::Variant menuPadre() override;
    void setMenuProg(krl::Variant value) override;
    krl::Variant menuProg() override;
    void setCaption(krl::Variant value) override;
    krl::Variant caption() override;
    void setHwndParent(std::int32_t value) override;
    std::int32_t hwndParent() override;
    krl::Variant showForm() override;
    krl::Variant closeForm() override;
    void setConnection(std::shared_ptr<krl::ado::Connection> value) override;
    std::shared_ptr<krl::ado::Connection> connection() override;
    krl::ObjectPtr cwindow() override;
    krl::Variant transferData(krl::Variant& data) override;
    krl::Variant top() override;
    void setTop(krl::Variant value) override;
    krl::Variant left() override;
    void setLeft(krl::Variant value) override;
    void setClsVoceMenu(std::shared_ptr<krl::host::MenuEntry> value) override;
    std::shared_ptr<krl::host::MenuEntry> clsVoceMenu() override;
    void setIsActive(bool value) override;
    bool isActive() override;
    void setIsCalled(bool value) override;
    bool isCalled() override;
    void setFiltro(krl::Variant value) override;
    krl::Variant filtro() override;

    // Events of the host navigator (ActiveNavigator_...): each is ignored unless this program is
    // the host's active one.
    void BeforeChangeDitta(bool& cancel) override;
    void BeforeExportToOffice(bool& cancel, krl::host::ExportToOffice& exportToOffice) override;
    void InitializeLayoutObjectModel(bool& cancel, krl::host::LayoutModel& layout) override;
    void InitializeScriptObjectModel(bool& cancel, krl::host::ScriptModel& script) override;
    void ButtonPressed(bool& cancel, long buttonPress) override;

    // Event of the multimedia manager (CVidazIzozu_AfterMediaCreate).
    void AfterMediaCreate(bool& cancel, const krl::Variant& codiceMedia) override;

    // Sets the window icon from the current general-parameters row: "KProgrammaMM" when media are
    // attached to it, otherwise (and on any failure) "KProgramma".
    void RefreshProgramIcon();

    // A box by message id through the host's message service; without a program interface the
    // fallback message object shows the text behind "[x<id>x] ". Returns the answer (0 when the
    // box could not be shown).
    int ShowMessage(std::string_view text, long messageId, int buttons, std::string_view title,
                    const krl::Variant& params = {});
    // The host's text for the id ("[x<id>x] " + text without a program interface or id); with
    // quoteForSql 1 every single quote is doubled.
    std::string TranslateMessage(std::string_view text, long messageId,
                                 const krl::Variant& params = {}, int quoteForSql = 0);

    // Event DataTransfer(Data), raised by TransferData.
    using DataTransferHandler = std::function<void(krl::Variant& data)>;
    void onDataTransfer(DataTransferHandler handler);

    // The window (null before ShowForm); the web host reads it to draw it.
    std::shared_ptr<ProgramWindow> window() const { return window_; }
    const std::string& instanceId() { return instanceId_.get(); }

  private:
    explicit CLSPD_ZOVRENA(WindowFactory windowFactory);

    std::shared_ptr<krl::host::Cinterface> requireActiveDll();
    std::shared_ptr<ProgramWindow> requireWindow() const;
    krl::host::CVidazIzozu& multimediaManager();
    bool inactive();
    void multimediaLink();

    krl::diag::InstanceId instanceId_;
    WindowFactory windowFactory_;

    krl::ObjectPtr cwindow_;  // declared by the interface; nothing assigns it
    std::shared_ptr<krl::host::MenuEntry> menuEntry_;
    bool activeDllIsSelf_ = true;  // kept without a reference, so the object does not own itself
    std::shared_ptr<krl::host::Cinterface> activeDll_;
    std::shared_ptr<krl::host::ClsGlobal> clsGlobal_;
    std::shared_ptr<krl::host::Navigator> navigator_;
    std::shared_ptr<ProgramWindow> window_;
    std::shared_ptr<krl::ado::Connection> connection_;
    std::shared_ptr<krl::host::CVidazIzozu> multimedia_;
    ProgramMessages messages_;  // holds the fallback message object

    std::shared_ptr<krl::host::FrameAccess> activeFrame_;
    krl::ObjectPtr statusBar_;
    bool canInsert_ = false;
    bool canDelete_ = false;
    bool canUpdate_ = false;
    bool canQbe_ = false;
    std::int16_t windowState_ = 0;
    bool windowModal_ = false;
    std::int16_t programMode_ = 0;
    krl::Variant menuModulo_;
    krl::Variant menuPadre_;
    krl::Variant menuProg_;
    krl::Variant caption_;
    std::int32_t hwndParent_ = 0;
    std::int32_t top_ = 0;
    std::int32_t left_ = 0;
    bool isActive_ = false;
    bool isCalled_ = false;

    std::vector<DataTransferHandler> dataTransferHandlers_;
};

// Registers the program's creatable class under its ProgID.
void registerProgramClass(krl::host::ProgIdRegistry& registry);

}  // namespace duza_zovrena::host
