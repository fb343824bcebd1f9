#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "krl/controls/control.h"
#include "krl/controls/frame.h"

namespace krl::controls {

// The controls of a page or of the window, as a form designer lays them out: in the order they
// were added (which is also their initial tab order), found by name (case-insensitive, as the
// runtime does), with the control that has the focus.
class ControlContainer {
  public:
    explicit ControlContainer(std::string name = {});
    virtual ~ControlContainer();
    ControlContainer(const ControlContainer&) = delete;
    ControlContainer& operator=(const ControlContainer&) = delete;

    const std::string& containerName() const { return containerName_; }

    // Adds a control, optionally inside a frame of this container. A name already present raises
    // VbError (the designer refuses duplicates).
    template <typename T>
    std::shared_ptr<T> add(std::shared_ptr<T> control, Frame* parent = nullptr) {
        adopt(control, parent);
        return control;
    }
    template <typename T, typename... Args>
    std::shared_ptr<T> create(Frame* parent, Args&&... args) {
        return add(std::make_shared<T>(std::forward<Args>(args)...), parent);
    }
    // Removes a control by name; nothing when there is none.
    void remove(std::string_view name);

    const std::vector<ControlPtr>& controls() const { return controls_; }
    Control* find(std::string_view name) const;
    ControlPtr findShared(std::string_view name) const;
    template <typename T>
    T* findAs(std::string_view name) const {
        return dynamic_cast<T*>(find(name));
    }

    // The controls sorted by tab index (ties in the order they were added).
    std::vector<Control*> tabOrder() const;
    // The first control in tab order that can take the focus (not a label or a frame).
    Control* firstControl() const;

    Control* focused() const { return focused_; }
    // Moves the focus. Leaving an edit whose typed text was not validated yet runs its Validate;
    // when Validate cancels, the focus stays where it is and the result is false.
    bool setFocus(Control* target);
    bool setFocus(std::string_view name);
    // The program moves the focus (a rule points at the field to correct, a page opens on its
    // first control): as setFocus, and the host then moves the person's focus there too, even when
    // the control already had the focus here.
    bool moveFocus(std::string_view name);
    // When the program last moved the focus in this container: 0 never; a larger number is a later
    // move, across every container of the process.
    std::uint64_t focusMoved() const { return focusMoved_; }

  private:
    void adopt(ControlPtr control, Frame* parent);

    std::string containerName_;
    std::vector<ControlPtr> controls_;
    Control* focused_ = nullptr;
    std::uint64_t focusMoved_ = 0;
    int nextTabIndex_ = 0;
};

}  // namespace krl::controls
