#pragma once

#include "duza_zovrena/pages/declaration.h"

namespace duza_zovrena::pages {

// Internal work, indicators: generation of commitments and material transfers, the deposits
// components are taken from and assemblies delivered to, and the checks on phase progress.
PageDeclaration lavIntIndPage();

}  // namespace duza_zovrena::pages
