#include "duza_zovrena/pages/ctlpd_prd_dccla.h"

namespace duza_zovrena::pages {

namespace {

constexpr LinkedField kFields[] = {
    {"WLFrame1", "TXT_VERSACLA", "PD88_VERSACLA_MG3G", "Vers. per c/lav.", "LBL_DESVERSACLA"},
    {"WLFrame1", "TXT_SCAMATCLA", "PD88_SCAMATCLA_MG3G", "Scar. mat. da c/lav.",
     "LBL_DESSCAMATCLA"},
};

}  // namespace

PageDeclaration prdDcclaPage() {
    PageDeclaration page =
        linkedPage(CTLPD_PRD_DCCLA::ClassName, "ITM_PRD_DCCLA", "Doc. collegati c/lav. attivo",
                   "Parametri documenti - doc. coll. c/lav. att.");
    page.firstControl = "TXT_VERSACLA";
    page.frames = {{"WLFrame1", "", "", 15}};
    page.controls = linkedControls(kFields);
    page.codeFields = {linkedDocument("TXT_VERSACLA", 26, 3),
                       linkedDocument("TXT_SCAMATCLA", 26, 4)};
    page.codeFields[0].descriptionLabel = "LBL_DESVERSACLA";
    page.codeFields[1].descriptionLabel = "LBL_DESSCAMATCLA";
    page.make = [](const PageDeclaration& declaration) -> std::shared_ptr<ParameterPage> {
        return std::make_shared<CTLPD_PRD_DCCLA>(declaration);
    };
    return page;
}

void CTLPD_PRD_DCCLA::EnableControlByDocument() {
    DocumentPage::EnableControlByDocument();
    krl::trap::run("EnableControlByDocument", {[this] { releaseOrderLines(); }}, errorRoutine());
}

}  // namespace duza_zovrena::pages
