#include "web/server/action_parser.h"

#include <sodium.h>

#include <algorithm>
#include <optional>

namespace zovrena::web {

namespace {

using Json = nlohmann::json;

// The verbs on a control, with the field holding their value (nullptr: none).
struct VerbEntry {
    ControlVerb verb;
    std::string_view type;
    const char* valueField;
};
constexpr VerbEntry kVerbs[] = {
    {ControlVerb::SetValue, "setValue", "value"},
    {ControlVerb::Click, "click", nullptr},
    {ControlVerb::LeaveField, "leaveField", "text"},
    {ControlVerb::OpenLookup, "openLookup", nullptr},
    {ControlVerb::ChooseLookupRow, "chooseLookupRow", "code"},
    {ControlVerb::CloseLookup, "closeLookup", nullptr},
    {ControlVerb::KeyMenu, "keyMenu", "key"},
    {ControlVerb::EditCell, "editCell", "value"},
};

const VerbEntry* verbNamed(std::string_view type) {
    const auto* found = std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                     [&](const VerbEntry& entry) { return entry.type == type; });
    return found == std::end(kVerbs) ? nullptr : found;
}

const VerbEntry& entryOf(ControlVerb verb) {
    return *std::find_if(std::begin(kVerbs), std::end(kVerbs),
                         [&](const VerbEntry& entry) { return entry.verb == verb; });
}

ActionRefusal invalid(std::string_view what) {
    return {400, "Richiesta non valida: " + std::string(what)};
}

const std::string* stringField(const Json& action, const char* name) {
    const auto found = action.find(name);
    return found != action.end() && found->is_string() ? &found->get_ref<const std::string&>()
                                                       : nullptr;
}

std::optional<std::int64_t> integerField(const Json& action, const char* name) {
    const auto found = action.find(name);
    if (found == action.end() || !found->is_number_integer()) {
        return std::nullopt;
    }
    return found->get<std::int64_t>();
}

// A combo's code or a checkbox's state, as the browser may send it.
std::string textOf(const Json& value) {
    if (value.is_string()) {
        return value.get<std::string>();
    }
    if (value.is_number_unsigned()) {
        return std::to_string(value.get<std::uint64_t>());
    }
    if (value.is_number_integer()) {
        return std::to_string(value.get<std::int64_t>());
    }
    if (value.is_boolean()) {
        return value.get<bool>() ? "1" : "0";
    }
    return {};
}

std::size_t characters(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

bool hasControlCharacters(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

std::optional<std::string> decodeBase64(const std::string& text) {
    std::string bytes(text.size(), '\0');
    std::size_t length = 0;
    if (sodium_base642bin(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size(), text.data(),
                          text.size(), " \n", &length, nullptr,
                          sodium_base64_VARIANT_ORIGINAL) != 0) {
        return std::nullopt;
    }
    bytes.resize(length);
    return bytes;
}

std::string encodeBase64(const std::string& bytes) {
    std::string text(sodium_base64_ENCODED_LEN(bytes.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(),
                      reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                      sodium_base64_VARIANT_ORIGINAL);
    text.resize(text.size() - 1);  // the terminating NUL
    return text;
}

ReadAction readControl(const Json& action, std::int64_t revision, const VerbEntry& verb) {
    const std::string* control = stringField(action, "control");
    if (!control) {
        return invalid("manca il controllo.");
    }
    ControlAction read{verb.verb, *control, {}, {}, {}};
    if (verb.valueField != nullptr && std::string_view(verb.valueField) == "value") {
        const auto found = action.find("value");
        if (found == action.end()) {
            return invalid("manca il valore.");
        }
        read.value = textOf(*found);
        if (verb.verb == ControlVerb::EditCell) {
            // The window joins key, field and value with NUL characters, which a key or a field
            // name never holds.
            const std::string* row = stringField(action, "row");
            const std::string* field = stringField(action, "field");
            if (!row || !field || row->find('\0') != std::string::npos ||
                field->find('\0') != std::string::npos) {
                return invalid("manca la cella.");
            }
            read.row = *row;
            read.field = *field;
        }
    } else if (verb.valueField != nullptr) {
        const std::string* text = stringField(action, verb.valueField);
        if (!text) {
            return invalid("manca il testo.");
        }
        read.value = *text;
    }
    return Action{revision, std::move(read)};
}

ReadAction readAttachMedia(const Json& action, std::int64_t revision, const ActionLimits& limits) {
    const std::string* description = stringField(action, "description");
    const std::string* fileName = stringField(action, "fileName");
    const std::string* content = stringField(action, "content");
    if (!description || !fileName || !content || fileName->empty()) {
        return invalid("manca il file da collegare.");
    }
    auto bytes = decodeBase64(*content);
    if (!bytes) {
        return invalid("il contenuto del file non è leggibile.");
    }
    if (bytes->size() > limits.mediaMaxBytes) {
        return ActionRefusal{413, "Il file è troppo grande."};
    }
    // The browser sends the file's own name; a path or a control character is not one.
    if (characters(*description) > mediaDescriptionWidth ||
        characters(*fileName) > mediaFileNameWidth || hasControlCharacters(*description) ||
        hasControlCharacters(*fileName) || fileName->find_first_of("/\\") != std::string::npos) {
        return invalid(
            "descrizione (al massimo 80 caratteri) o nome del file (al massimo 255) non ammessi.");
    }
    return Action{revision, AttachMedia{*description, *fileName, std::move(*bytes)}};
}

ReadAction readOther(const Json& action, std::int64_t revision, std::string_view type,
                     const ActionLimits& limits) {
    if (type == "answer") {
        const auto id = integerField(action, "messageId");
        const auto code = integerField(action, "answer");
        if (!id || !code) {
            return invalid("risposta al messaggio incompleta.");
        }
        return Action{revision, AnswerBox{*id, *code}};
    }
    if (type == "clickItem") {
        const std::string* item = stringField(action, "item");
        if (!item) {
            return invalid("manca la voce.");
        }
        return Action{revision, ClickItem{*item}};
    }
    if (type == "hostButton") {
        const std::string* button = stringField(action, "button");
        if (!button) {
            return invalid("manca il pulsante.");
        }
        return Action{revision, HostButton{*button}};
    }
    if (type == "navigatorButton") {
        const std::string* bar = stringField(action, "bar");
        const std::string* button = stringField(action, "button");
        if (!bar || !button ||
            (*bar != "INTERNAV_PARAMETRI" && *bar != "INTERNAV_PARAMETRI_DOC" &&
             *bar != "INTERNAV_PARAMETRI_TRP")) {
            return invalid("barra o pulsante mancante.");
        }
        return Action{revision, NavigatorButton{*bar, *button}};
    }
    if (type == "attachMedia") {
        return readAttachMedia(action, revision, limits);
    }
    if (type == "closePrint") {
        return Action{revision, ClosePrint{}};
    }
    if (type == "closeMedia") {
        return Action{revision, CloseMedia{}};
    }
    if (type == "historyMore") {
        return Action{revision, HistoryMore{}};
    }
    if (type == "closeHistory") {
        return Action{revision, CloseHistory{}};
    }
    if (type == "close") {
        return Action{revision, CloseWindow{}};
    }
    return invalid("azione \"" + std::string(type) + "\" sconosciuta.");
}

// Each alternative of ActionBody as the browser sends it.
struct BodyWriter {
    Json& out;
    void operator()(const ControlAction& a) const {
        const VerbEntry& verb = entryOf(a.verb);
        out["type"] = verb.type;
        out["control"] = a.control;
        if (verb.valueField != nullptr) {
            out[verb.valueField] = a.value;
        }
        if (a.verb == ControlVerb::EditCell) {
            out["row"] = a.row;
            out["field"] = a.field;
        }
    }
    void operator()(const AnswerBox& a) const {
        out["type"] = "answer";
        out["messageId"] = a.messageId;
        out["answer"] = a.answer;
    }
    void operator()(const ClickItem& a) const {
        out["type"] = "clickItem";
        out["item"] = a.item;
    }
    void operator()(const HostButton& a) const {
        out["type"] = "hostButton";
        out["button"] = a.button;
    }
    void operator()(const NavigatorButton& a) const {
        out["type"] = "navigatorButton";
        out["bar"] = a.bar;
        out["button"] = a.button;
    }
    void operator()(const ClosePrint&) const { out["type"] = "closePrint"; }
    void operator()(const AttachMedia& a) const {
        out["type"] = "attachMedia";
        out["description"] = a.description;
        out["fileName"] = a.fileName;
        out["content"] = encodeBase64(a.bytes);
    }
    void operator()(const CloseMedia&) const { out["type"] = "closeMedia"; }
    void operator()(const HistoryMore&) const { out["type"] = "historyMore"; }
    void operator()(const CloseHistory&) const { out["type"] = "closeHistory"; }
    void operator()(const CloseWindow&) const { out["type"] = "close"; }
};

}  // namespace

ReadAction readAction(const Json& action, const ActionLimits& limits) {
    const auto revision = integerField(action, "revision");
    if (!revision) {
        return invalid("manca la revisione della finestra.");
    }
    const std::string* type = stringField(action, "type");
    if (!type) {
        return invalid("manca il tipo di azione.");
    }
    const VerbEntry* verb = verbNamed(*type);
    ReadAction read =
        verb ? readControl(action, *revision, *verb) : readOther(action, *revision, *type, limits);
    if (auto* done = std::get_if<Action>(&read)) {
        const auto held = action.find("gridRows");
        if (held != action.end() && held->is_object()) {
            for (const auto& [name, version] : held->items()) {
                if (version.is_string()) {
                    done->heldGridRows.emplace(name, version.get<std::string>());
                }
            }
        }
    }
    return read;
}

ReadAction parseAction(std::string_view text, const ActionLimits& limits) {
    const Json action = Json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (!action.is_object()) {
        return ActionRefusal{400, "Richiesta non valida."};
    }
    return readAction(action, limits);
}

Json toJson(const Action& action) {
    Json out = Json::object();
    out["revision"] = action.revision;
    std::visit(BodyWriter{out}, action.body);
    if (!action.heldGridRows.empty()) {
        out["gridRows"] = action.heldGridRows;
    }
    return out;
}

}  // namespace zovrena::web
