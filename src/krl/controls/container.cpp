#include "krl/controls/container.h"

#include <algorithm>
#include <atomic>

#include "krl/variant/text.h"

#include "krl/controls/edit.h"

namespace krl::controls {

namespace {

bool takesFocus(const Control& control) {
    return control.kind() != Kind::Label && control.kind() != Kind::Frame &&
           control.kind() != Kind::ResizeForm;
}

}  // namespace

ControlContainer::ControlContainer(std::string name) : containerName_(std::move(name)) {}

ControlContainer::~ControlContainer() {
    for (const auto& control : controls_) {
        control->container_ = nullptr;
    }
}

void ControlContainer::adopt(ControlPtr control, Frame* parent) {
    if (!control) {
        err::objectNotSet("controllo");
    }
    if (find(control->name()) != nullptr) {
        err::raise(err::InvalidProcedureCall, "Nome di controllo già presente: " + control->name());
    }
    if (parent != nullptr) {
        if (parent->container() != this) {
            err::raise(err::InvalidProcedureCall,
                       "Il frame " + parent->name() + " non appartiene a questo contenitore.");
        }
        parent->place(*control);
    }
    control->container_ = this;
    control->setTabIndex(nextTabIndex_++);
    controls_.push_back(std::move(control));
}

void ControlContainer::remove(std::string_view name) {
    auto it = std::find_if(controls_.begin(), controls_.end(),
                           [name](const ControlPtr& c) { return krl::sameText(c->name(), name); });
    if (it == controls_.end()) {
        return;
    }
    if (focused_ == it->get()) {
        focused_ = nullptr;
    }
    if (auto* frame = dynamic_cast<Frame*>(it->get())) {
        for (Control* child : std::vector<Control*>(frame->children())) {
            frame->forget(*child);
            child->parent_ = nullptr;
        }
    }
    if (Frame* parent = (*it)->parentFrame()) {
        parent->forget(**it);
        (*it)->parent_ = nullptr;
    }
    (*it)->container_ = nullptr;
    controls_.erase(it);
}

Control* ControlContainer::find(std::string_view name) const {
    return findShared(name).get();
}

ControlPtr ControlContainer::findShared(std::string_view name) const {
    for (const auto& control : controls_) {
        if (krl::sameText(control->name(), name)) {
            return control;
        }
    }
    return nullptr;
}

std::vector<Control*> ControlContainer::tabOrder() const {
    std::vector<Control*> ordered;
    ordered.reserve(controls_.size());
    for (const auto& control : controls_) {
        ordered.push_back(control.get());
    }
    std::stable_sort(ordered.begin(), ordered.end(), [](const Control* a, const Control* b) {
        return a->tabIndex() < b->tabIndex();
    });
    return ordered;
}

Control* ControlContainer::firstControl() const {
    for (Control* control : tabOrder()) {
        if (takesFocus(*control)) {
            return control;
        }
    }
    return nullptr;
}

bool ControlContainer::setFocus(Control* target) {
    if (target == focused_) {
        return true;
    }
    if (auto* edit = dynamic_cast<EditM*>(focused_); edit != nullptr && edit->pendingValidation()) {
        if (edit->userLeave().status == InputStatus::Refused) {
            return false;
        }
    }
    focused_ = target != nullptr && target->container() == this ? target : nullptr;
    return true;
}

bool ControlContainer::moveFocus(std::string_view name) {
    static std::atomic<std::uint64_t> moves{0};
    Control* target = find(name);
    if (target == nullptr || !setFocus(target)) {
        return false;
    }
    focusMoved_ = ++moves;
    return true;
}

bool ControlContainer::setFocus(std::string_view name) {
    Control* target = find(name);
    if (target == nullptr) {
        return false;
    }
    return setFocus(target);
}

}  // namespace krl::controls
