#include "krl/controls/control.h"

#include "krl/controls/container.h"
#include "krl/controls/frame.h"

#include <utility>

namespace krl::controls {

std::string_view typeName(Kind kind) {
    switch (kind) {
        case Kind::Combo:
            return "KRL_COMBO";
        case Kind::CheckBox:
            return "KRL_CHECKBOX";
        case Kind::EditM:
            return "TXT_EDITM";
        case Kind::Label:
            return "KRL_LABEL";
        case Kind::Frame:
            return "WLFrame";
        case Kind::SideBar:
            return "KRL_SIDEBAR";
        case Kind::GridNav:
            return "KRL_GRIDNAV";
        case Kind::ResizeForm:
            return "KRL_RESIZEFORM";
        case Kind::MdiContainer:
            return "MDIActiveX";
        case Kind::UserControl:
            return "UserControl";
        case Kind::QGrid:
            return "KRL_QGRID";
    }
    return "";
}

Control::Control(Kind kind, std::string name) : kind_(kind), name_(std::move(name)) {}

Control::~Control() {
    if (parent_ != nullptr) {
        parent_->forget(*this);
    }
}

std::string Control::typeName() const {
    return std::string(controls::typeName(kind_));
}

bool Control::upperCase() const {
    return displayFormat_ == "Maiuscolo";
}

bool Control::effectivelyEnabled() const {
    for (const Control* control = this; control != nullptr; control = control->parent_) {
        if (!control->enabled_) {
            return false;
        }
    }
    return true;
}

bool Control::effectivelyVisible() const {
    for (const Control* control = this; control != nullptr; control = control->parent_) {
        if (!control->visible_) {
            return false;
        }
    }
    return true;
}

void Control::setText(std::string_view text) {
    std::string value = normalise(text);
    if (value == text_) {
        return;
    }
    text_ = std::move(value);
    if (sink_ != nullptr) {
        sink_->valueChanged(*this, ChangeOrigin::Code);
    }
    raiseChange();
}

void Control::load(std::string_view text) {
    text_ = normalise(text);
    raiseChange();
}

void Control::terminate() {
    sink_ = nullptr;
    clearEvents();
}

InputResult Control::checkInput() const {
    if (!effectivelyVisible() || !effectivelyEnabled()) {
        return InputResult::ignore("Il controllo " + name_ + " non è abilitato.");
    }
    if (sink_ != nullptr && !sink_->acceptsInput(*this)) {
        return InputResult::refuse(sink_->inputRefusal(*this));
    }
    return InputResult::accept();
}

InputResult Control::commitUserValue(std::string text) {
    std::string previous = std::exchange(text_, std::move(text));
    if (sink_ != nullptr) {
        try {
            sink_->valueChanged(*this, ChangeOrigin::User);
        } catch (const VbError& error) {
            text_ = std::move(previous);
            return InputResult::refuse(error.description());
        }
    }
    raiseChange();
    return InputResult::accept();
}

}  // namespace krl::controls
