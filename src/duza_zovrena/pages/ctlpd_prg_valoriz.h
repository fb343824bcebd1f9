#pragma once

#include "duza_zovrena/pages/declaration.h"

namespace duza_zovrena::pages {

// Valuations: the parametric price lists on or off, the priority table that chooses the price
// list for each kind of cost, and the costing options of setup operations and of the final costing
// of production orders. Its priority-table fields are ID edits: the record stores the table's id,
// the person sees and types its code.
PageDeclaration valorizPage();

}  // namespace duza_zovrena::pages
