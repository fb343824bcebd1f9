#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "krl/variant/variant.h"

namespace krl::host {

// Message-box button values (combined with icon values: 16 critical, 32 question, 48 exclamation,
// 64 information, 256 second button default, 4096 system modal) and the answers.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbAbortRetryIgnore = 2;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;

inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbAbort = 3;
inline constexpr int vbRetry = 4;
inline constexpr int vbIgnore = 5;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

// One modal box as the person sees it.
struct MessageBoxRequest {
    long messageId = 0;  // 0 for a plain box
    std::string text;
    int buttons = 0;
    std::string title;
};

// Draws a modal box and returns the person's answer. The web host blocks the window thread until
// the browser answers; tests answer from a script.
class MessagePresenter {
  public:
    virtual ~MessagePresenter() = default;
    virtual int present(const MessageBoxRequest& box) = 0;
};

// The host's multilingual message service: texts by message id from the catalogue.
class MessageService : public krl::Object {
  public:
    // Plain box with the given text.
    virtual int msgBox(std::string_view text, int buttons, std::string_view title) = 0;
    // Box with the catalogue's text for the id, "%1", "%2"... replaced by the parameters.
    virtual int msgBoxFromId(long messageId, int buttons, std::string_view title,
                             const VariantArray& params) = 0;
    // The catalogue's text for the id with its parameters.
    virtual std::string textFromId(long messageId, const VariantArray& params) = 0;
};

}  // namespace krl::host
