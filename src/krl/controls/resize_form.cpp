#include "krl/controls/resize_form.h"

#include <algorithm>

namespace krl::controls {

ResizeForm::ResizeForm(std::string name) : Control(Kind::ResizeForm, std::move(name)) {}

void ResizeForm::registerControl(std::string control, int flags) {
    for (auto& registration : registrations_) {
        if (registration.control == control) {
            registration.flags = flags;
            return;
        }
    }
    registrations_.push_back({std::move(control), flags});
}

void ResizeForm::unregisterControl(std::string_view control) {
    std::erase_if(registrations_,
                  [control](const Registration& r) { return r.control == control; });
    std::erase(webRendering_, control);
}

std::optional<int> ResizeForm::anchoring(std::string_view control) const {
    for (const auto& registration : registrations_) {
        if (registration.control == control) {
            return registration.flags;
        }
    }
    return std::nullopt;
}

void ResizeForm::addWebRendering(std::string control) {
    if (!webRendering(control)) {
        webRendering_.push_back(std::move(control));
    }
}

bool ResizeForm::webRendering(std::string_view control) const {
    return std::find(webRendering_.begin(), webRendering_.end(), control) != webRendering_.end();
}

void ResizeForm::start() {
    if (!registered_) {
        registered_ = true;
        RegisterControls.raise();
    }
    running_ = true;
}

bool ResizeForm::resize() {
    if (!running_) {
        return false;
    }
    bool allow = false;
    QueryResize.raise(allow);
    if (allow) {
        ++layoutPasses_;
    }
    return allow;
}

void ResizeForm::cleanUp() {
    running_ = false;
    registered_ = false;
    registrations_.clear();
    webRendering_.clear();
}

void ResizeForm::clearEvents() {
    QueryResize.clear();
    RegisterControls.clear();
}

MdiChildContainer::MdiChildContainer(std::string name)
    : Control(Kind::MdiContainer, std::move(name)) {}

void MdiChildContainer::initialise(double left, double top, double width, double height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    initialised_ = true;
}

void MdiChildContainer::setWindowState(int state) {
    if (state < 0 || state > 2) {
        err::raise(err::InvalidProcedureCall, "Stato della finestra non valido.");
    }
    windowState_ = state;
}

}  // namespace krl::controls
