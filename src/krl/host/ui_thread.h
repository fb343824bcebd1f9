#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "krl/host/message_service.h"

namespace krl::host {

// A modal box waiting for its answer. The serial number tells one box from the next, so that an
// answer meant for a box already gone is not given to a new one.
struct PendingBox {
    std::uint64_t serial = 0;
    MessageBoxRequest box;
};

// The presenter of a window thread: it parks the box where the host can read it, and blocks the
// window thread until the host answers, the thread is stopped, or the timeout passes. A box nobody
// answers gets Cancel when it offers it, else Abort, else No, else OK (unattendedAnswer). Created
// by UiThread.
class BlockingPresenter : public MessagePresenter {
  public:
    int present(const MessageBoxRequest& box) override;

    std::optional<PendingBox> pending() const;
    // Answers the pending box (the one with that serial, when serial is not 0). False when there is
    // no such box or the code is not one of its buttons.
    bool answer(int code, std::uint64_t serial = 0);

    struct State;
    explicit BlockingPresenter(std::shared_ptr<State> state) : state_(std::move(state)) {}

  private:
    std::shared_ptr<State> state_;
};

// One thread per window: everything the window does runs on it, one task after the other. Other
// threads (the web layer) post tasks to it and wait for it to settle: idle, or blocked in a modal
// box that the person has still to answer. The thread's current presenter is its BlockingPresenter.
class UiThread {
  public:
    using Task = std::function<void()>;

    struct Options {
        std::chrono::milliseconds modalTimeout = std::chrono::minutes(15);
        // Runs first on the new thread (to install the host's presenters for media and print).
        std::function<void()> onStart;
    };

    UiThread();
    explicit UiThread(Options options);
    // Stops the thread (see stop()).
    ~UiThread();
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;

    // Queues a task; false when the thread has been stopped (the task does not run).
    bool post(Task task);

    // Runs the task on the window thread and returns when the thread has settled: the task and
    // everything queued before it finished, or the thread is blocked in a modal box (then the task
    // may not have run yet, or may be the one waiting). When the task ended with an exception
    // that exception is thrown here. Called on the window thread itself, it runs the task at once.
    // False when the thread has been stopped.
    bool invoke(Task task);

    // Waits until the thread is idle or blocked in a modal box.
    void settle();

    bool isCurrent() const;
    bool blocked() const;
    std::optional<PendingBox> pendingBox() const { return presenter_->pending(); }
    bool answer(int code, std::uint64_t serial = 0) { return presenter_->answer(code, serial); }
    BlockingPresenter& presenter() { return *presenter_; }

    // Takes no more tasks, answers a pending box as if nobody were there (and every box shown from
    // now on), runs the tasks already queued, and waits for the thread to end. Called on the window
    // thread itself it only asks the thread to end after the current task.
    void stop();

  private:
    void run(const Options& options);

    std::shared_ptr<BlockingPresenter::State> state_;
    std::shared_ptr<BlockingPresenter> presenter_;
    std::thread thread_;
};

}  // namespace krl::host
