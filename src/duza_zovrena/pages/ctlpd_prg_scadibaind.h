#pragma once

#include "duza_zovrena/pages/declaration.h"

namespace duza_zovrena::pages {

// Bill-of-materials consumption, indicators: how deep the bill is exploded when components are
// consumed, whether semi-finished items are received automatically, how finished-product receipts
// are generated.
PageDeclaration scaDibaIndPage();

}  // namespace duza_zovrena::pages
