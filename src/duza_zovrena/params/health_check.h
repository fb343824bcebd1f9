#pragma once

// Every problem of a company's stored parameters: codes the company lacks or whose document kind
// does not fit the field, rows the save rules would refuse or repair, transfer rows of documents
// the company lacks or with values outside 0-2.

#include <memory>
#include <vector>

#include "duza_zovrena/params/param_set.h"
#include "duza_zovrena/params/problem.h"
#include "krl/ado/ado.h"

namespace duza_zovrena::params {

std::vector<Problem> checkCompany(const std::shared_ptr<krl::ado::Connection>& connection,
                                  long company);

// The problems of a set as if it were the company's: what an import would store.
std::vector<Problem> checkSet(const std::shared_ptr<krl::ado::Connection>& connection, long company,
                              const ParamSet& set);

// Transfer rows whose values are outside 0-2.
std::vector<Problem> transferValueProblems(const ParamSet& set, long company);

}  // namespace duza_zovrena::params
