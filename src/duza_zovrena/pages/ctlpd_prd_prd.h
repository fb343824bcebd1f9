#pragma once

#include "duza_zovrena/pages/declaration.h"

namespace duza_zovrena::pages {

// Where the production orders of a document take their deposits from: for picking components,
// for receiving assemblies, and whether material always leaves from the work department.
PageDeclaration prdPrdPage();

// Without order-line states a generated line is launched: written straight into the page's row
// when the window binds a document page, whatever the page.
void launchedWithoutStates(ParameterPage& page);

}  // namespace duza_zovrena::pages
