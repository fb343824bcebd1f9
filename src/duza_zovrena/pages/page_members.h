#pragma once

#include <string>
#include <string_view>

#include "duza_zovrena/pages/page.h"
#include "krl/variant/variant.h"

namespace duza_zovrena::pages {

// Members only some pages have. A page that has them implements the interface; the window finds it
// with pageMember, which raises 438 on a page without it, as late binding would.

// A document page: the type and subtype of the window's document ("2420") and the switching of its
// controls by it.
class DocumentMembers {
  public:
    virtual ~DocumentMembers() = default;
    virtual void setTipoSottotipoDocumento(std::string value) = 0;
    virtual std::string tipoSottotipoDocumento() const = 0;
    virtual void EnableControl(bool enabled) = 0;
    virtual void EnableControlByDocument() = 0;
};

// A page whose controls change when warehouse management is on.
class WarehouseActions {
  public:
    virtual ~WarehouseActions() = default;
    virtual void AzioniWMSEnabled() = 0;
};

// A page offering the scrap-recovery load document, which the window switches.
class ScrapLoadSwitch {
  public:
    virtual ~ScrapLoadSwitch() = default;
    virtual void setEnableCarSfridoCl(bool value) = 0;
};

// The custom-field transfer page: the company it works for, and whether it is being closed.
class TransferMembers {
  public:
    virtual ~TransferMembers() = default;
    virtual void setCodiceDitta(krl::Variant value) = 0;
    virtual void setOnTerminate(bool value) = 0;
};

// The page's interface `Members`; error 438 naming `member` when the page lacks it.
template <class Members>
Members& pageMember(Page& page, std::string_view member) {
    auto* found = dynamic_cast<Members*>(&page);
    if (found == nullptr) {
        raiseNotSupported(member);
    }
    return *found;
}

}  // namespace duza_zovrena::pages
