#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <variant>

namespace zovrena::web {

// What a person does to a control of the page (or of the window's header).
enum class ControlVerb {
    SetValue,
    Click,
    LeaveField,
    OpenLookup,
    ChooseLookupRow,
    CloseLookup,
    KeyMenu,
    EditCell
};

struct ControlAction {
    ControlVerb verb = ControlVerb::Click;
    std::string control;
    // The value, text, code or key the verb carries; empty for a verb that carries none.
    std::string value;
    // The cell of an edited grid row: the row's key and the field.
    std::string row;
    std::string field;
    bool operator==(const ControlAction&) const = default;
};

struct AnswerBox {
    std::int64_t messageId = 0;
    std::int64_t answer = 0;
    bool operator==(const AnswerBox&) const = default;
};

struct ClickItem {
    std::string item;
    bool operator==(const ClickItem&) const = default;
};

struct HostButton {
    std::string button;
    bool operator==(const HostButton&) const = default;
};

struct NavigatorButton {
    std::string bar;
    std::string button;
    bool operator==(const NavigatorButton&) const = default;
};

struct ClosePrint {
    bool operator==(const ClosePrint&) const = default;
};

struct AttachMedia {
    std::string description;
    std::string fileName;
    std::string bytes;  // the file's content, decoded
    bool operator==(const AttachMedia&) const = default;
};

struct CloseMedia {
    bool operator==(const CloseMedia&) const = default;
};

struct HistoryMore {
    bool operator==(const HistoryMore&) const = default;
};
struct CloseHistory {
    bool operator==(const CloseHistory&) const = default;
};
struct CloseWindow {
    bool operator==(const CloseWindow&) const = default;
};

using ActionBody =
    std::variant<ControlAction, AnswerBox, ClickItem, HostButton, NavigatorButton, ClosePrint,
                 AttachMedia, CloseMedia, HistoryMore, CloseHistory, CloseWindow>;

// One action posted to a window, its fields read and checked; whether it makes sense for the
// window as it is now is the window's business.
struct Action {
    std::int64_t revision = 0;
    ActionBody body;
    // The grids' rows the browser holds (`gridRows`, grid name -> version): the answer leaves out
    // the rows of a grid still at that version. What is not a name with a text version is ignored.
    std::map<std::string, std::string, std::less<>> heldGridRows = {};
    bool operator==(const Action&) const = default;
};

// Why an action was not read: the HTTP status and the message for the person.
struct ActionRefusal {
    int status = 400;
    std::string message;
};

using ReadAction = std::variant<Action, ActionRefusal>;

struct ActionLimits {
    std::size_t mediaMaxBytes = std::size_t{40} * 1024;  // an attached file's decoded content
};

// The widths of the multimedia link's text columns, in characters.
inline constexpr std::size_t mediaDescriptionWidth = 80;
inline constexpr std::size_t mediaFileNameWidth = 255;

// Reads an action from the body of a request, already parsed.
ReadAction readAction(const nlohmann::json& action, const ActionLimits& limits);
// Reads an action from the text of a request's body.
ReadAction parseAction(std::string_view text, const ActionLimits& limits);
// The action as the browser sends it (readAction gives it back).
nlohmann::json toJson(const Action& action);

}  // namespace zovrena::web
