#pragma once

#include <cstdint>

#include "duza_zovrena/pages/page_members.h"
#include "duza_zovrena/pages/parameter_page.h"
#include "krl/controls/event.h"

namespace duza_zovrena::pages {

// The page's declaration, for the page list.
PageDeclaration indgesPage();

// The management indicators of production: bills of materials, routing cycles, plans, orders, the
// intermediate semi-finished item, scrap, blocked goods, projects, lots and traceability, origin
// of supplier and department, analytic accounting, lead time, custom data of the origin document.
class CTLPD_PRG_INDGES : public ParameterPage, public WarehouseActions {
  public:
    static constexpr std::string_view ClassName = "CTLPD_PRG_INDGES";

    // Built from indgesPage(); without a declaration, from that one.
    explicit CTLPD_PRG_INDGES(const PageDeclaration& declaration);
    CTLPD_PRG_INDGES() : CTLPD_PRG_INDGES(indgesPage()) {}

    // Raised each time CMB_GESTCICLI changes row, with its code; the window enables the routing
    // page's item from 1 upwards.
    krl::controls::Event<std::int16_t> ComboGestioneCicliChangeRow;

    // Warehouse management is on: the movement of the intermediate semi-finished item is the
    // warehouse's business.
    void AzioniWMSEnabled() override;
};

}  // namespace duza_zovrena::pages
