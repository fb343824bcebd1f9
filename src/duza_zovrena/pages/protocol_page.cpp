#include "duza_zovrena/pages/protocol_page.h"

#include <array>

namespace duza_zovrena::pages {

namespace {

using Step = InitializeStep;

constexpr std::array<std::string_view, 16> kClassNames = {
    "CTLPD_PRG_CICLI",      "CTLPD_PRG_LAVINTIND", "CTLPD_PRG_LAVINTDOC", "CTLPD_PRG_LAVESTIND",
    "CTLPD_PRG_LAVESTDOC",  "CTLPD_PRG_CLAIND",    "CTLPD_PRG_CLADOC",    "CTLPD_PRG_SCADIBAIND",
    "CTLPD_PRG_SCADIBADOC", "CTLPD_PRG_GRTAGCOL",  "CTLPD_PRG_VALORIZ",   "CTLPD_PRD_IND",
    "CTLPD_PRD_PRD",        "CTLPD_PRD_DCLIE",     "CTLPD_PRD_DCCLA",     "CTLPD_PRT_TRPERS",
};

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

}  // namespace

ProtocolPageDefinition protocolPageDefinition(std::string_view className) {
    ProtocolPageDefinition def;
    PageDefinition& page = def.page;
    page.className = std::string(className);
    if (className == "CTLPD_PRG_CICLI") {
        page.title = "Parametri cicli";
        page.connection = page.decodeLookup = true;
        page.initialize = usualSteps(true, true, true);
        page.firstControl = "CHK_CICLOCODART";
    } else if (className == "CTLPD_PRG_LAVINTIND") {
        page.title = "Parametri generali - lav. int. - indicatori";
        page.initialize = usualSteps(false, false, true);
        page.firstControl = "CBX_GENORD";
        def.warehouseActions = true;
    } else if (className == "CTLPD_PRG_LAVINTDOC") {
        page.title = "Parametri generali - lav. int. - documenti";
        page.connection = page.decodeLookup = true;
        page.initialize = usualSteps(true, true, false);
        page.firstControl = "TXT_OFORN";
        page.registeredTypes = kEditsOnly;
    } else if (className == "CTLPD_PRG_LAVESTIND") {
        page.title = "Parametri generali - lav. est. - indicatori";
        page.decodeLookup = true;
        page.initialize = usualSteps(false, true, true);
        page.firstControl = "CBX_GEORDCLAV";
    } else if (className == "CTLPD_PRG_LAVESTDOC") {
        page.title = "Parametri generali - lav. est. - documenti";
        page.connection = page.decodeLookup = true;
        page.initialize = usualSteps(true, true, false);
        page.firstControl = "TXT_OFORNCL";
        page.registeredTypes = kEditsOnly;
        def.carSfridoCl = true;
    } else if (className == "CTLPD_PRG_CLAIND") {
        page.title = "Parametri generali - c. lav. att. - indicatori";
        page.initialize = usualSteps(false, false, true);
        page.firstControl = "chk_GestPartCla";
        page.registeredTypes = {"KRL_CHECKBOX", "KRL_COMBO"};
    } else if (className == "CTLPD_PRG_CLADOC") {
        page.title = "Parametri generali - c. lav. att. - documenti";
        page.connection = page.decodeLookup = true;
        page.initialize = connectionLastSteps();
        page.firstControl = "TXT_CARMATCLA";
        page.registeredTypes = kEditsOnly;
    } else if (className == "CTLPD_PRG_SCADIBAIND") {
        page.title = "Parametri generali - scar. di.ba. - indicatori";
        page.initialize = usualSteps(false, false, true);
        page.firstControl = "CHK_CARAUTOSL";
    } else if (className == "CTLPD_PRG_SCADIBADOC") {
        page.title = "Parametri generali - scar. di.ba. - documenti";
        page.connection = page.decodeLookup = true;
        page.initialize = connectionLastSteps();
        page.firstControl = "TXT_CARICOPF";
        page.registeredTypes = kEditsOnly;
    } else if (className == "CTLPD_PRG_GRTAGCOL") {
        page.title = "Parametri generali - griglia taglie e colori";
        page.initialize = usualSteps(false, false, true);
        page.firstControl = "CBX_GRIGLIATC";
    } else if (className == "CTLPD_PRG_VALORIZ") {
        page.title = "Parametri generali - valorizzazioni";
        page.priceListObjects = true;
        // This page reports a missing program interface with the data frame's message.
        page.initialize = {
            {Step::ActiveInterface, msg::NoVirtualFrame},
            {Step::VirtualFrame, msg::NoVirtualFrame},
            {Step::Recordset, msg::NoRecord},
            {Step::ClsDecodeListiniParametrici, msg::NoDecode},
            {Step::ClsLookupListiniParametrici, msg::NoLookup},
            {Step::FillCombos},
            {Step::AddVirtualFrameControl},
            {Step::InitializeScriptObjectModel},
        };
        page.firstControl = "CHK_LISTPAR";
    } else if (className == "CTLPD_PRD_IND") {
        page.title = "Parametri documenti - indicatori";
        page.decodeLookup = true;
        page.initialize = usualSteps(false, true, true);
        page.firstControl = "CMB_LOCALDIBA_DOC";
        def.documentMembers = true;
    } else if (className == "CTLPD_PRD_PRD") {
        page.title = "Parametri documenti - priorità reperimento dep.";
        page.initialize = usualSteps(false, false, false);
        page.firstControl = "CBX_FLGDEPCLEGAME";
        def.documentMembers = true;
    } else if (className == "CTLPD_PRD_DCLIE") {
        page.title = "Parametri documenti - doc. coll. lav. int./est.";
        page.connection = page.decodeLookup = true;
        page.initialize = usualSteps(true, true, true);
        page.firstControl = "TXT_CARINT_DOC";
        def.documentMembers = true;
        def.carSfridoCl = true;
    } else if (className == "CTLPD_PRD_DCCLA") {
        page.title = "Parametri documenti - doc. coll. c/lav. att.";
        page.connection = page.decodeLookup = true;
        page.initialize = usualSteps(true, true, false);
        page.firstControl = "TXT_VERSACLA";
        def.documentMembers = true;
    } else if (className == "CTLPD_PRT_TRPERS") {
        page.title = "Parametri documenti - tras. campi pers. doc.orig.";
        page.connection = true;
        page.virtualFrame = false;
        page.layoutModel = false;
        page.initialize = initializeSteps({Step::ActiveInterface, Step::Connection});
        def.transferMembers = true;
    }
    return def;
}

namespace {

const FrameDef kTitleFrame[] = {{"WLFrame1", "", "", 15}};

}  // namespace

ProtocolPage::ProtocolPage(const ProtocolPageDefinition& definition)
    : ParameterPage(definition.page),
      warehouseActions_(definition.warehouseActions),
      carSfridoCl_(definition.carSfridoCl),
      documentMembers_(definition.documentMembers),
      transferMembers_(definition.transferMembers) {
    buildFrames(kTitleFrame);
    const ControlDef titleLabel[] = {
        {"WLFrame1", "LBL_TITOLO", ControlKind::Label, "", title()},
    };
    buildControls(titleLabel);
}

std::shared_ptr<ProtocolPage> ProtocolPage::create(std::string_view className) {
    for (std::string_view known : kClassNames) {
        if (known == className) {
            return std::make_shared<ProtocolPage>(protocolPageDefinition(className));
        }
    }
    return nullptr;
}

std::span<const std::string_view> ProtocolPage::classNames() {
    return kClassNames;
}

bool ProtocolPage::Initialize() {
    if (transferMembers_) {
        onTerminate_ = false;
    }
    return ParameterPage::Initialize();
}

void ProtocolPage::Terminate() {
    if (transferMembers_) {
        onTerminate_ = true;
    }
    ParameterPage::Terminate();
}

void ProtocolPage::AzioniWMSEnabled() {
    if (!warehouseActions_) {
        Page::AzioniWMSEnabled();
    }
}

void ProtocolPage::setEnableCarSfridoCl(bool value) {
    if (!carSfridoCl_) {
        Page::setEnableCarSfridoCl(value);
    }
}

void ProtocolPage::setTipoSottotipoDocumento(std::string value) {
    if (!documentMembers_) {
        Page::setTipoSottotipoDocumento(value);
    }
    tipoSottotipoDocumento_ = std::move(value);
}

std::string ProtocolPage::tipoSottotipoDocumento() const {
    if (!documentMembers_) {
        return Page::tipoSottotipoDocumento();
    }
    return tipoSottotipoDocumento_;
}

void ProtocolPage::EnableControl(bool enabled) {
    if (!documentMembers_) {
        Page::EnableControl(enabled);
    }
}

void ProtocolPage::EnableControlByDocument() {
    if (!documentMembers_) {
        Page::EnableControlByDocument();
    }
}

void ProtocolPage::setCodiceDitta(krl::Variant value) {
    if (!transferMembers_) {
        Page::setCodiceDitta(value);
    }
    codiceDitta_ = std::move(value);
}

void ProtocolPage::setOnTerminate(bool value) {
    if (!transferMembers_) {
        Page::setOnTerminate(value);
    }
    onTerminate_ = value;
}

}  // namespace duza_zovrena::pages
