#pragma once

#include "krl/host/progid.h"

namespace duza_zovrena::pages {

// Registers every page class of the side bar under its ProgID ("DUZA_ZOVRENA." + class name).
void registerPages(krl::host::ProgIdRegistry& registry);

}  // namespace duza_zovrena::pages
