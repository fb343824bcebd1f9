#pragma once

#include <vector>

#include "krl/controls/control.h"

namespace krl::controls {

// A frame (WLFrame): groups controls, may carry a caption, and has the resize mode its page
// registers it with. Disabling or hiding a frame disables or hides what it holds.
class Frame : public Control {
  public:
    explicit Frame(std::string name, std::string caption = {});
    ~Frame() override;

    int resizeMode() const { return resizeMode_; }
    void setResizeMode(int mode) { resizeMode_ = mode; }

    // The controls placed in this frame, in the order they were placed.
    const std::vector<Control*>& children() const { return children_; }
    void place(Control& child);

  private:
    friend class Control;
    friend class ControlContainer;
    void forget(const Control& child);

    int resizeMode_ = 0;
    std::vector<Control*> children_;
};

class Label : public Control {
  public:
    explicit Label(std::string name, std::string caption = {});
};

}  // namespace krl::controls
