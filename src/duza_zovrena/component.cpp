#include "duza_zovrena/component.h"

#include "duza_zovrena/host/clspd_zovrena.h"
#include "duza_zovrena/pages/page_list.h"
#include "duza_zovrena/window/frmpd_zovrena.h"

namespace duza_zovrena {

void registerComponent(krl::host::ProgIdRegistry& registry) {
    host::registerProgramClass(registry);
    pages::registerPages(registry);
    window::installWindowFactory();
}

}  // namespace duza_zovrena
