#pragma once

#include "duza_zovrena/pages/declaration.h"

namespace duza_zovrena::pages {

// Routing defaults: the routing code taken from the item, the units of the four routing times,
// the worker qualifications for setup and for working, the phase that consumes the components and
// what becomes of components with an invalid phase or under a phantom semi-finished item. The
// window offers the page only while routing management is on.
PageDeclaration cicliPage();

}  // namespace duza_zovrena::pages
