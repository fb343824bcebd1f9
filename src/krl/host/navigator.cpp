#include "krl/host/navigator.h"

#include <algorithm>

#include "krl/trap/trap.h"

namespace krl::host {

void LayoutModel::registerPage(std::string title, ObjectPtr extender, ObjectPtr controls) {
    pages_.push_back({std::move(title), std::move(extender), std::move(controls)});
}

long LayoutModel::apply() {
    applied_ = static_cast<long>(pages_.size());
    return applied_;
}

void LayoutModel::drop(const krl::Object* object) {
    std::erase_if(pages_, [&](const Page& page) {
        return page.extender.get() == object || page.controls.get() == object;
    });
}

void ScriptModel::registerObject(std::string name, ObjectPtr& object, Variant kindOrControls,
                                 std::string caption) {
    entries_.push_back({std::move(name), object, std::move(kindOrControls), std::move(caption)});
}

void ScriptModel::drop(const krl::Object* object) {
    std::erase_if(entries_, [&](const Entry& entry) { return entry.object.get() == object; });
}

void TraceObject::record(std::string objectName, int flag) {
    entries_.push_back({std::move(objectName), flag});
}

void TraceObject::dropMenuEntry(const Variant& menuEntryId) {
    droppedMenuEntries_.push_back(menuEntryId);
}

Navigator::Navigator()
    : layoutModel_(std::make_shared<LayoutModel>()),
      scriptModel_(std::make_shared<ScriptModel>()),
      traceObject_(std::make_shared<TraceObject>()) {}

void Navigator::connect(const std::shared_ptr<NavigatorEvents>& sink) {
    if (!sink) {
        return;
    }
    disconnect(sink.get());
    sinks_.push_back(sink);
}

void Navigator::disconnect(const NavigatorEvents* sink) {
    // A sink being destroyed can no longer be locked; expired entries go as well.
    std::erase_if(sinks_, [&](const std::weak_ptr<NavigatorEvents>& entry) {
        auto locked = entry.lock();
        return !locked || locked.get() == sink;
    });
}

std::size_t Navigator::connectedSinks() const {
    return static_cast<std::size_t>(std::count_if(
        sinks_.begin(), sinks_.end(), [](const auto& entry) { return !entry.expired(); }));
}

template <class Raise>
bool Navigator::raise(Raise&& raiseOne) {
    bool cancel = false;
    // A copy: a program may disconnect (or close) while it handles the event.
    std::vector<std::weak_ptr<NavigatorEvents>> sinks = sinks_;
    for (const auto& entry : sinks) {
        if (auto sink = entry.lock()) {
            krl::trap::ignoring([&] { raiseOne(*sink, cancel); });
        }
    }
    return cancel;
}

bool Navigator::raiseBeforeChangeDitta() {
    return raise([](NavigatorEvents& sink, bool& cancel) { sink.BeforeChangeDitta(cancel); });
}

bool Navigator::raiseBeforeExportToOffice(ExportToOffice& exportToOffice) {
    return raise([&](NavigatorEvents& sink, bool& cancel) {
        sink.BeforeExportToOffice(cancel, exportToOffice);
    });
}

bool Navigator::raiseInitializeLayoutObjectModel() {
    auto layout = layoutModel_;
    return raise([&](NavigatorEvents& sink, bool& cancel) {
        sink.InitializeLayoutObjectModel(cancel, *layout);
    });
}

bool Navigator::raiseInitializeScriptObjectModel() {
    auto script = scriptModel_;
    return raise([&](NavigatorEvents& sink, bool& cancel) {
        sink.InitializeScriptObjectModel(cancel, *script);
    });
}

bool Navigator::raiseButtonPressed(long buttonPress) {
    return raise(
        [&](NavigatorEvents& sink, bool& cancel) { sink.ButtonPressed(cancel, buttonPress); });
}

void Navigator::setFrameStatus(std::int16_t status) {
    frameStatus_ = status;
}

void Navigator::dropReferences(const krl::Object* object) {
    layoutModel_->drop(object);
    scriptModel_->drop(object);
}

}  // namespace krl::host
