#include "krl/host/ui_thread.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>

#include "krl/diag/trace.h"
#include "krl/host/presenter.h"
#include "krl/trap/trap.h"

namespace krl::host {

// Shared by the window thread, its presenter and the threads that talk to it. One mutex and one
// condition variable: every change of state wakes every waiter, and each waiter checks its own
// condition.
struct BlockingPresenter::State {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<UiThread::Task> queue;
    bool running = false;
    bool stopping = false;
    bool ended = false;
    std::thread::id threadId;
    std::chrono::milliseconds modalTimeout{0};

    // The modal box.
    std::optional<PendingBox> box;
    std::optional<int> answer;
    std::uint64_t boxSerial = 0;

    bool blocked() const { return box.has_value() && !answer.has_value(); }
    bool idle() const { return queue.empty() && !running; }
    bool settled() const { return idle() || blocked() || ended; }
};

int BlockingPresenter::present(const MessageBoxRequest& request) {
    State& state = *state_;
    std::unique_lock lock(state.mutex);
    if (state.stopping) {
        return unattendedAnswer(request.buttons);
    }
    state.box = PendingBox{++state.boxSerial, request};
    state.answer.reset();
    state.changed.notify_all();
    state.changed.wait_for(lock, state.modalTimeout,
                           [&] { return state.answer.has_value() || state.stopping; });
    int result = state.answer ? *state.answer : unattendedAnswer(request.buttons);
    state.box.reset();
    state.answer.reset();
    state.changed.notify_all();
    return result;
}

std::optional<PendingBox> BlockingPresenter::pending() const {
    std::lock_guard lock(state_->mutex);
    if (!state_->blocked()) {
        return std::nullopt;
    }
    return state_->box;
}

bool BlockingPresenter::answer(int code, std::uint64_t serial) {
    std::lock_guard lock(state_->mutex);
    if (!state_->blocked() || (serial != 0 && state_->box->serial != serial)) {
        return false;
    }
    std::vector<int> offered = buttonAnswers(state_->box->box.buttons);
    if (std::find(offered.begin(), offered.end(), code) == offered.end()) {
        return false;
    }
    state_->answer = code;
    state_->changed.notify_all();
    return true;
}

UiThread::UiThread() : UiThread(Options{}) {}

UiThread::UiThread(Options options)
    : state_(std::make_shared<BlockingPresenter::State>()),
      presenter_(std::make_shared<BlockingPresenter>(state_)) {
    state_->modalTimeout = options.modalTimeout;
    thread_ = std::thread([this, options = std::move(options)] { run(options); });
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [&] { return state_->threadId != std::thread::id(); });
}

UiThread::~UiThread() {
    stop();
    if (thread_.joinable()) {
        // Destroyed by its own last task: the thread ends on its own.
        thread_.detach();
    }
}

void UiThread::run(const Options& options) {
    // Everything the loop touches is kept alive by these two references, so the thread may
    // outlive the UiThread object when it was destroyed from one of its own tasks.
    std::shared_ptr<BlockingPresenter::State> state = state_;
    std::shared_ptr<BlockingPresenter> presenter = presenter_;
    {
        std::lock_guard lock(state->mutex);
        state->threadId = std::this_thread::get_id();
        state->changed.notify_all();
    }
    ScopedPresenter scope(*presenter);
    if (options.onStart) {
        krl::trap::ignoring(options.onStart);
    }
    for (;;) {
        Task task;
        {
            std::unique_lock lock(state->mutex);
            state->changed.wait(lock, [&] { return !state->queue.empty() || state->stopping; });
            if (state->queue.empty()) {
                break;
            }
            task = std::move(state->queue.front());
            state->queue.pop_front();
            state->running = true;
        }
        try {
            task();
        } catch (...) {
            krl::diag::outputDebugString("KRL: task of a window thread ended with an error: " +
                                         krl::trap::currentError().description());
        }
        std::lock_guard lock(state->mutex);
        state->running = false;
        state->changed.notify_all();
    }
    std::lock_guard lock(state->mutex);
    state->ended = true;
    state->changed.notify_all();
}

bool UiThread::post(Task task) {
    std::lock_guard lock(state_->mutex);
    if (state_->stopping) {
        return false;
    }
    state_->queue.push_back(std::move(task));
    state_->changed.notify_all();
    return true;
}

bool UiThread::invoke(Task task) {
    if (isCurrent()) {
        task();
        return true;
    }
    struct Outcome {
        bool finished = false;
        std::exception_ptr error;
    };
    auto outcome = std::make_shared<Outcome>();
    auto state = state_;
    bool queued = post([task = std::move(task), outcome, state] {
        std::exception_ptr error;
        try {
            task();
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(state->mutex);
        outcome->finished = true;
        outcome->error = error;
    });
    if (!queued) {
        return false;
    }
    settle();
    std::exception_ptr error;
    {
        std::lock_guard lock(state_->mutex);
        if (outcome->finished) {
            error = outcome->error;
        }
    }
    if (error) {
        std::rethrow_exception(error);
    }
    return true;
}

void UiThread::settle() {
    if (isCurrent()) {
        return;
    }
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [&] { return state_->settled(); });
}

bool UiThread::isCurrent() const {
    std::lock_guard lock(state_->mutex);
    return state_->threadId == std::this_thread::get_id();
}

bool UiThread::blocked() const {
    std::lock_guard lock(state_->mutex);
    return state_->blocked();
}

void UiThread::stop() {
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
        state_->changed.notify_all();
    }
    if (isCurrent() || !thread_.joinable()) {
        return;
    }
    thread_.join();
}

}  // namespace krl::host
