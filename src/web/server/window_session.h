#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "web/server/window_snapshot.h"

namespace zovrena::web {

// What the host knows when it opens the program for a person.
struct WindowContext {
    std::string id;  // "w1", "w2"...
    std::string connectionString;
    std::string user;
    std::int32_t company = 0;
    std::chrono::milliseconds modalTimeout = std::chrono::minutes(15);
    // Called on the window thread when a box was given up and the window is unloading by itself.
    std::function<void()> onGiveUp = {};
    // Called on the window thread when the program has saved its parameters (their kind).
    std::function<void(int kind)> onSaved = {};
    // Files attached to one record's multimedia links: the largest, and how many at most.
    std::size_t mediaMaxBytes = std::size_t{40} * 1024;
    std::size_t mediaMaxCount = 20;
};

// The answer to an action: the snapshot, or an HTTP error with its message.
struct WindowAnswer {
    int status = 200;
    std::string error;
    Snapshot snapshot;
};

struct WindowState;

// One program window served to a browser: the program object "DUZA_ZOVRENA.CLSPD_ZOVRENA" with its
// window, global object and navigator, all living on the window's own UI thread. Every request
// runs the person's action on that thread and answers with a snapshot taken when the thread is idle
// again or blocked in a modal box. Requests on one window run one at a time.
//
// A box nobody answers within the modal timeout gets the unattended answer; the window then drops
// its changes and unloads.
class WindowSession {
  public:
    // Creates the program and shows its window. Raises std::runtime_error when the program cannot
    // be created or its window does not load.
    static std::shared_ptr<WindowSession> open(WindowContext context);
    ~WindowSession();
    WindowSession(const WindowSession&) = delete;
    WindowSession& operator=(const WindowSession&) = delete;

    const std::string& id() const { return context_.id; }
    std::int32_t company() const { return context_.company; }

    Snapshot snapshot();
    // An action of the protocol (its "type" and fields). A revision older than the window's is
    // refused with 409.
    WindowAnswer act(const nlohmann::json& action);

    // The host is about to change company: the program is told (BeforeChangeDitta) and usually asks
    // first. The answer is the snapshot, with the box pending.
    Snapshot requestCompanyChange(std::int32_t company);
    // The company the program let the host change to (once), after the window unloaded for it.
    std::optional<std::int32_t> takeApprovedCompany();

    bool closed();
    // Whether a box was given up (or the window shut down); neither waits for the window thread.
    bool gaveUp() const;
    // Whether the window thread has been told to end.
    bool ended() const;
    // Unloads the window without asking anything (dropping its changes) and stops its thread.
    void shutDown();

    // Where the last request's time went, for the Server-Timing header: the program's own work for
    // the action, and the whole wait for the window thread (action, snapshot and hand-overs).
    struct Timing {
        double actionMs = 0;
        double threadMs = 0;
    };
    Timing lastTiming() const;

  private:
    explicit WindowSession(WindowContext context);
    void start();
    // After an action, the snapshot its task took as it ended (when it did) is the answer.
    Snapshot snapshotLocked(bool afterAction = false);
    WindowAnswer perform(const nlohmann::json& action);
    // Runs the task on the window thread, timing it; false when the thread has ended.
    bool run(std::function<void()> task);
    void addThreadTime(std::chrono::steady_clock::time_point began);

    WindowContext context_;
    std::mutex requests_;  // one request at a time
    std::shared_ptr<WindowState> state_;
    std::atomic<double> lastThreadMs_{0};
};

// Makes the program's classes known to the host (once per process).
void registerProgramClasses();

}  // namespace zovrena::web
