#pragma once

#include "duza_zovrena/pages/declaration.h"

namespace duza_zovrena::pages {

// The indicators of a document's production parameters: how the orders generated from the
// document are built, committed and transferred, the order-line states, scrap and progress
// checks, and the transit deposit; which of them apply depends on the kind of document.
PageDeclaration prdIndPage();

}  // namespace duza_zovrena::pages
