#include "duza_zovrena/pages/document_page.h"

#include <algorithm>

namespace duza_zovrena::pages {

namespace kc = krl::controls;

void DocumentPage::EnableControl(bool enabled) {
    const auto& types = declaration().enableControlTypes;
    for (const kc::ControlPtr& each : controls()) {
        if (std::find(types.begin(), types.end(), each->typeName()) != types.end()) {
            each->setEnabled(enabled);
        }
    }
}

void DocumentPage::EnableControlByDocument() {
    krl::trap::run("EnableControlByDocument",
                   {
                       [this] {
                           for (const DocumentTypeSwitch& kinds : declaration().documentSwitches) {
                               const auto& types = kinds.types;
                               if (std::find(types.begin(), types.end(), tipoSottotipoDocumento_) ==
                                   types.end()) {
                                   continue;
                               }
                               for (std::string_view name : kinds.on) {
                                   control<kc::Control>(name)->setEnabled(true);
                               }
                               for (std::string_view name : kinds.off) {
                                   control<kc::Control>(name)->setEnabled(false);
                               }
                           }
                       },
                       [this] {
                           if (declaration().byDocument) {
                               declaration().byDocument(*this);
                           }
                       },
                   },
                   errorRoutine());
}

}  // namespace duza_zovrena::pages
