#pragma once

#include <string>

#include "duza_zovrena/pages/page_members.h"
#include "duza_zovrena/pages/parameter_page.h"

namespace duza_zovrena::pages {

// A page of the document row: the window tells it the type and subtype of its document, and it
// switches its controls as its declaration says (enableControlTypes, documentSwitches, byDocument).
class DocumentPage : public ParameterPage, public DocumentMembers {
  public:
    using ParameterPage::ParameterPage;

    // NOLINTNEXTLINE(performance-unnecessary-value-param): the page keeps it.
    void setTipoSottotipoDocumento(std::string value) override {
        tipoSottotipoDocumento_ = std::move(value);
    }
    std::string tipoSottotipoDocumento() const override { return tipoSottotipoDocumento_; }
    void EnableControl(bool enabled) override;
    void EnableControlByDocument() override;

  private:
    std::string tipoSottotipoDocumento_;
};

}  // namespace duza_zovrena::pages
