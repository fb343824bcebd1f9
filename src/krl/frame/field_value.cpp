#include "krl/frame/field_value.h"

#include <cmath>
#include <limits>

#include "krl/ado/ado.h"
#include "krl/controls/edit.h"

namespace krl::frame {

namespace {

const Variant* typedSample(const ado::Field& field) {
    for (const Variant* value : {&field.value(), &field.originalValue()}) {
        if (!value->isNull() && !value->isEmpty()) {
            return value;
        }
    }
    return nullptr;
}

double numberFor(std::string_view text, const ado::Field& field) {
    auto number = parseNumber(text);
    if (!number) {
        err::raise(err::TypeMismatch, "Il campo " + field.name() +
                                          " accetta solo valori numerici: " + std::string(text));
    }
    return *number;
}

Variant untypedNumber(double number) {
    if (number == std::trunc(number) && std::abs(number) <= 9.0e15) {
        auto whole = static_cast<std::int64_t>(number);
        if (whole >= std::numeric_limits<std::int32_t>::min() &&
            whole <= std::numeric_limits<std::int32_t>::max()) {
            return Variant(static_cast<std::int32_t>(whole));
        }
        return Variant(whole);
    }
    return Variant(number);
}

}  // namespace

std::string controlText(const Variant& value) {
    switch (value.type()) {
        case Variant::Type::Empty:
        case Variant::Type::Null:
            return {};
        case Variant::Type::Boolean:
            return value.toBool() ? "1" : "0";
        default:
            return value.toText();
    }
}

Variant fieldValue(std::string_view text, const ado::Field& field) {
    if (rtrim(text).empty()) {
        return Variant::null();
    }
    const Variant* sample = typedSample(field);
    Variant::Type type = sample != nullptr ? sample->type() : Variant::Type::Empty;
    if (type == Variant::Type::Empty) {
        // A column without a typed value yet: text when it has a width, a number when the text
        // reads as one.
        auto number = field.definedSize() > 0 ? std::nullopt : parseNumber(text);
        if (number) {
            return untypedNumber(*number);
        }
        type = Variant::Type::String;
    }
    switch (type) {
        case Variant::Type::Boolean:
            return Variant(numberFor(text, field) != 0);
        case Variant::Type::Integer:
            return Variant(Variant(numberFor(text, field)).toInt16());
        case Variant::Type::Long:
            return Variant(Variant(numberFor(text, field)).toInt32());
        case Variant::Type::LongLong:
            return Variant(Variant(numberFor(text, field)).toInt64());
        case Variant::Type::Double:
            return Variant(numberFor(text, field));
        default:
            break;
    }
    std::string value(text);
    if (field.definedSize() > 0 &&
        controls::leftChars(value, static_cast<std::size_t>(field.definedSize())) != value) {
        err::raise(err::InvalidProcedureCall,
                   "Il valore è troppo lungo per il campo " + field.name() + " (al massimo " +
                       std::to_string(field.definedSize()) + " caratteri).");
    }
    return Variant(std::move(value));
}

}  // namespace krl::frame
