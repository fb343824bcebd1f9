#pragma once

#include "duza_zovrena/pages/declaration.h"

namespace duza_zovrena::pages {

// External work, documents: the document codes used for subcontracting (orders, delivery notes,
// progress, returns, transit, packaging, lots, scrap) and the scrap deposit.
PageDeclaration lavEstDocPage();

}  // namespace duza_zovrena::pages
