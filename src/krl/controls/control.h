#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "krl/variant/variant.h"

namespace krl::controls {

class Control;
class ControlContainer;
class Frame;

enum class Kind {
    Combo,         // KRL_COMBO
    CheckBox,      // KRL_CHECKBOX
    EditM,         // TXT_EDITM
    Label,         // KRL_LABEL
    Frame,         // WLFrame
    SideBar,       // KRL_SIDEBAR
    GridNav,       // KRL_GRIDNAV
    ResizeForm,    // KRL_RESIZEFORM
    MdiContainer,  // MDIActiveX
    UserControl,   // a page placed on the window; its type name is its class name
    QGrid,         // KRL_QGRID
};

// The type name the runtime reports for a control of that kind ("KRL_COMBO", "TXT_EDITM", ...).
std::string_view typeName(Kind kind);

// Where a change of a control's value came from.
enum class ChangeOrigin {
    User,  // an input entry point (the person typed, clicked, chose)
    Code,  // the program set the value
};

// What an input entry point did with the person's action.
enum class InputStatus {
    Accepted,  // the value is the control's value (and the bound column's, when bound)
    Refused,   // Validate cancelled, or the data frame could not take the value; see message
    Ignored,   // the control is disabled or hidden, or there was nothing to do
};

struct InputResult {
    InputStatus status = InputStatus::Ignored;
    std::string message;

    bool accepted() const { return status == InputStatus::Accepted; }
    static InputResult accept() { return {InputStatus::Accepted, {}}; }
    static InputResult refuse(std::string why) { return {InputStatus::Refused, std::move(why)}; }
    static InputResult ignore(std::string why = {}) {
        return {InputStatus::Ignored, std::move(why)};
    }
};

// The data frame a bound control is registered with. The control tells it every change of its
// value; the frame writes the value into the bound column and keeps its status.
class BindingSink {
  public:
    virtual ~BindingSink() = default;
    // False while the frame takes no input (locked, or no row to write into).
    virtual bool acceptsInput(const Control& control) const = 0;
    // What the person is told when acceptsInput says no.
    virtual std::string inputRefusal(const Control& /*control*/) const {
        return "I dati non sono modificabili.";
    }
    // Raises VbError when the column cannot take the value (the input is then refused).
    virtual void valueChanged(Control& control, ChangeOrigin origin) = 0;
};

// A framework control: identity, design-time properties, the value as text, and the container's
// properties (Enabled, Visible, tab order, parent frame).
//
// Values set from code behave as the runtime's controls do: the change is passed to the bound data
// frame and the control's change event (ChangeRow, Click, Change) is raised when the value really
// changed. When the data frame loads a row (load()) the change event is raised every time, so that
// the enabling rules of the page match the row being shown.
class Control {
  public:
    Control(Kind kind, std::string name);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Kind kind() const { return kind_; }
    virtual std::string typeName() const;
    const std::string& name() const { return name_; }

    // Design-time properties.
    const std::string& dbField() const { return dbField_; }  // `dbfield`: the bound column or ""
    void setDbField(std::string column) { dbField_ = std::move(column); }
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption) { caption_ = std::move(caption); }
    const std::string& labelText() const { return labelText_; }  // the label shown beside it
    void setLabelText(std::string text) { labelText_ = std::move(text); }
    // What the control's value means at the moment, shown beside it when not empty (a value that
    // follows another setting names the setting's value now).
    const std::string& effectiveText() const { return effectiveText_; }
    void setEffectiveText(std::string text) { effectiveText_ = std::move(text); }
    const Variant& tag() const { return tag_; }
    void setTag(Variant tag) { tag_ = std::move(tag); }
    bool mandatory() const { return mandatory_; }  // `obbligatorio`: drawn as required only
    void setMandatory(bool value) { mandatory_ = value; }
    int maxChar() const { return maxChar_; }  // `maxchar`: 0 = no limit
    void setMaxChar(int value) { maxChar_ = value < 0 ? 0 : value; }
    const std::string& displayFormat() const { return displayFormat_; }  // e.g. "Maiuscolo"
    void setDisplayFormat(std::string format) { displayFormat_ = std::move(format); }
    bool upperCase() const;                                   // display format "Maiuscolo"
    const Variant& defaultValue() const { return default_; }  // `default`: written into a new row
    void setDefaultValue(Variant value) { default_ = std::move(value); }

    // Container properties.
    bool enabled() const { return enabled_; }
    void setEnabled(bool value) { enabled_ = value; }
    bool visible() const { return visible_; }
    void setVisible(bool value) { visible_ = value; }
    // Enabled/visible including every enclosing frame (what the person can actually use).
    bool effectivelyEnabled() const;
    bool effectivelyVisible() const;
    int tabIndex() const { return tabIndex_; }
    void setTabIndex(int value) { tabIndex_ = value; }
    Frame* parentFrame() const { return parent_; }
    ControlContainer* container() const { return container_; }

    // The value as text. setText is the program setting it (see the class comment).
    const std::string& text() const { return text_; }
    virtual void setText(std::string_view text);

    // The data frame's side.
    void bind(BindingSink* sink) { sink_ = sink; }
    BindingSink* binding() const { return sink_; }
    // The frame shows a column value: the text is replaced and the change event raised.
    void load(std::string_view text);
    // What the bound column holds, and the frame showing it: the text itself, except for a
    // control that shows something else than it stores (the ID edit).
    virtual std::string columnText() const { return text_; }
    virtual void loadColumn(std::string_view value) { load(value); }
    // TerminateControl: drops the binding and every event handler.
    virtual void terminate();

  protected:
    // Kinds normalise a value set from code or loaded (a combo keeps any code, a checkbox "0"/"1").
    virtual std::string normalise(std::string_view text) const { return std::string(text); }
    // Raises the kind's change event.
    virtual void raiseChange() {}
    virtual void clearEvents() {}

    // Replaces the text without any notification.
    void storeText(std::string text) { text_ = std::move(text); }
    // A new value from the person: tells the frame (which may refuse it: the old value comes back),
    // then raises the change event.
    InputResult commitUserValue(std::string text);
    // Common checks of the input entry points.
    InputResult checkInput() const;

  private:
    friend class ControlContainer;
    friend class Frame;

    Kind kind_;
    std::string name_;
    std::string dbField_;
    std::string caption_;
    std::string labelText_;
    std::string effectiveText_;
    Variant tag_;
    bool mandatory_ = false;
    int maxChar_ = 0;
    std::string displayFormat_;
    Variant default_;
    bool enabled_ = true;
    bool visible_ = true;
    int tabIndex_ = 0;
    Frame* parent_ = nullptr;
    ControlContainer* container_ = nullptr;
    std::string text_;
    BindingSink* sink_ = nullptr;
};

using ControlPtr = std::shared_ptr<Control>;

}  // namespace krl::controls
