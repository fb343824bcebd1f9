#pragma once

// Document indicators whose code 0 means "as the general parameters say": which general column
// each follows and the setting in force for a document row.

#include <functional>
#include <string_view>

#include "krl/variant/variant.h"

namespace duza_zovrena::data {

// The general column (PD42_ZOVRENA) a document column (PD88_ZOVRENADOC) follows while it holds 0;
// empty for a column that follows none. Case-insensitive.
std::string_view generalColumnFollowed(std::string_view documentColumn);

// A document indicator's setting in force. The general code c is the indicator's own code c + 1.
struct EffectiveValue {
    krl::Variant code;             // in the indicator's own numbering
    std::string_view fromGeneral;  // the general column it came from; empty: the stored code
};

// The stored code itself, unless it is 0 (or NULL) and the column follows a general column: then
// the general row's code (`general` reads a general column; NULL there gives NULL).
EffectiveValue effectiveValue(std::string_view documentColumn, const krl::Variant& stored,
                              const std::function<krl::Variant(std::string_view)>& general);

}  // namespace duza_zovrena::data
