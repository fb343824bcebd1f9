#pragma once

#include "duza_zovrena/pages/declaration.h"

namespace duza_zovrena::pages {

// Active subcontracting, documents: the six company document codes of the active-subcontracting
// movements (receipt of the customer's material, deposit, material issue, return delivery note,
// issue of returned material, invoice of the return delivery note).
PageDeclaration claDocPage();

}  // namespace duza_zovrena::pages
