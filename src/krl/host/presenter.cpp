#include "krl/host/presenter.h"

#include <algorithm>
#include <string>

#include "krl/diag/trace.h"

namespace krl::host {

namespace {

constexpr int vbDefaultButton2 = 256;
constexpr int vbDefaultButton3 = 512;

// Answers boxes on a thread that has no presenter of its own.
class UnattendedPresenter : public MessagePresenter {
  public:
    int present(const MessageBoxRequest& box) override {
        int answer = unattendedAnswer(box.buttons);
        std::string line = "KRL: message box without a presenter [" +
                           std::to_string(box.messageId) + "] " + box.title + ": " + box.text +
                           " -> " + std::to_string(answer);
        krl::diag::outputDebugString(line);
        return answer;
    }
};

}  // namespace

ButtonSet buttonSet(int buttons) {
    switch (buttons & 0xF) {
        case vbOKCancel:
            return ButtonSet::OKCancel;
        case vbAbortRetryIgnore:
            return ButtonSet::AbortRetryIgnore;
        case vbYesNoCancel:
            return ButtonSet::YesNoCancel;
        case vbYesNo:
            return ButtonSet::YesNo;
        case 5:
            return ButtonSet::RetryCancel;
        default:
            return ButtonSet::OK;
    }
}

std::vector<int> buttonAnswers(int buttons) {
    switch (buttonSet(buttons)) {
        case ButtonSet::OK:
            return {vbOK};
        case ButtonSet::OKCancel:
            return {vbOK, vbCancel};
        case ButtonSet::AbortRetryIgnore:
            return {vbAbort, vbRetry, vbIgnore};
        case ButtonSet::YesNoCancel:
            return {vbYes, vbNo, vbCancel};
        case ButtonSet::YesNo:
            return {vbYes, vbNo};
        case ButtonSet::RetryCancel:
            return {vbRetry, vbCancel};
    }
    return {vbOK};
}

int defaultAnswer(int buttons) {
    std::vector<int> answers = buttonAnswers(buttons);
    std::size_t index = 0;
    if ((buttons & vbDefaultButton3) != 0) {
        index = 2;
    } else if ((buttons & vbDefaultButton2) != 0) {
        index = 1;
    }
    return answers[std::min(index, answers.size() - 1)];
}

int unattendedAnswer(int buttons) {
    std::vector<int> answers = buttonAnswers(buttons);
    for (int wanted : {vbCancel, vbAbort, vbNo}) {
        if (std::find(answers.begin(), answers.end(), wanted) != answers.end()) {
            return wanted;
        }
    }
    return defaultAnswer(buttons);
}

MessagePresenter& currentPresenter() {
    if (MessagePresenter* presenter = ThreadCurrent<MessagePresenter>::get()) {
        return *presenter;
    }
    static UnattendedPresenter unattended;
    return unattended;
}

int ScriptedPresenter::scriptDefault(int buttons) {
    switch (buttonSet(buttons)) {
        case ButtonSet::AbortRetryIgnore:
            return vbAbort;
        case ButtonSet::RetryCancel:
            return vbCancel;
        default:
            return buttonAnswers(buttons).front();
    }
}

void ScriptedPresenter::queue(int answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

int ScriptedPresenter::present(const MessageBoxRequest& box) {
    std::lock_guard lock(mutex_);
    boxes_.push_back(box);
    if (answers_.empty()) {
        return scriptDefault(box.buttons);
    }
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::vector<MessageBoxRequest> ScriptedPresenter::boxes() const {
    std::lock_guard lock(mutex_);
    return boxes_;
}

std::size_t ScriptedPresenter::pendingAnswers() const {
    std::lock_guard lock(mutex_);
    return answers_.size();
}

}  // namespace krl::host
