#pragma once

#include "duza_zovrena/pages/declaration.h"

namespace duza_zovrena::pages {

// Internal work, documents: the document codes the production procedures use for internal work
// (order, loads, unloads, progress, lists, lots, scrap) and the scrap deposit.
PageDeclaration lavIntDocPage();

}  // namespace duza_zovrena::pages
