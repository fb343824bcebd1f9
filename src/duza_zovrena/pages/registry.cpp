#include "duza_zovrena/pages/registry.h"

#include <memory>
#include <string>

#include "duza_zovrena/pages/ctlpd_prg_indges.h"
#include "duza_zovrena/pages/protocol_page.h"

namespace duza_zovrena::pages {

void registerPages(krl::host::ProgIdRegistry& registry) {
    registry.add(pageProgId(CTLPD_PRG_INDGES::ClassName),
                 [] { return std::make_shared<CTLPD_PRG_INDGES>(); });
    for (std::string_view className : ProtocolPage::classNames()) {
        registry.add(pageProgId(className),
                     [name = std::string(className)] { return ProtocolPage::create(name); });
    }
}

}  // namespace duza_zovrena::pages
