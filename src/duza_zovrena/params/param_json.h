#pragma once

// A parameter set as a JSON file: what `params export` writes and `params diff` and `params import`
// read. Reading checks every row and value, and a file that is not right is refused whole with the
// place named (file, row, column).

#include <stdexcept>
#include <string>
#include <string_view>

#include "duza_zovrena/params/param_set.h"

namespace duza_zovrena::params {

inline constexpr std::string_view kFormatName = "zovrena-parametri";
inline constexpr int kFormatVersion = 1;

// A file that cannot be read as a parameter set; the text names the place, in Italian.
class BadInput : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The set of a company as JSON text: format name and version, the company it came from, the
// general row (null when there is none), the document rows and the transfer rows.
std::string toJson(const ParamSet& set, long company);

// The set a JSON text holds; `source` names it in the messages. Raises BadInput.
ParamSet fromJson(std::string_view text, const std::string& source);

// The set of a file. Raises BadInput, also for a file that cannot be read.
ParamSet readJsonFile(const std::string& path);

}  // namespace duza_zovrena::params
