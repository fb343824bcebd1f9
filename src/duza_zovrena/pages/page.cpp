#include "duza_zovrena/pages/page.h"

#include "krl/variant/error.h"

namespace duza_zovrena::pages {

void raiseNotSupported(std::string_view member) {
    krl::err::raise(krl::err::ObjectDoesNotSupport,
                    "L'oggetto non supporta la proprietà o il metodo " + std::string(member));
}

std::string pageProgId(std::string_view className) {
    return "DUZA_ZOVRENA." + std::string(className);
}

}  // namespace duza_zovrena::pages
