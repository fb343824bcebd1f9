#include "krl/host/progid.h"

#include "krl/variant/text.h"

#include <cctype>
#include <utility>

#include "krl/host/multilingua.h"
#include "krl/host/multimedia.h"

namespace krl::host {

namespace {

// The framework's own creatable classes.
struct FrameworkRegistry : ProgIdRegistry {
    FrameworkRegistry() {
        add(CLSFW_MULTILINGUA::progId, [] { return std::make_shared<CLSFW_MULTILINGUA>(); });
        add(CVidazIzozu::progId, [] { return CVidazIzozu::create(); });
    }
};

}  // namespace

ProgIdRegistry& ProgIdRegistry::instance() {
    static FrameworkRegistry registry;
    return registry;
}

std::string ProgIdRegistry::key(std::string_view progId) {
    return krl::upperAscii(progId);
}

void ProgIdRegistry::add(std::string_view progId, Factory factory) {
    std::lock_guard lock(mutex_);
    factories_[key(progId)] = std::move(factory);
}

bool ProgIdRegistry::remove(std::string_view progId) {
    std::lock_guard lock(mutex_);
    return factories_.erase(key(progId)) > 0;
}

bool ProgIdRegistry::contains(std::string_view progId) const {
    std::lock_guard lock(mutex_);
    return factories_.count(key(progId)) > 0;
}

ProgIdRegistry::Factory ProgIdRegistry::find(std::string_view progId) const {
    std::lock_guard lock(mutex_);
    auto found = factories_.find(key(progId));
    return found == factories_.end() ? Factory{} : found->second;
}

ObjectPtr ProgIdRegistry::create(std::string_view progId) const {
    Factory factory = find(progId);
    ObjectPtr object = factory ? factory() : nullptr;
    if (!object) {
        krl::err::raise(krl::err::CannotCreateObject, "Impossibile creare l'oggetto ActiveX",
                        std::string(progId));
    }
    return object;
}

ProgIdRegistry::Scope::Scope(ProgIdRegistry& registry, std::string_view progId, Factory factory)
    : registry_(registry), progId_(progId), previous_(registry.find(progId)) {
    registry_.add(progId_, std::move(factory));
}

ProgIdRegistry::Scope::~Scope() {
    if (previous_) {
        registry_.add(progId_, std::move(previous_));
    } else {
        registry_.remove(progId_);
    }
}

ObjectPtr createObject(std::string_view progId) {
    return ProgIdRegistry::instance().create(progId);
}

}  // namespace krl::host
