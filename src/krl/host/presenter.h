#pragma once

#include <deque>
#include <mutex>
#include <vector>

#include "krl/host/current.h"
#include "krl/host/message_service.h"

namespace krl::host {

// The button set of a style value (its low four bits).
enum class ButtonSet { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
ButtonSet buttonSet(int buttons);

// The answer codes of a button set, in the order the buttons are drawn.
std::vector<int> buttonAnswers(int buttons);

// The default button of the box: the first one, the second with 256, the third with 512.
int defaultAnswer(int buttons);

// The answer given to a box nobody answers: Cancel when the box offers it, else Abort, else No,
// else the default button. A question nobody answered never confirms anything.
int unattendedAnswer(int buttons);

// Presenter of this thread. Without one installed, boxes are answered unattended (see above) and
// written to the debug output, so that nothing ever waits for a person who is not there.
MessagePresenter& currentPresenter();
using ScopedPresenter = ThreadCurrent<MessagePresenter>::Scope;

// A presenter for tests: answers from a queue and records every box shown. With nothing queued it
// answers the first button of the set, except that Retry is never given by default
// (AbortRetryIgnore answers Abort, RetryCancel answers Cancel) so that an error routine cannot
// loop: OK 1 for 0, 48, 64; OK 1 for 1; Abort 3 for 2 and 4370; Yes 6 for 3, 4 and 36; Cancel 2
// for 5.
class ScriptedPresenter : public MessagePresenter {
  public:
    static int scriptDefault(int buttons);

    void queue(int answer);
    int present(const MessageBoxRequest& box) override;

    std::vector<MessageBoxRequest> boxes() const;
    std::size_t pendingAnswers() const;

  private:
    mutable std::mutex mutex_;
    std::deque<int> answers_;
    std::vector<MessageBoxRequest> boxes_;
};

}  // namespace krl::host
