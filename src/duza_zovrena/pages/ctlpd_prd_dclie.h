#pragma once

#include "duza_zovrena/pages/document_page.h"

namespace duza_zovrena::pages {

// The pages' declarations, for the page list.
PageDeclaration prdDcliePage();
PageDeclaration prdDcclaPage();

// The documents linked to the current document for internal and external work, and the scrap
// deposit. Which fields may be filled, what they list and accept, and two captions follow the
// kind of the current document (its type text: "2420", "251", "103").
class CTLPD_PRD_DCLIE : public DocumentPage, public ScrapLoadSwitch {
  public:
    static constexpr std::string_view ClassName = "CTLPD_PRD_DCLIE";

    explicit CTLPD_PRD_DCLIE(const PageDeclaration& declaration) : DocumentPage(declaration) {}

    void EnableControl(bool enabled) override;
    void EnableControlByDocument() override;
    void setEnableCarSfridoCl(bool value) override;
};

// The two documents linked to active subcontracting.
class CTLPD_PRD_DCCLA : public DocumentPage {
  public:
    static constexpr std::string_view ClassName = "CTLPD_PRD_DCCLA";

    explicit CTLPD_PRD_DCCLA(const PageDeclaration& declaration) : DocumentPage(declaration) {}

    void EnableControl(bool enabled) override;
    void EnableControlByDocument() override;
};

}  // namespace duza_zovrena::pages
