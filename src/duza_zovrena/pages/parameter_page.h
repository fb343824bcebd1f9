#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/host/program_messages.h"
#include "duza_zovrena/pages/declaration.h"
#include "duza_zovrena/pages/page.h"
#include "krl/controls/check_box.h"
#include "krl/controls/combo.h"
#include "krl/controls/edit.h"
#include "krl/controls/frame.h"
#include "krl/controls/grid.h"
#include "krl/controls/resize_form.h"
#include "krl/diag/trace.h"
#include "krl/trap/trap.h"

namespace krl::host {
class CLSFW_MULTILINGUA;
class ErrorLog;
}  // namespace krl::host

namespace duza_zovrena::pages {

class CodeField;

// The framework's component form the host hands a page: it knows whether the page is rendered by
// the web front end.
class ComponentForm : public krl::Object {
  public:
    bool webStatus() const { return webStatus_; }
    void setWebStatus(bool value) { webStatus_ = value; }

  private:
    bool webStatus_ = false;
};

// The page's controls collection as the host's script and layout models receive it.
class PageControls : public krl::Object {
  public:
    explicit PageControls(const krl::controls::ControlContainer& page) : page_(&page) {}
    const std::vector<krl::controls::ControlPtr>& items() const { return page_->controls(); }

  private:
    const krl::controls::ControlContainer* page_;
};

// The page protocol, once for every page: the members the window sets, Initialize with its checks,
// the combos, the registration with the data frame and the host's models, focus, messages, the
// error routine, the resize control, the code fields and the trace lines, all built from the page's
// declaration.
class ParameterPage : public Page, public std::enable_shared_from_this<ParameterPage> {
  public:
    // The title of the program in the error reports.
    static constexpr std::string_view ApplicationTitle = "DUZA_ZOVRENA";

    explicit ParameterPage(PageDeclaration declaration);
    ~ParameterPage() override;

    const std::string& className() const override { return declaration_.className; }
    const std::string& title() const override { return declaration_.title; }
    const PageDeclaration& declaration() const { return declaration_; }
    bool hasConnection() const override { return declaration_.members.connection; }
    bool hasDecodeLookup() const override { return declaration_.members.decodeLookup; }
    bool hasVirtualFrame() const override { return declaration_.hasVirtualFrame(); }

    void setActiveInterface(std::shared_ptr<krl::host::Cinterface> value) override;
    std::shared_ptr<krl::host::Cinterface> activeInterface() const override;
    void setVirtualFrame(std::shared_ptr<krl::frame::VirtualFrame> value) override;
    std::shared_ptr<krl::frame::VirtualFrame> virtualFrame() const override;
    void setRecordset(std::shared_ptr<krl::ado::Recordset> value) override;
    std::shared_ptr<krl::ado::Recordset> recordset() const override;
    void setConnection(std::shared_ptr<krl::ado::Connection> value) override;
    std::shared_ptr<krl::ado::Connection> connection() const { return connection_; }
    void setClsDecodeProduzione(std::shared_ptr<krl::host::ClsDecodeProduzione> value) override;
    void setClsLookupProduzione(std::shared_ptr<krl::host::ClsLookupProduzione> value) override;
    std::shared_ptr<krl::host::ClsDecodeProduzione> clsDecodeProduzione() const { return decode_; }
    std::shared_ptr<krl::host::ClsLookupProduzione> clsLookupProduzione() const { return lookup_; }
    void setClsDecodeListiniParametrici(
        std::shared_ptr<krl::host::ClsDecodeListiniParametrici> value) override;
    void setClsLookupListiniParametrici(
        std::shared_ptr<krl::host::ClsLookupListiniParametrici> value) override;
    std::shared_ptr<krl::host::ClsDecodeListiniParametrici> clsDecodeListiniParametrici() const {
        return decodeListini_;
    }
    std::shared_ptr<krl::host::ClsLookupListiniParametrici> clsLookupListiniParametrici() const {
        return lookupListini_;
    }

    std::uint32_t BackColor() const { return backColor_; }
    void setBackColor(std::uint32_t value) { backColor_ = value; }

    bool Initialize() override;
    void Terminate() override;
    void InitializeLayoutObjectModel() override;
    void SetFocus(std::string_view focusedControlName = {}) override;

    // The container shows or hides the page (the resize control follows), or resizes it.
    void setVisible(bool value) override;
    void Resize();

    // The host framework's Component interface.
    void setComponentForm(krl::ObjectPtr form);
    krl::ObjectPtr componentForm() const { return componentForm_; }
    void setComponentParent(std::int32_t handle);
    std::int32_t componentParent() const;
    bool componentWebStatus() const;

    void prepareValueLists() override { FillCombos(); }

    // The routines every page carries.
    virtual bool FillCombos();
    bool AddVirtualFrameControl();
    // Each ID edit of the page, in tab order, gets the current company and the program interface.
    bool InitializeEditId();
    bool InitializeScriptObjectModel();
    // A box by message id, titled as given: through the host's message service, or, without a
    // program interface, through the fallback message object. Returns the answer (0 when no box
    // could be shown).
    int ShowMessage(long messageId, int buttons, std::string_view title,
                    const krl::Variant& params = {});
    std::string TranslateMessage(std::string_view text, long messageId,
                                 const krl::Variant& params = {}, int quoteForSql = 0);
    // The common error routine: returns 3 Abort, 4 Retry or 5 Ignore.
    int HandleError(std::string_view routine, const krl::VbError& error);
    krl::trap::ErrorRoutine errorRoutine();
    // True when the document code is not acceptable for the type and subtype (message 23389).
    bool ControlloValiditaDoc(std::string_view codDoc, int tipoDoc, int sottotipoDoc);
    // The same check accepting any of several subtypes, reporting its errors under `routine`.
    bool documentRefused(std::string_view routine, std::string_view code, int type,
                         std::span<const int> subtypes);
    // The same check accepting any of several kinds.
    bool documentRefused(std::string_view routine, std::string_view code,
                         std::span<const DocumentKind> kinds);

    // What the code fields read through the program interface's global object.
    krl::Variant companyCode() const;
    std::string hostConnectionString() const;

    krl::controls::ResizeForm& resizeControl() { return *resize_; }
    const std::string& instanceId() { return trace_->instanceId(); }

    // A control of the page; VbError 5 when the page has no such control of that kind.
    template <class T>
    std::shared_ptr<T> control(std::string_view name) const {
        auto typed = std::dynamic_pointer_cast<T>(findShared(name));
        if (!typed) {
            missingControl(name);
        }
        return typed;
    }

    // Beside each indicator that follows a general setting, that setting's value now, read with
    // `general` from the company's general row.
    void showEffectiveValues(const std::function<krl::Variant(std::string_view column)>& general);
    // Sets up a declared grid: translated captions and choices, key column, layout key (the page's
    // name, ".", the grid's name), bound to the recordset.
    void IniQGrid(std::string_view grid, std::shared_ptr<krl::ado::Recordset> recordset);

    // The window turns side-bar items on and off for the page's rules.
    using ItemSwitch =
        std::function<void(std::string_view group, std::string_view item, bool enabled)>;
    void setItemSwitch(ItemSwitch value) { itemSwitch_ = std::move(value); }
    void switchItem(std::string_view group, std::string_view item, bool enabled) const;

    // Enabling handlers: every step runs with errors ignored.
    void onChangeRow(std::string_view combo, std::function<void(krl::controls::Combo&)> rule);
    void onClick(std::string_view checkBox, std::function<void(krl::controls::CheckBox&)> rule);
    void onValidate(std::string_view edit,
                    std::function<void(krl::controls::EditM&, bool& cancel)> rule);

  private:
    void buildFrames();
    void buildControls();
    void buildGrids();
    void addCodeField(const CodeFieldDef& field);
    void addPatternRule(const PatternRule& rule);
    void applyPatternRule(const PatternRule& rule, const krl::controls::Control& source);
    [[noreturn]] static void missingControl(std::string_view name);
    bool check(const InitializeCheck& step);
    bool recordsetUsable() const;
    bool registered(const krl::controls::Control& control) const;
    krl::host::CLSFW_MULTILINGUA& fallbackMessages();
    void registerFrames();

    // First member: the "INI" line is the first thing the page writes; the destructor resets it
    // before terminating, so that "TER" comes first there.
    std::optional<krl::diag::ObjectTrace> trace_;
    PageDeclaration declaration_;
    data::Record record_;
    std::shared_ptr<krl::host::ErrorLog> errorLog_;
    std::shared_ptr<krl::host::Cinterface> activeInterface_;
    std::shared_ptr<krl::frame::VirtualFrame> virtualFrame_;
    std::shared_ptr<krl::ado::Recordset> recordset_;
    std::shared_ptr<krl::ado::Connection> connection_;
    std::shared_ptr<krl::host::ClsDecodeProduzione> decode_;
    std::shared_ptr<krl::host::ClsLookupProduzione> lookup_;
    std::shared_ptr<krl::host::ClsDecodeListiniParametrici> decodeListini_;
    std::shared_ptr<krl::host::ClsLookupListiniParametrici> lookupListini_;
    std::shared_ptr<krl::host::CLSFW_MULTILINGUA> fallbackMessages_;
    host::ProgramMessages texts_;
    krl::ObjectPtr componentForm_;
    std::int32_t componentParent_ = 0;
    std::int32_t ownWindowHandle_;
    std::uint32_t backColor_ = 0x8000000F;  // the system's button face colour
    std::shared_ptr<PageControls> controlsCollection_;
    std::shared_ptr<krl::controls::ResizeForm> resize_;
    std::vector<std::pair<std::string, int>> resizeModes_;
    std::vector<std::unique_ptr<CodeField>> codeFields_;
    ItemSwitch itemSwitch_;
};

}  // namespace duza_zovrena::pages
