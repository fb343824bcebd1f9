#include "krl/host/global.h"

#include <algorithm>

#include "krl/host/catalogue_message_service.h"
#include "krl/host/cinterface.h"

namespace krl::host {

namespace {

constexpr long ElementNotFound = 35601;

[[noreturn]] void elementNotFound(std::string_view key) {
    krl::err::raise(ElementNotFound, "Elemento non trovato", std::string(key));
}

}  // namespace

void ImageList::add(std::string key, std::string source) {
    for (Picture& picture : pictures_) {
        if (picture.key == key) {
            picture.source = std::move(source);
            return;
        }
    }
    pictures_.push_back({std::move(key), std::move(source)});
}

bool ImageList::contains(std::string_view key) const {
    return std::any_of(pictures_.begin(), pictures_.end(),
                       [&](const Picture& picture) { return picture.key == key; });
}

const Picture& ImageList::picture(std::string_view key) const {
    for (const Picture& picture : pictures_) {
        if (picture.key == key) {
            return picture;
        }
    }
    elementNotFound(key);
}

std::shared_ptr<ToolbarButtons> ToolbarButtons::standard() {
    auto buttons = std::make_shared<ToolbarButtons>();
    for (const char* name : {"FirstRecord", "BackwardPage", "PreviousRecord", "NextRecord",
                             "ForwardPage", "LastRecord", "Query", "ExecuteQuery", "New", "Save",
                             "Undo", "Delete", "Print", "Multimedia"}) {
        buttons->add(name);
    }
    return buttons;
}

void ToolbarButtons::add(std::string name, bool enabled) {
    if (contains(name)) {
        find(name).enabled = enabled;
        return;
    }
    buttons_.push_back({std::move(name), enabled});
}

bool ToolbarButtons::contains(std::string_view name) const {
    return std::any_of(buttons_.begin(), buttons_.end(),
                       [&](const Button& button) { return button.name == name; });
}

ToolbarButtons::Button& ToolbarButtons::find(std::string_view name) {
    for (Button& button : buttons_) {
        if (button.name == name) {
            return button;
        }
    }
    elementNotFound(name);
}

bool ToolbarButtons::enabled(std::string_view name) const {
    return const_cast<ToolbarButtons*>(this)->find(name).enabled;
}

void ToolbarButtons::setEnabled(std::string_view name, bool enabled) {
    find(name).enabled = enabled;
}

std::vector<std::string> ToolbarButtons::names() const {
    std::vector<std::string> names;
    for (const Button& button : buttons_) {
        names.push_back(button.name);
    }
    return names;
}

ClsGlobal::ClsGlobal()
    : imageList_(std::make_shared<ImageList>()),
      messageService_(std::make_shared<CatalogueMessageService>()),
      toolbarButtons_(ToolbarButtons::standard()) {
    imageList_->add("KProgramma", "");
    imageList_->add("KProgrammaMM", "");
}

std::string ClsGlobal::menuKey(const Variant& menuEntryId) {
    return menuEntryId.textOrEmpty();
}

void ClsGlobal::registerProgram(const Variant& menuEntryId,
                                const std::shared_ptr<Cinterface>& program) {
    programs_[menuKey(menuEntryId)] = program;
}

void ClsGlobal::deregisterProgram(const Variant& menuEntryId) {
    auto found = programs_.find(menuKey(menuEntryId));
    if (found == programs_.end()) {
        return;
    }
    if (found->second.lock() == currentProgram_.lock()) {
        currentProgram_.reset();
    }
    programs_.erase(found);
}

std::shared_ptr<Cinterface> ClsGlobal::registeredProgram(const Variant& menuEntryId) const {
    auto found = programs_.find(menuKey(menuEntryId));
    return found == programs_.end() ? nullptr : found->second.lock();
}

void ClsGlobal::setCurrentProgram(const std::shared_ptr<Cinterface>& program) {
    currentProgram_ = program;
}

void ClsGlobal::dropProgram(const Cinterface* program) {
    if (currentProgram_.lock().get() == program) {
        currentProgram_.reset();
    }
    std::erase_if(programs_, [&](const auto& entry) {
        auto registered = entry.second.lock();
        return !registered || registered.get() == program;
    });
}

void ClsGlobal::notifyParametersChanged(int kind, const Variant& company) {
    parameterChanges_.push_back({kind, company});
    if (listener_) {
        listener_(parameterChanges_.back());
    }
}

}  // namespace krl::host
