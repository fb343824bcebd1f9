#pragma once

namespace krl::host {
class ProgIdRegistry;
}

namespace duza_zovrena {

// Registers the component's classes as the system's class registration would: the program object
// "DUZA_ZOVRENA.CLSPD_ZOVRENA" and every page "DUZA_ZOVRENA.CTLPD_...", and makes the program
// object's ShowForm build the window FRMPD_ZOVRENA.
void registerComponent(krl::host::ProgIdRegistry& registry);

}  // namespace duza_zovrena
