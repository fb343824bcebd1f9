#include "krl/controls/frame.h"

#include <algorithm>

namespace krl::controls {

Frame::Frame(std::string name, std::string caption) : Control(Kind::Frame, std::move(name)) {
    setCaption(std::move(caption));
}

Frame::~Frame() {
    for (Control* child : children_) {
        child->parent_ = nullptr;
    }
}

void Frame::place(Control& child) {
    if (child.parent_ == this) {
        return;
    }
    if (child.parent_ != nullptr) {
        child.parent_->forget(child);
    }
    for (Control* up = this; up != nullptr; up = up->parent_) {
        if (up == &child) {
            err::raise(err::InvalidProcedureCall, "Un frame non può contenere se stesso.");
        }
    }
    child.parent_ = this;
    children_.push_back(&child);
}

void Frame::forget(const Control& child) {
    std::erase(children_, &child);
}

Label::Label(std::string name, std::string caption) : Control(Kind::Label, std::move(name)) {
    setCaption(std::move(caption));
}

}  // namespace krl::controls
