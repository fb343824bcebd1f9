#pragma once

#include "duza_zovrena/pages/declaration.h"

namespace duza_zovrena::pages {

// The pages whose controls are not built yet: each follows the page protocol (members, Initialize
// with its checks, Terminate, messages, trace lines) and shows only its title.
PageDeclaration trPersPage();
PageDeclaration prdDcliePage();
PageDeclaration prdDcclaPage();

}  // namespace duza_zovrena::pages
