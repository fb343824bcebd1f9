#include "duza_zovrena/pages/linked_documents.h"

#include "krl/ado/ado.h"

namespace duza_zovrena::pages {

namespace kc = krl::controls;

std::vector<ControlDef> linkedControls(std::span<const LinkedField> fields) {
    std::vector<ControlDef> controls;
    for (const LinkedField& field : fields) {
        controls.push_back({field.frame, field.control, field.column, field.label});
        controls.push_back({field.frame, field.description, "", ""});
    }
    return controls;
}

CodeFieldDef linkedDocument(std::string_view control, int type, int subtype) {
    CodeFieldDef field;
    field.control = control;
    field.documentType = type;
    field.subtypes = {subtype};
    return field;
}

PageDeclaration linkedPage(std::string_view className, std::string_view item,
                           std::string_view itemCaption, std::string_view title) {
    PageDeclaration page;
    page.className = std::string(className);
    page.group = "GRP_PRD_DOCUMENTI";
    page.groupCaption = "Parametri documenti";
    page.item = item;
    page.itemCaption = itemCaption;
    page.title = std::string(title);
    page.record = PageRecord::Document;
    page.members.documentType = true;
    page.members.connection = page.members.decodeLookup = true;
    page.startsDisabled = true;
    page.registeredTypes = {"TXT_EDITM"};
    return page;
}

void LinkedDocumentsPage::EnableControl(bool enabled) {
    DocumentPage::EnableControl(enabled);
    for (const kc::ControlPtr& control : controls()) {
        if (control->kind() == kc::Kind::EditM) {
            control->setEnabled(enabled);
        }
    }
}

void LinkedDocumentsPage::releaseOrderLines() {
    auto& rows = krl::require(recordset(), "Recordset");
    if (krl::numericValue(rows["PD88_INDSTATI"].value()) != 2) {
        rows["PD88_INDSTATOORD"].setValue(krl::Variant(std::int16_t{2}));
    }
}

}  // namespace duza_zovrena::pages
