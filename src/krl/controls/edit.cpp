#include "krl/controls/edit.h"

#include "krl/ado/ado.h"
#include "krl/controls/container.h"
#include "krl/trap/trap.h"

namespace krl::controls {

std::string upperText(std::string_view text) {
    std::string result(text);
    for (std::size_t i = 0; i < result.size(); ++i) {
        auto byte = static_cast<unsigned char>(result[i]);
        if (byte >= 'a' && byte <= 'z') {
            result[i] = static_cast<char>(byte - 'a' + 'A');
        } else if (byte == 0xC3 && i + 1 < result.size()) {
            // U+00E0..U+00FE (except U+00F7, the division sign) map to U+00C0..U+00DE.
            auto next = static_cast<unsigned char>(result[i + 1]);
            if (next >= 0xA0 && next <= 0xBE && next != 0xB7) {
                result[i + 1] = static_cast<char>(next - 0x20);
            }
            ++i;
        }
    }
    return result;
}

std::string leftChars(std::string_view text, std::size_t count) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
        if (!continuation) {
            if (chars == count) {
                return std::string(text.substr(0, i));
            }
            ++chars;
        }
    }
    return std::string(text);
}

EditM::EditM(std::string name) : Control(Kind::EditM, std::move(name)) {}

std::string EditM::normalise(std::string_view text) const {
    return upperCase() ? upperText(text) : std::string(text);
}

void EditM::setText(std::string_view text) {
    if (validating_) {
        // Validate corrects the text: it is what the field leaves with.
        storeText(normalise(text));
        return;
    }
    pending_ = false;
    Control::setText(text);
}

void EditM::raiseChange() {
    Change.raise();
    decode();
}

void EditM::clearEvents() {
    Validate.clear();
    StartDecode.clear();
    StartLookup.clear();
    KeyButtonMenuPress.clear();
    Change.clear();
    QueryFailed.clear();
}

void EditM::addKeyButtonMenu(int number, std::string caption, bool enabled) {
    std::string key = "Kpers" + std::to_string(number);
    for (auto& entry : menu_) {
        if (entry.key == key) {
            entry = {key, std::move(caption), enabled};
            return;
        }
    }
    menu_.push_back({std::move(key), std::move(caption), enabled});
}

InputResult EditM::userType(std::string_view text) {
    if (auto check = checkInput(); !check.accepted()) {
        return check;
    }
    if (ControlContainer* owner = container(); owner != nullptr && !owner->setFocus(this)) {
        return InputResult::refuse("Il campo " + owner->focused()->name() + " non è valido.");
    }
    std::string typed = normalise(text);
    if (maxChar() > 0) {
        typed = leftChars(typed, static_cast<std::size_t>(maxChar()));
    }
    storeText(std::move(typed));
    pending_ = true;
    return InputResult::accept();
}

InputResult EditM::userLeave() {
    if (!pending_) {
        return InputResult::ignore();
    }
    bool cancel = false;
    validating_ = true;
    try {
        Validate.raise(cancel);
    } catch (...) {
        validating_ = false;
        throw;
    }
    validating_ = false;
    if (cancel) {
        return InputResult::refuse("Valore non accettato.");
    }
    if (InputResult accepted = acceptTyped(); !accepted.accepted()) {
        pending_ = false;
        return accepted;
    }
    if (BindingSink* sink = binding(); sink != nullptr) {
        try {
            sink->valueChanged(*this, ChangeOrigin::User);
        } catch (const VbError& error) {
            return InputResult::refuse(error.description());
        }
    }
    pending_ = false;
    raiseChange();
    return InputResult::accept();
}

InputResult EditM::userEnter(std::string_view text) {
    auto typed = userType(text);
    if (!typed.accepted()) {
        return typed;
    }
    return userLeave();
}

InputResult EditM::userLookup() {
    if (auto check = checkInput(); !check.accepted()) {
        return check;
    }
    return startLookup();
}

InputResult EditM::userMenu(std::string_view key) {
    if (auto check = checkInput(); !check.accepted()) {
        return check;
    }
    for (const auto& entry : menu_) {
        if (entry.key == key && entry.enabled) {
            KeyButtonMenuPress.raise(entry.key);
            return InputResult::accept();
        }
    }
    return InputResult::ignore();
}

namespace {

// The captions the lookup's column description gives, one per column; a column it does not
// describe is titled by its name.
std::vector<std::string> columnCaptions(const Variant& description,
                                        const std::vector<std::string>& columns) {
    std::vector<std::string> captions = columns;
    if (description.isArray()) {
        const VariantArray& given = description.array();
        for (std::size_t i = 0; i < captions.size() && i < given.size(); ++i) {
            if (std::string text = given[i].textOrEmpty(); !text.empty()) {
                captions[i] = std::move(text);
            }
        }
    }
    return captions;
}

}  // namespace

InputResult EditM::startLookup() {
    LookupRequest request;
    StartLookup.raise(request);
    if (request.cancel || request.sql.empty()) {
        return InputResult::ignore();
    }
    LookupList list;
    list.control = name();
    list.title = request.lookupText;
    list.extra = request.extra;
    list.description = lookup_;
    try {
        auto rows = decodeConnection(request.connectionString)->execute(request.sql);
        if (rows && rows->state() == ado::adStateOpen) {
            for (auto& field : rows->fields()) {
                list.columns.push_back(field.name());
            }
            list.captions = columnCaptions(lookup_, list.columns);
            for (; !rows->eof(); rows->moveNext()) {
                std::vector<std::string> cells;
                for (auto& field : rows->fields()) {
                    cells.push_back(field.value().textOrEmpty());
                }
                list.rows.push_back(std::move(cells));
            }
            rows->close();
        }
    } catch (...) {
        VbError error = trap::currentError();
        QueryFailed.raise(error);
        return InputResult::refuse(error.description());
    }
    LookupPresenter* presenter = currentLookupPresenter();
    if (presenter == nullptr || list.columns.empty()) {
        return InputResult::ignore();
    }
    auto choice = presenter->choose(list);
    if (!choice || *choice >= list.rows.size()) {
        return InputResult::ignore();
    }
    // The code as typed: a CHAR column gives it padded with blanks.
    return userEnter(rtrim(list.code(*choice)));
}

void EditM::decode() {
    DecodeRequest request;
    StartDecode.raise(request);
    if (request.cancel || request.sql.empty()) {
        return;
    }
    try {
        std::string description;
        auto rows = decodeConnection(request.connectionString)->execute(request.sql);
        if (rows && rows->state() == ado::adStateOpen) {
            if (!rows->eof() && rows->fields().count() > 0) {
                std::size_t column = rows->fields().count() > 1 ? 1 : 0;
                description = rows->fields().item(column).value().textOrEmpty();
            }
            rows->close();
        }
        showDescription(std::move(description));
    } catch (...) {
        VbError error = trap::currentError();
        showDescription({});
        QueryFailed.raise(error);
    }
}

void EditM::showDescription(std::string description) {
    description_ = std::move(description);
    if (auto label = descriptionLabel_.lock()) {
        label->setCaption(description_);
    }
}

}  // namespace krl::controls
