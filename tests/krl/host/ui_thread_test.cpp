#include "krl/host/ui_thread.h"

#include <gtest/gtest.h>

#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

#include "krl/host/presenter.h"

namespace krl::host {
namespace {

using namespace std::chrono_literals;

int showBox(int buttons, const std::string& text = "Domanda") {
    return currentPresenter().present({1234, text, buttons, "Titolo"});
}

TEST(UiThread, RunsEveryTaskInOrderOnItsOwnThread) {
    UiThread thread;
    std::vector<int> order;
    std::vector<std::thread::id> ids;
    for (int i = 1; i <= 3; ++i) {
        thread.post([&, i] {
            order.push_back(i);
            ids.push_back(std::this_thread::get_id());
        });
    }
    thread.invoke([&] {
        order.push_back(4);
        ids.push_back(std::this_thread::get_id());
    });
    // invoke returned: the thread is idle, every task has run.
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));
    ASSERT_EQ(ids.size(), 4u);
    for (auto id : ids) {
        EXPECT_EQ(id, ids.front());
    }
    EXPECT_NE(ids.front(), std::this_thread::get_id());
}

TEST(UiThread, InvokeReturnsWhileTheTaskWaitsInAModalBoxAndTheAnswerResumesIt) {
    UiThread thread;
    int answer = 0;
    bool finished = false;
    thread.invoke([&] {
        answer = showBox(vbYesNo + vbQuestion, "Il cambio azienda?");
        finished = true;
    });

    // The window thread is parked in the box: the caller can read it and answer later.
    ASSERT_TRUE(thread.blocked());
    auto pending = thread.pendingBox();
    ASSERT_TRUE(pending.has_value());
    EXPECT_EQ(pending->box.messageId, 1234);
    EXPECT_EQ(pending->box.text, "Il cambio azienda?");
    EXPECT_EQ(pending->box.buttons, 36);
    EXPECT_FALSE(thread.answer(vbOK)) << "OK is not one of the box's buttons";
    EXPECT_FALSE(thread.answer(vbNo, pending->serial + 1)) << "an answer for another box";

    EXPECT_TRUE(thread.answer(vbNo, pending->serial));
    thread.settle();
    EXPECT_FALSE(thread.blocked());
    EXPECT_FALSE(thread.pendingBox().has_value());
    thread.invoke([] {});
    EXPECT_TRUE(finished);
    EXPECT_EQ(answer, vbNo);
    EXPECT_FALSE(thread.answer(vbYes)) << "no box is pending any more";
}

TEST(UiThread, TasksPostedWhileBlockedWaitBehindTheBox) {
    UiThread thread;
    std::vector<std::string> order;
    thread.invoke([&] {
        showBox(vbOKOnly);
        order.emplace_back("box answered");
    });
    thread.invoke([&] { order.emplace_back("second task"); });  // returns at once: still blocked
    EXPECT_TRUE(order.empty());
    ASSERT_TRUE(thread.answer(vbOK));
    thread.settle();
    EXPECT_EQ(order, (std::vector<std::string>{"box answered", "second task"}));
}

TEST(UiThread, ABoxNobodyAnswersGetsCancelElseAbortElseNo) {
    struct Case {
        int buttons;
        int expected;
    };
    // The answer for each kind of box is the presenters' test; here, that the thread gives it.
    const Case cases[] = {{vbOKCancel, vbCancel}, {4370, vbAbort}, {vbYesNo, vbNo}};
    UiThread::Options options;
    options.modalTimeout = 0ms;
    UiThread thread(options);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.buttons);
        // invoke may return while the box is up; the promise waits for the answer itself.
        std::promise<int> answer;
        thread.post([&] { answer.set_value(showBox(c.buttons)); });
        EXPECT_EQ(answer.get_future().get(), c.expected);
    }
}

TEST(UiThread, StopReleasesTheBoxRunsWhatWasQueuedAndRefusesNewTasks) {
    UiThread thread;
    int answer = 0;
    bool queuedRan = false;
    int answerAfterStop = 0;
    thread.invoke([&] { answer = showBox(vbOKCancel); });
    ASSERT_TRUE(thread.blocked());
    thread.post([&] {
        queuedRan = true;
        answerAfterStop = showBox(4370);  // nobody can answer any more: no waiting
    });
    thread.stop();
    EXPECT_EQ(answer, vbCancel);
    EXPECT_TRUE(queuedRan);
    EXPECT_EQ(answerAfterStop, vbAbort);
    EXPECT_FALSE(thread.post([] {}));
    EXPECT_FALSE(thread.invoke([] {}));
}

TEST(UiThread, InvokeHandsBackTheTasksErrorAndTheThreadGoesOn) {
    UiThread thread;
    EXPECT_THROW(thread.invoke([] { throw std::runtime_error("rotto"); }), std::runtime_error);
    bool ran = false;
    thread.invoke([&] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST(UiThread, InvokeFromTheWindowThreadRunsAtOnce) {
    UiThread thread;
    std::vector<int> order;
    thread.invoke([&] {
        order.push_back(1);
        thread.invoke([&] { order.push_back(2); });
        order.push_back(3);
    });
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(UiThread, StartHookRunsOnTheWindowThreadFirst) {
    std::thread::id hookThread;
    std::thread::id taskThread;
    UiThread::Options options;
    options.onStart = [&] { hookThread = std::this_thread::get_id(); };
    UiThread thread(options);
    thread.invoke([&] { taskThread = std::this_thread::get_id(); });
    EXPECT_EQ(hookThread, taskThread);
}

}  // namespace
}  // namespace krl::host
