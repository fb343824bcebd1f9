#pragma once

#include "duza_zovrena/pages/declaration.h"

namespace duza_zovrena::pages {

// Active subcontracting, indicators: whether customer-material lots are managed and which date
// closes them, which references the subcontracting documents carry and where, and whether active
// subcontracting is integrated with the production flow.
PageDeclaration claIndPage();

}  // namespace duza_zovrena::pages
