#pragma once

namespace krl::host {

// A per-thread "current" service: each window thread installs the presenters of its own host
// (where its boxes, media items and print sheets are shown); tests install scripted ones.
template <class T>
class ThreadCurrent {
  public:
    // The service installed on this thread, or nullptr.
    static T* get() { return slot(); }

    // Installs a service on this thread for the scope's life, then restores the previous one.
    class Scope {
      public:
        explicit Scope(T& service) : previous_(slot()) { slot() = &service; }
        ~Scope() { slot() = previous_; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        T* previous_;
    };

  private:
    static T*& slot() {
        thread_local T* current = nullptr;
        return current;
    }
};

}  // namespace krl::host
