#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "krl/variant/error.h"

namespace krl {

// Base of every late-bound framework object (what a ProgID creates, what a Variant can hold).
class Object {
  public:
    virtual ~Object() = default;
};
using ObjectPtr = std::shared_ptr<Object>;

class Variant;
using VariantArray = std::vector<Variant>;

// The automation Variant: Empty and Null kept apart, 16/32-bit integers that narrow like the
// runtime (a value that does not fit is an Overflow error, text that is not a number is a Type
// mismatch), doubles, text, arrays and object references.
class Variant {
  public:
    enum class Type {
        Empty,
        Null,
        Boolean,
        Integer,
        Long,
        LongLong,
        Double,
        String,
        Array,
        Object
    };

    Variant() = default;
    // Conversions from the values a Variant holds are implicit, as in the runtime.
    // NOLINTBEGIN(google-explicit-constructor)
    Variant(bool value) : value_(value) {}
    Variant(std::int16_t value) : value_(value) {}
    Variant(std::int32_t value) : value_(value) {}
    Variant(std::int64_t value) : value_(value) {}
    Variant(double value) : value_(value) {}
    Variant(std::string value) : value_(std::move(value)) {}
    Variant(std::string_view value) : value_(std::string(value)) {}
    Variant(const char* value) : value_(std::string(value)) {}
    Variant(VariantArray value) : value_(std::move(value)) {}
    Variant(ObjectPtr value) : value_(std::move(value)) {}
    // NOLINTEND(google-explicit-constructor)

    static Variant null() {
        Variant v;
        v.value_ = NullTag{};
        return v;
    }

    Type type() const { return static_cast<Type>(value_.index()); }
    bool isEmpty() const { return type() == Type::Empty; }
    bool isNull() const { return type() == Type::Null; }
    bool isArray() const { return type() == Type::Array; }
    bool isObject() const { return type() == Type::Object; }
    bool isString() const { return type() == Type::String; }
    bool isNumeric() const;  // Boolean, integers and doubles

    // Conversions with the runtime's rules; they throw VbError (6, 13, 94) when they cannot
    // convert.
    bool toBool() const;
    std::int16_t toInt16() const;
    std::int32_t toInt32() const;
    std::int64_t toInt64() const;
    double toDouble() const;
    std::string toText() const;  // Null raises 94; Empty is ""
    const VariantArray& array() const;
    ObjectPtr object() const;  // null pointer for Empty/Null/Nothing; Type mismatch for values

    // Text with Null and Empty read as "" (the value concatenated with an empty text).
    std::string textOrEmpty() const;

    // Same type and same value (how a recordset decides that a field was changed).
    bool identical(const Variant& other) const;

    // A short description of the value for messages and logs ("Null", "Empty", the text).
    std::string describe() const;

  private:
    struct NullTag {};
    std::variant<std::monostate, NullTag, bool, std::int16_t, std::int32_t, std::int64_t, double,
                 std::string, VariantArray, ObjectPtr>
        value_;
};

// Parses text the way the runtime reads a number: blanks around it, an optional sign, digits with
// one decimal separator ('.' or ','), an optional exponent. Nothing else.
std::optional<double> parseNumber(std::string_view text);

// The numeric reading every rule uses: Null, Empty, text that is blank after trailing blanks are
// removed, and text that is not a number all read as 0; anything else reads as its value.
double numericValue(const Variant& value);

// Trailing blanks removed (the runtime's RTrim).
std::string rtrim(std::string_view text);

// Every single quote doubled.
std::string doubleQuotes(std::string_view text);

// Number written the way the runtime writes it in text (at most 15 significant digits, no
// trailing zeros, '.' as decimal separator).
std::string numberText(double value);

}  // namespace krl
