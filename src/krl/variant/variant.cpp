#include "krl/variant/variant.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace krl {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Round half to even, as the runtime's integer conversions do.
double bankersRound(double value) {
    double rounded = std::nearbyint(value);  // default rounding mode is to nearest, ties to even
    return rounded;
}

template <typename Int>
Int narrow(double value) {
    double rounded = bankersRound(value);
    if (std::isnan(rounded) || rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        err::overflow();
    }
    return static_cast<Int>(rounded);
}

template <typename Int>
Int narrow(std::int64_t value) {
    if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max()) {
        err::overflow();
    }
    return static_cast<Int>(value);
}

}  // namespace

std::optional<double> parseNumber(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    if (begin == end) {
        return std::nullopt;
    }
    std::string normalized;
    normalized.reserve(end - begin);
    std::size_t i = begin;
    if (text[i] == '+' || text[i] == '-') {
        normalized += text[i++];
    }
    bool digits = false;
    bool separator = false;
    for (; i < end; ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            normalized += c;
        } else if ((c == '.' || c == ',') && !separator) {
            separator = true;
            normalized += '.';
        } else {
            break;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        normalized += 'e';
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-')) {
            normalized += text[i++];
        }
        bool expDigits = false;
        for (; i < end && text[i] >= '0' && text[i] <= '9'; ++i) {
            expDigits = true;
            normalized += text[i];
        }
        if (!expDigits) {
            return std::nullopt;
        }
    }
    if (i != end) {
        return std::nullopt;
    }
    char* stop = nullptr;
    double value = std::strtod(normalized.c_str(), &stop);
    if (stop == nullptr || *stop != '\0' || std::isinf(value)) {
        return std::nullopt;
    }
    return value;
}

std::string rtrim(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ') {
        --end;
    }
    return std::string(text.substr(0, end));
}

std::string doubleQuotes(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    for (char c : text) {
        out += c;
        if (c == '\'') {
            out += '\'';
        }
    }
    return out;
}

std::string numberText(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
        std::string text = buffer;
        return text == "-0" ? "0" : text;
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

bool Variant::isNumeric() const {
    switch (type()) {
        case Type::Boolean:
        case Type::Integer:
        case Type::Long:
        case Type::LongLong:
        case Type::Double:
            return true;
        default:
            return false;
    }
}

double Variant::toDouble() const {
    switch (type()) {
        case Type::Empty:
            return 0;
        case Type::Null:
            err::invalidUseOfNull();
        case Type::Boolean:
            return std::get<bool>(value_) ? -1 : 0;
        case Type::Integer:
            return std::get<std::int16_t>(value_);
        case Type::Long:
            return std::get<std::int32_t>(value_);
        case Type::LongLong:
            return static_cast<double>(std::get<std::int64_t>(value_));
        case Type::Double:
            return std::get<double>(value_);
        case Type::String: {
            auto parsed = parseNumber(std::get<std::string>(value_));
            if (!parsed) {
                err::typeMismatch();
            }
            return *parsed;
        }
        case Type::Array:
        case Type::Object:
            break;
    }
    err::typeMismatch();
}

std::int64_t Variant::toInt64() const {
    switch (type()) {
        case Type::Integer:
            return std::get<std::int16_t>(value_);
        case Type::Long:
            return std::get<std::int32_t>(value_);
        case Type::LongLong:
            return std::get<std::int64_t>(value_);
        default:
            return narrow<std::int64_t>(toDouble());
    }
}

std::int16_t Variant::toInt16() const {
    switch (type()) {
        case Type::Integer:
        case Type::Long:
        case Type::LongLong:
            return narrow<std::int16_t>(toInt64());
        default:
            return narrow<std::int16_t>(toDouble());
    }
}

std::int32_t Variant::toInt32() const {
    switch (type()) {
        case Type::Integer:
        case Type::Long:
        case Type::LongLong:
            return narrow<std::int32_t>(toInt64());
        default:
            return narrow<std::int32_t>(toDouble());
    }
}

bool Variant::toBool() const {
    switch (type()) {
        case Type::Boolean:
            return std::get<bool>(value_);
        case Type::String: {
            const auto& text = std::get<std::string>(value_);
            if (text == "True" || text == "true" || text == "Vero") {
                return true;
            }
            if (text == "False" || text == "false" || text == "Falso") {
                return false;
            }
            return toDouble() != 0;
        }
        default:
            return toDouble() != 0;
    }
}

std::string Variant::toText() const {
    switch (type()) {
        case Type::Empty:
            return {};
        case Type::Null:
            err::invalidUseOfNull();
        case Type::Boolean:
            return std::get<bool>(value_) ? "True" : "False";
        case Type::Integer:
        case Type::Long:
        case Type::LongLong:
            return std::to_string(toInt64());
        case Type::Double:
            return numberText(std::get<double>(value_));
        case Type::String:
            return std::get<std::string>(value_);
        case Type::Array:
        case Type::Object:
            break;
    }
    err::typeMismatch();
}

std::string Variant::textOrEmpty() const {
    if (isNull() || isEmpty()) {
        return {};
    }
    return toText();
}

const VariantArray& Variant::array() const {
    if (!isArray()) {
        err::typeMismatch();
    }
    return std::get<VariantArray>(value_);
}

ObjectPtr Variant::object() const {
    if (isObject()) {
        return std::get<ObjectPtr>(value_);
    }
    if (isEmpty() || isNull()) {
        return nullptr;
    }
    err::typeMismatch();
}

bool Variant::identical(const Variant& other) const {
    if (type() != other.type()) {
        return false;
    }
    switch (type()) {
        case Type::Empty:
        case Type::Null:
            return true;
        case Type::Boolean:
            return std::get<bool>(value_) == std::get<bool>(other.value_);
        case Type::Integer:
        case Type::Long:
        case Type::LongLong:
            return toInt64() == other.toInt64();
        case Type::Double:
            return std::get<double>(value_) == std::get<double>(other.value_);
        case Type::String:
            return std::get<std::string>(value_) == std::get<std::string>(other.value_);
        case Type::Array: {
            const auto& mine = std::get<VariantArray>(value_);
            const auto& theirs = std::get<VariantArray>(other.value_);
            if (mine.size() != theirs.size()) {
                return false;
            }
            for (std::size_t i = 0; i < mine.size(); ++i) {
                if (!mine[i].identical(theirs[i])) {
                    return false;
                }
            }
            return true;
        }
        case Type::Object:
            return std::get<ObjectPtr>(value_) == std::get<ObjectPtr>(other.value_);
    }
    return false;
}

std::string Variant::describe() const {
    switch (type()) {
        case Type::Empty:
            return "Empty";
        case Type::Null:
            return "Null";
        case Type::Array:
            return "Array(" + std::to_string(array().size()) + ")";
        case Type::Object:
            return object() ? "Object" : "Nothing";
        default:
            return toText();
    }
}

double numericValue(const Variant& value) {
    switch (value.type()) {
        case Variant::Type::Empty:
        case Variant::Type::Null:
        case Variant::Type::Array:
        case Variant::Type::Object:
            return 0;
        case Variant::Type::String: {
            auto parsed = parseNumber(rtrim(value.toText()));
            return parsed ? *parsed : 0;
        }
        default:
            return value.toDouble();
    }
}

}  // namespace krl
