#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "krl/variant/variant.h"

namespace krl::host {

// Classes creatable by ProgID, as the system's class registration offers them. ProgIDs compare
// without regard to case. Creating an unknown ProgID raises error 429.
class ProgIdRegistry {
  public:
    using Factory = std::function<ObjectPtr()>;

    // The process's registry, holding the framework's own classes.
    static ProgIdRegistry& instance();

    ProgIdRegistry() = default;

    void add(std::string_view progId, Factory factory);  // replaces an existing registration
    bool remove(std::string_view progId);
    bool contains(std::string_view progId) const;
    Factory find(std::string_view progId) const;  // empty when unknown

    ObjectPtr create(std::string_view progId) const;

    // A registration for the scope's life; the previous one (or none) comes back afterwards.
    class Scope {
      public:
        Scope(ProgIdRegistry& registry, std::string_view progId, Factory factory);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        ProgIdRegistry& registry_;
        std::string progId_;
        Factory previous_;
    };

  private:
    static std::string key(std::string_view progId);

    mutable std::mutex mutex_;
    std::map<std::string, Factory> factories_;
};

// CreateObject(progId) on the process's registry.
ObjectPtr createObject(std::string_view progId);

// CreateObject with the expected class: an object of another class is a type mismatch (13).
template <class T>
std::shared_ptr<T> createObjectAs(std::string_view progId) {
    ObjectPtr object = createObject(progId);
    auto typed = std::dynamic_pointer_cast<T>(object);
    if (!typed) {
        krl::err::typeMismatch();
    }
    return typed;
}

}  // namespace krl::host
