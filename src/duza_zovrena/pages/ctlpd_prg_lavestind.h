#pragma once

#include "duza_zovrena/pages/declaration.h"

namespace duza_zovrena::pages {

// External work, indicators: the transit deposit and transfer documents, the progress check of
// external phases, the generation of subcontracting orders or picking lists, and two switches on
// order delivery.
PageDeclaration lavEstIndPage();

}  // namespace duza_zovrena::pages
