// libFuzzer target: any body posted to a window either reads as an action or is refused with a
// message a person can be shown. A crash, a sanitizer report, an escaped exception or an action
// that does not read back the same once written again is a fault.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "web/server/action_parser.h"

namespace {

using zovrena::web::Action;
using zovrena::web::ActionRefusal;

constexpr zovrena::web::ActionLimits kLimits{512};

void check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

// The refusals the host sends: a malformed request (400) or a file past its limit (413), with a
// message that goes out as JSON.
void checkRefusal(const ActionRefusal& refusal) {
    if (refusal.status == 413) {
        check(refusal.message == "Il file è troppo grande.");
    } else {
        check(refusal.status == 400);
        check(refusal.message.starts_with("Richiesta non valida"));
    }
    (void)nlohmann::json{{"error", refusal.message}}.dump();  // throws on text that is not UTF-8
}

// What the window is given never breaks the rules of its fields.
void checkFields(const Action& action) {
    if (const auto* cell = std::get_if<zovrena::web::ControlAction>(&action.body)) {
        check(cell->row.find('\0') == std::string::npos);
        check(cell->field.find('\0') == std::string::npos);
    }
    if (const auto* media = std::get_if<zovrena::web::AttachMedia>(&action.body)) {
        check(media->bytes.size() <= kLimits.mediaMaxBytes);
        check(!media->fileName.empty());
        check(media->fileName.find_first_of("/\\") == std::string::npos);
        check(media->description.size() <= 4 * zovrena::web::mediaDescriptionWidth);
        check(media->fileName.size() <= 4 * zovrena::web::mediaFileNameWidth);
        for (const std::string* text : {&media->description, &media->fileName}) {
            check(std::none_of(text->begin(), text->end(), [](char c) {
                return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
            }));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto read = zovrena::web::parseAction(text, kLimits);
    if (const auto* refusal = std::get_if<ActionRefusal>(&read)) {
        checkRefusal(*refusal);
        return 0;
    }
    const Action& action = std::get<Action>(read);
    checkFields(action);
    // Written back as the browser would send it, it reads as the same action.
    const auto again = zovrena::web::parseAction(zovrena::web::toJson(action).dump(), kLimits);
    const auto* same = std::get_if<Action>(&again);
    check(same != nullptr && *same == action);
    return 0;
}
