#pragma once

#include "krl/controls/control.h"
#include "krl/controls/event.h"

namespace krl::controls {

// KRL_CHECKBOX: its text is "0" (off) or "1" (on). Any value read as a number other than 0 shows
// as "1"; Null, blank and 0 show as "0".
class CheckBox : public Control {
  public:
    explicit CheckBox(std::string name, std::string caption = {});

    // Raised when the value changes (by the person, from code, or when the frame loads).
    Event<> Click;

    bool checked() const { return text() == "1"; }
    void setChecked(bool value) { setText(value ? "1" : "0"); }

    // The person clicks: the value turns over.
    InputResult userClick();

  protected:
    std::string normalise(std::string_view text) const override;
    void raiseChange() override { Click.raise(); }
    void clearEvents() override { Click.clear(); }
};

}  // namespace krl::controls
