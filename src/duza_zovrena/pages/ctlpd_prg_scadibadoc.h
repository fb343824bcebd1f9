#pragma once

#include "duza_zovrena/pages/declaration.h"

namespace duza_zovrena::pages {

// Bill-of-materials consumption, documents: the company documents of the finished-product and
// semi-finished receipts, the material issue and the receipt of recovery items.
PageDeclaration scaDibaDocPage();

}  // namespace duza_zovrena::pages
