#pragma once

#include "duza_zovrena/pages/declaration.h"

namespace duza_zovrena::pages {

// The size/colour grid: whether items are managed through a grid of sizes and colours, and how a
// bill of materials is localised with respect to item variants. No rule ties the two: the save
// rules reset the localisation unless the company options allow it.
PageDeclaration grTagColPage();

}  // namespace duza_zovrena::pages
