#pragma once

// The Variant type a column's values take, from the column's declared type.

#include <string_view>

#include "krl/variant/variant.h"

namespace krl::ado {

// Any: no declared type (expressions); values keep the type the engine gives them.
enum class ValueKind { Any, Integer, Long, LongLong, Double, String };

// SMALLINT, TINYINT, BIT: Integer; INT, INTEGER: Long; BIGINT: LongLong; REAL, FLOAT, DOUBLE,
// DECIMAL, NUMERIC, MONEY: Double; character and date types: String.
ValueKind kindOfDeclaredType(std::string_view declaredType);

// The width in "VARCHAR(14)" (14); 0 when the type has none or is not a text type.
int definedSizeOf(std::string_view declaredType);

// A value as the column holds it: an integer read from the engine in the column's kind (a Long
// that does not fit an Integer stays Long, and so on).
Variant integerValue(ValueKind kind, long long value);

// A value assigned to a field, converted to the column's kind the way the runtime converts
// (Overflow when it does not fit, Type mismatch when it is not a number). Empty and Null stay.
Variant assignedValue(ValueKind kind, const Variant& value);

}  // namespace krl::ado
