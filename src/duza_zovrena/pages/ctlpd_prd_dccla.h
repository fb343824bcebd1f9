#pragma once

#include "duza_zovrena/pages/linked_documents.h"

namespace duza_zovrena::pages {

// The page's declaration, for the page list.
PageDeclaration prdDcclaPage();

// The two documents linked to active subcontracting.
class CTLPD_PRD_DCCLA : public LinkedDocumentsPage {
  public:
    static constexpr std::string_view ClassName = "CTLPD_PRD_DCCLA";

    using LinkedDocumentsPage::LinkedDocumentsPage;

    void EnableControlByDocument() override;
};

}  // namespace duza_zovrena::pages
