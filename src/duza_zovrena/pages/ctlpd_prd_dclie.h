#pragma once

#include "duza_zovrena/pages/linked_documents.h"

namespace duza_zovrena::pages {

// The page's declaration, for the page list.
PageDeclaration prdDcliePage();

// The documents linked to the current document for internal and external work, and the scrap
// deposit. Which fields may be filled, what they list and accept, and two captions follow the
// kind of the current document (its type text: "2420", "251", "103").
class CTLPD_PRD_DCLIE : public LinkedDocumentsPage, public ScrapLoadSwitch {
  public:
    static constexpr std::string_view ClassName = "CTLPD_PRD_DCLIE";

    using LinkedDocumentsPage::LinkedDocumentsPage;

    void EnableControlByDocument() override;
    void setEnableCarSfridoCl(bool value) override;
};

}  // namespace duza_zovrena::pages
