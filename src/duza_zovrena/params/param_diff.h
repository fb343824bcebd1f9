#pragma once

// The differences between two parameter sets, column by column.

#include <string>
#include <vector>

#include "duza_zovrena/params/param_set.h"

namespace duza_zovrena::params {

struct Difference {
    std::string table;
    std::string documentCode;  // empty for the general row
    std::string column;        // empty when the whole row is on one side only
    std::string left;          // as displayValue writes it, or "(riga assente)"
    std::string right;
};

// The general row, then the document rows and the transfer rows by code.
std::vector<Difference> differences(const ParamSet& left, const ParamSet& right);

// "PD88_ZOVRENADOC, documento ODP, PD88_INDSTATI: 0 -> 1".
std::string differenceLine(const Difference& difference);

}  // namespace duza_zovrena::params
