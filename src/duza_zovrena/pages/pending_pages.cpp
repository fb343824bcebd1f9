#include "duza_zovrena/pages/pending_pages.h"

namespace duza_zovrena::pages {

namespace {

using Step = InitializeStep;

// The usual order of the checks for a page with these members.
std::vector<InitializeCheck> usualSteps(bool connection, bool decodeLookup, bool combos) {
    std::vector<InitializeCheck> steps =
        initializeSteps({Step::ActiveInterface, Step::VirtualFrame, Step::Recordset});
    if (connection) {
        steps.push_back({Step::Connection, msg::NoConnection});
    }
    if (decodeLookup) {
        steps.push_back({Step::ClsDecodeProduzione, msg::NoDecode});
        steps.push_back({Step::ClsLookupProduzione, msg::NoLookup});
    }
    if (combos) {
        steps.push_back({Step::FillCombos});
    }
    steps.push_back({Step::AddVirtualFrameControl});
    steps.push_back({Step::InitializeScriptObjectModel});
    return steps;
}

// The side-bar place and title of a page; its only control is the title.
PageDeclaration pending(std::string_view className, std::string_view group,
                        std::string_view groupCaption, std::string_view item,
                        std::string_view itemCaption, std::string_view title) {
    PageDeclaration page;
    page.className = std::string(className);
    page.group = group;
    page.groupCaption = groupCaption;
    page.item = item;
    page.itemCaption = itemCaption;
    page.title = std::string(title);
    page.frames = {{"WLFrame1", "", "", 15}};
    page.controls = {{"WLFrame1", "LBL_TITOLO", "", title}};
    return page;
}

}  // namespace

PageDeclaration trPersPage() {
    PageDeclaration page = pending("CTLPD_PRT_TRPERS", "GRP_PRT_TRPERS", "Campi personalizzati",
                                   "ITM_PRT_TRPERS", "Trasferimento dal documento origine",
                                   "Parametri documenti - tras. campi pers. doc.orig.");
    page.record = PageRecord::Transfer;
    page.members.connection = true;
    page.members.transfer = true;
    page.layoutModel = false;
    page.initialize = initializeSteps({Step::ActiveInterface, Step::Connection});
    return page;
}

namespace {

PageDeclaration documentPage(std::string_view className, std::string_view item,
                             std::string_view itemCaption, std::string_view title) {
    PageDeclaration page =
        pending(className, "GRP_PRD_DOCUMENTI", "Parametri documenti", item, itemCaption, title);
    page.record = PageRecord::Document;
    page.members.documentType = true;
    return page;
}

}  // namespace

PageDeclaration prdDcliePage() {
    PageDeclaration page =
        documentPage("CTLPD_PRD_DCLIE", "ITM_PRD_DCLIE", "Doc. collegati lav. int./est.",
                     "Parametri documenti - doc. coll. lav. int./est.");
    page.members.connection = page.members.decodeLookup = true;
    page.members.carSfridoCl = true;
    page.initialize = usualSteps(true, true, true);
    page.firstControl = "TXT_CARINT_DOC";
    page.startsDisabled = true;
    return page;
}

PageDeclaration prdDcclaPage() {
    PageDeclaration page =
        documentPage("CTLPD_PRD_DCCLA", "ITM_PRD_DCCLA", "Doc. collegati c/lav. attivo",
                     "Parametri documenti - doc. coll. c/lav. att.");
    page.members.connection = page.members.decodeLookup = true;
    page.initialize = usualSteps(true, true, false);
    page.firstControl = "TXT_VERSACLA";
    page.startsDisabled = true;
    return page;
}

}  // namespace duza_zovrena::pages
