#pragma once

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace krl::controls {

// An event of a control or of the data frame: handlers registered by the page or the window, called
// in registration order. Arguments the handler may change (Cancel) are passed by reference.
template <typename... Args>
class Event {
  public:
    using Handler = std::function<void(Args...)>;

    // Returns an id for disconnect().
    std::size_t connect(Handler handler) {
        slots_.push_back({++lastId_, std::move(handler)});
        return lastId_;
    }
    void disconnect(std::size_t id) {
        std::erase_if(slots_, [id](const Slot& slot) { return slot.id == id; });
    }
    void clear() { slots_.clear(); }
    bool connected() const { return !slots_.empty(); }

    // A handler may connect or disconnect handlers while the event is being raised; the change
    // applies from the next raise.
    void raise(Args... args) const {
        const std::vector<Slot> slots = slots_;
        for (const auto& slot : slots) {
            slot.handler(args...);
        }
    }

  private:
    struct Slot {
        std::size_t id;
        Handler handler;
    };
    std::vector<Slot> slots_;
    std::size_t lastId_ = 0;
};

}  // namespace krl::controls
