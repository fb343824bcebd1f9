#include "krl/ado/column_type.h"

#include "krl/variant/text.h"

#include <cctype>
#include <cstdint>
#include <limits>
#include <string>

namespace krl::ado {

namespace {

bool contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

bool isTextType(const std::string& type) {
    return contains(type, "CHAR") || contains(type, "TEXT") || contains(type, "CLOB");
}

}  // namespace

ValueKind kindOfDeclaredType(std::string_view declaredType) {
    const std::string type = krl::upperAscii(declaredType);
    if (type.empty()) {
        return ValueKind::Any;
    }
    if (contains(type, "BIGINT")) {
        return ValueKind::LongLong;
    }
    if (contains(type, "SMALLINT") || contains(type, "TINYINT") || type.starts_with("BIT")) {
        return ValueKind::Integer;
    }
    if (contains(type, "INT")) {
        return ValueKind::Long;
    }
    if (isTextType(type) || contains(type, "DATE") || contains(type, "TIME") ||
        contains(type, "GUID") || contains(type, "UNIQUEIDENTIFIER")) {
        return ValueKind::String;
    }
    if (contains(type, "REAL") || contains(type, "FLOA") || contains(type, "DOUB") ||
        contains(type, "DEC") || contains(type, "NUM") || contains(type, "MONEY")) {
        return ValueKind::Double;
    }
    return ValueKind::Any;
}

int definedSizeOf(std::string_view declaredType) {
    const std::string type = krl::upperAscii(declaredType);
    if (!isTextType(type)) {
        return 0;
    }
    auto open = type.find('(');
    if (open == std::string::npos) {
        return 0;
    }
    int size = 0;
    for (std::size_t i = open + 1;
         i < type.size() && std::isdigit(static_cast<unsigned char>(type[i])); ++i) {
        size = size * 10 + (type[i] - '0');
        if (size > 1'000'000'000 / 10) {
            return 0;
        }
    }
    return size;
}

Variant integerValue(ValueKind kind, long long value) {
    const bool fitsInt16 = value >= std::numeric_limits<std::int16_t>::min() &&
                           value <= std::numeric_limits<std::int16_t>::max();
    const bool fitsInt32 = value >= std::numeric_limits<std::int32_t>::min() &&
                           value <= std::numeric_limits<std::int32_t>::max();
    if (kind == ValueKind::Integer && fitsInt16) {
        return static_cast<std::int16_t>(value);
    }
    if (kind == ValueKind::LongLong || !fitsInt32) {
        return static_cast<std::int64_t>(value);
    }
    if (kind == ValueKind::Double) {
        return static_cast<double>(value);
    }
    return static_cast<std::int32_t>(value);
}

Variant assignedValue(ValueKind kind, const Variant& value) {
    if (value.isEmpty() || value.isNull()) {
        return value;
    }
    switch (kind) {
        case ValueKind::Any:
            return value;
        case ValueKind::Integer:
            return value.toInt16();
        case ValueKind::Long:
            return value.toInt32();
        case ValueKind::LongLong:
            return value.toInt64();
        case ValueKind::Double:
            return value.toDouble();
        case ValueKind::String:
            return value.toText();
    }
    return value;
}

}  // namespace krl::ado
