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
#include "duza_zovrena/pages/page.h"
#include "krl/controls/check_box.h"
#include "krl/controls/combo.h"
#include "krl/controls/edit.h"
#include "krl/controls/frame.h"
#include "krl/controls/resize_form.h"
#include "krl/diag/trace.h"
#include "krl/trap/trap.h"

namespace krl::host {
class CLSFW_MULTILINGUA;
class ErrorLog;
}  // namespace krl::host

namespace duza_zovrena::pages {

class CodeField;
struct CodeFieldDef;

// Message ids of the page protocol.
namespace msg {
inline constexpr long NoActiveInterface = 5253;
inline constexpr long NoVirtualFrame = 60933;
inline constexpr long NoRecord = 48162;
inline constexpr long NoConnection = 15170;
inline constexpr long NoDecode = 38285;
inline constexpr long NoLookup = 38292;
inline constexpr long DocumentNotValid = 23389;
inline constexpr long NoErrorLog = 11081;
inline constexpr long Standard = 55020;
inline constexpr long Personalizzato = 44336;
}  // namespace msg

// The steps of Initialize: the checks of the members the window set, then the preparation.
enum class InitializeStep {
    ActiveInterface,
    VirtualFrame,
    Recordset,
    Connection,
    ClsDecodeProduzione,
    ClsLookupProduzione,
    ClsDecodeListiniParametrici,
    ClsLookupListiniParametrici,
    FillCombos,
    AddVirtualFrameControl,
    InitializeScriptObjectModel,
};

struct InitializeCheck {
    InitializeStep step;
    long messageId = 0;  // shown when the check fails; 0 for the preparation steps
};

// The steps in the order given, each check with its usual message id.
std::vector<InitializeCheck> initializeSteps(std::initializer_list<InitializeStep> steps);

// What tells one page from another in the protocol.
struct PageDefinition {
    std::string className;
    std::string title;
    bool connection = false;        // has Connection
    bool decodeLookup = false;      // has ClsDecodeProduzione and ClsLookupProduzione
    bool priceListObjects = false;  // has the parametric price-list decode and lookup objects
    bool virtualFrame = true;       // has VirtualFrame and Recordset
    bool layoutModel = true;        // registers with the host's layout model
    std::vector<InitializeCheck> initialize;
    std::string firstControl;  // the focus of SetFocus without a name
    // Controls registered with the data frame (and terminated at Terminate): by type name, less
    // the ones named.
    std::vector<std::string> registeredTypes = {"KRL_CHECKBOX", "TXT_EDITM", "KRL_COMBO"};
    std::vector<std::string> notRegistered;
};

// A frame of the page, inside `parent` (the page itself when empty); resizeMode 0 when the frame
// is not registered with the resize control.
struct FrameDef {
    std::string_view name;
    std::string_view caption;
    std::string_view parent;
    int resizeMode = 0;
};

enum class ControlKind { Combo, CheckBox, Edit, Label };

// Design-time properties of a bound control, written as Design{}.chars(5).required().
struct Design {
    int maxChar = 0;
    bool mandatory = false;
    std::optional<std::int16_t> defaultValue;
    bool upperCase = false;
    bool enabled = true;

    Design chars(int count) const {
        Design copy = *this;
        copy.maxChar = count;
        return copy;
    }
    Design required() const {
        Design copy = *this;
        copy.mandatory = true;
        return copy;
    }
    Design byDefault(std::int16_t value) const {
        Design copy = *this;
        copy.defaultValue = value;
        return copy;
    }
    Design upper() const {
        Design copy = *this;
        copy.upperCase = true;
        return copy;
    }
    Design disabled() const {
        Design copy = *this;
        copy.enabled = false;
        return copy;
    }
};

// A control of the page in its frame. Bound controls take their caption from the column
// definitions; labels take `label` as caption.
struct ControlDef {
    std::string_view frame;
    std::string_view name;
    ControlKind kind;
    std::string_view column;  // the bound column; empty for labels
    std::string_view label;   // the label shown beside the control
    Design design = {};
};

// The rows of a combo as FillCombos adds them: (label, code).
struct ComboRows {
    std::string_view combo;
    std::vector<std::pair<std::string_view, krl::Variant>> rows;
};

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
// error routine, the resize control, the code fields and the trace lines. A page declares its
// frames, controls, value lists, code fields and enabling rules in its constructor.
class ParameterPage : public Page, public std::enable_shared_from_this<ParameterPage> {
  public:
    // The title of the program in the error reports.
    static constexpr std::string_view ApplicationTitle = "DUZA_ZOVRENA";

    explicit ParameterPage(PageDefinition definition);
    ~ParameterPage() override;

    const std::string& className() const override { return definition_.className; }
    const std::string& title() const override { return definition_.title; }
    const PageDefinition& definition() const { return definition_; }
    bool hasConnection() const override { return definition_.connection; }
    bool hasDecodeLookup() const override { return definition_.decodeLookup; }
    bool hasVirtualFrame() const override { return definition_.virtualFrame; }

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

    // What the code fields read through the program interface's global object.
    krl::Variant companyCode() const;
    std::string hostConnectionString() const;

    krl::controls::ResizeForm& resizeControl() { return *resize_; }
    const std::string& instanceId() { return trace_->instanceId(); }

  protected:
    // Building the page, in tab order.
    void buildFrames(std::span<const FrameDef> frames);
    void buildControls(std::span<const ControlDef> controls);
    void declareCombos(std::vector<ComboRows> combos);
    void addCodeField(const CodeFieldDef& field);

    // A control of the page; VbError 5 when the page has no such control of that kind.
    template <class T>
    std::shared_ptr<T> control(std::string_view name) const {
        auto typed = std::dynamic_pointer_cast<T>(findShared(name));
        if (!typed) {
            missingControl(name);
        }
        return typed;
    }

    // Enabling handlers: every step runs with errors ignored.
    void onChangeRow(std::string_view combo, std::function<void(krl::controls::Combo&)> rule);
    void onClick(std::string_view checkBox, std::function<void(krl::controls::CheckBox&)> rule);
    void onValidate(std::string_view edit,
                    std::function<void(krl::controls::EditM&, bool& cancel)> rule);

  private:
    [[noreturn]] static void missingControl(std::string_view name);
    bool check(const InitializeCheck& step);
    bool recordsetUsable() const;
    bool registered(const krl::controls::Control& control) const;
    krl::host::CLSFW_MULTILINGUA& fallbackMessages();
    void registerFrames();

    // First member: the "INI" line is the first thing the page writes; the destructor resets it
    // before terminating, so that "TER" comes first there.
    std::optional<krl::diag::ObjectTrace> trace_;
    PageDefinition definition_;
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
    std::vector<ComboRows> combos_;
    std::vector<std::unique_ptr<CodeField>> codeFields_;
};

}  // namespace duza_zovrena::pages
