#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "duza_zovrena/pages/document_page.h"

namespace duza_zovrena::pages {

// What the two pages of documents linked to the current document share.

// A document field with its caption and the description label its decode fills.
struct LinkedField {
    std::string_view frame;
    std::string_view control;
    std::string_view column;
    std::string_view label;
    std::string_view description;
};

// Each field followed by its description label, in the order given.
std::vector<ControlDef> linkedControls(std::span<const LinkedField> fields);

// A field accepting documents of one type and subtype.
CodeFieldDef linkedDocument(std::string_view control, int type, int subtype);

// The declaration both pages start from: the side-bar group, the document record, the members and
// the Initialize steps.
PageDeclaration linkedPage(std::string_view className, std::string_view item,
                           std::string_view itemCaption, std::string_view title);

// EnableControl switches every edit of the page; after its switches by kind, a document whose
// order lines have no states generates them released.
class LinkedDocumentsPage : public DocumentPage {
  public:
    using DocumentPage::DocumentPage;

    void EnableControl(bool enabled) override;

  protected:
    void releaseOrderLines();
};

}  // namespace duza_zovrena::pages
