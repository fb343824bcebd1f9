#pragma once

#include "duza_zovrena/pages/declaration.h"

namespace duza_zovrena::pages {

// The pages whose controls are not built yet: each follows the page protocol (members, Initialize
// with its checks, Terminate, messages, trace lines) and shows only its title.
PageDeclaration lavIntIndPage();
PageDeclaration lavIntDocPage();
PageDeclaration lavEstIndPage();
PageDeclaration lavEstDocPage();
PageDeclaration claIndPage();
PageDeclaration claDocPage();
PageDeclaration prdIndPage();
PageDeclaration prdPrdPage();

}  // namespace duza_zovrena::pages
