#include "duza_zovrena/pages/pending_pages.h"

namespace duza_zovrena::pages {

namespace {

using Step = InitializeStep;

const std::vector<std::string> kEditsOnly = {"TXT_EDITM"};

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

// Document-code pages that check the connection after the decode and lookup objects.
std::vector<InitializeCheck> connectionLastSteps() {
    return initializeSteps({Step::ActiveInterface, Step::VirtualFrame, Step::Recordset,
                            Step::ClsDecodeProduzione, Step::ClsLookupProduzione, Step::Connection,
                            Step::AddVirtualFrameControl, Step::InitializeScriptObjectModel});
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

PageDeclaration lavIntIndPage() {
    PageDeclaration page =
        pending("CTLPD_PRG_LAVINTIND", "GRP_PRG_LAVINT", "Lavorazioni interne", "ITM_PRG_LAVINTIND",
                "Indicatori", "Parametri generali - lav. int. - indicatori");
    page.initialize = usualSteps(false, false, true);
    page.firstControl = "CBX_GENORD";
    page.members.warehouseActions = true;
    return page;
}

PageDeclaration lavIntDocPage() {
    PageDeclaration page =
        pending("CTLPD_PRG_LAVINTDOC", "GRP_PRG_LAVINT", "Lavorazioni interne", "ITM_PRG_LAVINTDOC",
                "Documenti", "Parametri generali - lav. int. - documenti");
    page.members.connection = page.members.decodeLookup = true;
    page.initialize = usualSteps(true, true, false);
    page.firstControl = "TXT_OFORN";
    page.registeredTypes = kEditsOnly;
    return page;
}

PageDeclaration lavEstIndPage() {
    PageDeclaration page =
        pending("CTLPD_PRG_LAVESTIND", "GRP_PRG_LAVEST", "Lavorazioni esterne", "ITM_PRG_LAVESTIND",
                "Indicatori", "Parametri generali - lav. est. - indicatori");
    page.members.decodeLookup = true;
    page.initialize = usualSteps(false, true, true);
    page.firstControl = "CBX_GEORDCLAV";
    return page;
}

PageDeclaration lavEstDocPage() {
    PageDeclaration page =
        pending("CTLPD_PRG_LAVESTDOC", "GRP_PRG_LAVEST", "Lavorazioni esterne", "ITM_PRG_LAVESTDOC",
                "Documenti", "Parametri generali - lav. est. - documenti");
    page.members.connection = page.members.decodeLookup = true;
    page.members.carSfridoCl = true;
    page.initialize = usualSteps(true, true, false);
    page.firstControl = "TXT_OFORNCL";
    page.registeredTypes = kEditsOnly;
    return page;
}

PageDeclaration claIndPage() {
    PageDeclaration page =
        pending("CTLPD_PRG_CLAIND", "GRP_PRG_CLA", "Conto lavoro attivo", "ITM_PRG_CLAIND",
                "Indicatori", "Parametri generali - c. lav. att. - indicatori");
    page.initialize = usualSteps(false, false, true);
    page.firstControl = "chk_GestPartCla";
    page.registeredTypes = {"KRL_CHECKBOX", "KRL_COMBO"};
    return page;
}

PageDeclaration claDocPage() {
    PageDeclaration page =
        pending("CTLPD_PRG_CLADOC", "GRP_PRG_CLA", "Conto lavoro attivo", "ITM_PRG_CLADOC",
                "Documenti", "Parametri generali - c. lav. att. - documenti");
    page.members.connection = page.members.decodeLookup = true;
    page.initialize = connectionLastSteps();
    page.firstControl = "TXT_CARMATCLA";
    page.registeredTypes = kEditsOnly;
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

PageDeclaration prdIndPage() {
    PageDeclaration page = documentPage("CTLPD_PRD_IND", "ITM_PRD_IND", "Indicatori",
                                        "Parametri documenti - indicatori");
    page.members.decodeLookup = true;
    page.initialize = usualSteps(false, true, true);
    page.firstControl = "CMB_LOCALDIBA_DOC";
    return page;
}

PageDeclaration prdPrdPage() {
    PageDeclaration page =
        documentPage("CTLPD_PRD_PRD", "ITM_PRD_PRD", "Priorità reperimento depositi",
                     "Parametri documenti - priorità reperimento dep.");
    page.initialize = usualSteps(false, false, false);
    page.firstControl = "CBX_FLGDEPCLEGAME";
    page.startsDisabled = true;
    return page;
}

}  // namespace duza_zovrena::pages
