#pragma once

#include <string>
#include <string_view>

#include "krl/variant/variant.h"

namespace krl::ado {
class Field;
}

namespace krl::frame {

// The text a control shows for a column value: Null and Empty as "", a Boolean as "1"/"0",
// numbers as the runtime writes them, text unchanged.
std::string controlText(const Variant& value);

// The column value for a control's text. Blank text is Null. The column's type is taken from the
// value it holds or held when read (a 16-bit column gets a 16-bit integer, and so on); a column
// with no value yet is text when it declares a width, otherwise a number when the text reads as
// one. Text that is not a number for a numeric column raises Type mismatch (13); a value that does
// not fit raises Overflow (6); text longer than the column's width raises error 5.
Variant fieldValue(std::string_view text, const ado::Field& field);

}  // namespace krl::frame
