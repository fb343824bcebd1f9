#include "krl/controls/combo.h"

namespace krl::controls {

namespace {

// Codes are compared as text, and as numbers when both are numbers ("1" and "1.0" are one code).
bool sameCode(std::string_view a, std::string_view b) {
    if (a == b) {
        return true;
    }
    auto x = parseNumber(a);
    auto y = parseNumber(b);
    return x && y && *x == *y;
}

}  // namespace

Combo::Combo(std::string name) : Control(Kind::Combo, std::move(name)) {}

void Combo::clear() {
    rows_.clear();
}

void Combo::addRow(std::string label, const Variant& value) {
    rows_.push_back({std::move(label), value.textOrEmpty()});
}

std::optional<std::size_t> Combo::rowOf(std::string_view value) const {
    if (value.empty()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (sameCode(rows_[i].value, value)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> Combo::selectedIndex() const {
    return rowOf(text());
}

std::string Combo::selectedLabel() const {
    auto index = selectedIndex();
    return index ? rows_[*index].label : std::string();
}

std::string Combo::normalise(std::string_view text) const {
    // A known code is shown as the row writes it.
    auto index = rowOf(text);
    return index ? rows_[*index].value : std::string(text);
}

InputResult Combo::userSelect(std::string_view value) {
    if (auto check = checkInput(); !check.accepted()) {
        return check;
    }
    std::string code;
    if (value.empty()) {
        if (!allowEmpty_) {
            return InputResult::refuse("Valore non previsto per " + name() + ".");
        }
    } else {
        auto index = rowOf(value);
        if (!index) {
            return InputResult::refuse("Valore non previsto per " + name() + ": " +
                                       std::string(value));
        }
        code = rows_[*index].value;
    }
    if (code == text()) {
        return InputResult::ignore();
    }
    return commitUserValue(std::move(code));
}

}  // namespace krl::controls
