#include "duza_zovrena/pages/ctlpd_prg_scadiba.h"

namespace duza_zovrena::pages {

namespace {

constexpr std::string_view kGroup = "GRP_PRG_SCADIBA";
constexpr std::string_view kGroupCaption = "Scarico distinta base";
// The document type of the consumption documents.
constexpr int kConsumption = 24;

}  // namespace

PageDeclaration scaDibaIndPage() {
    PageDeclaration page;
    page.className = "CTLPD_PRG_SCADIBAIND";
    page.group = kGroup;
    page.groupCaption = kGroupCaption;
    page.item = "ITM_PRG_SCADIBAIND";
    page.itemCaption = "Indicatori";
    page.title = "Parametri generali - scar. di.ba. - indicatori";
    page.initialize = initializeSteps({
        InitializeStep::ActiveInterface,
        InitializeStep::VirtualFrame,
        InitializeStep::Recordset,
        InitializeStep::FillCombos,
        InitializeStep::AddVirtualFrameControl,
        InitializeStep::InitializeScriptObjectModel,
    });
    page.firstControl = "CHK_CARAUTOSL";
    page.frames = {{"WLFrame18", "", "", 15}};
    // Tab order: the explosion level first, the check box last.
    page.controls = {
        {"WLFrame18", "CMB_LIVESP", "PD42_INDLIVESP", "Livello di esplosione"},
        {"WLFrame18", "TXT_LIVESP", "PD42_LIVELLOESP", "", Design{}.required()},
        {"WLFrame18", "CMB_DOCCARICOPF", "PD42_INDGENDOCCARPF",
         "Generazione documento di carico PF"},
        {"WLFrame18", "CHK_CARAUTOSL", "PD42_FLGCARAUTOSL", ""},
    };
    page.valueLists = {
        {"CMB_LIVESP",
         {{"Tutti i livelli", code(0)},
          {"Livello distinta", code(1)},
          {"Solo ultimo livello", code(2)},
          {"Fino a livello", code(3)}}},
        {"CMB_DOCCARICOPF", {{"1 testata 1 riga", code(0)}, {"1 testata n righe", code(1)}}},
    };
    // The level is typed, and required, only down to a chosen level; any other choice wipes it.
    PatternRule level{"CMB_LIVESP",
                      RuleCondition::equals(3),
                      {"TXT_LIVESP"},
                      PatternRule::Follow::EnabledAndMandatory};
    level.emptyWhenOff = true;
    level.routine = "CMB_LIVESP_ChangeRow";
    page.patternRules = {level};
    return page;
}

PageDeclaration scaDibaDocPage() {
    PageDeclaration page;
    page.className = "CTLPD_PRG_SCADIBADOC";
    page.group = kGroup;
    page.groupCaption = kGroupCaption;
    page.item = "ITM_PRG_SCADIBADOC";
    page.itemCaption = "Documenti";
    page.title = "Parametri generali - scar. di.ba. - documenti";
    page.members.connection = page.members.decodeLookup = true;
    // The connection is checked after the decode and lookup objects.
    page.initialize = initializeSteps({
        InitializeStep::ActiveInterface,
        InitializeStep::VirtualFrame,
        InitializeStep::Recordset,
        InitializeStep::ClsDecodeProduzione,
        InitializeStep::ClsLookupProduzione,
        InitializeStep::Connection,
        InitializeStep::AddVirtualFrameControl,
        InitializeStep::InitializeScriptObjectModel,
    });
    page.firstControl = "TXT_CARICOPF";
    page.registeredTypes = {"TXT_EDITM"};
    page.frames = {{"WLFrame17", "", "", 15}};
    page.controls = {
        {"WLFrame17", "TXT_CARICOPF", "PD42_CARPFDIBA_MG3G", "Carico prodotto finito"},
        {"WLFrame17", "LBL_DESCARICOPF", "", ""},
        {"WLFrame17", "TXT_CARICOSL", "PD42_CARSLDIBA_MG3G", "Carico semi lavorato"},
        {"WLFrame17", "LBL_DESCARICOSL", "", ""},
        {"WLFrame17", "TXT_SCARICOMAT", "PD42_SCARMATDIBA_MG3G", "Scarico materiale"},
        {"WLFrame17", "LBL_DESSCARICOMAT", "", ""},
        {"WLFrame17", "TXT_CARARTRECUP", "PD42_CARRECUPDIBA_MG3G", "Carico art. di recupero"},
        {"WLFrame17", "LBL_DESCARARTRECUP", "", ""},
    };
    page.codeFields = {
        {"TXT_CARICOPF", CodeKind::Document, kConsumption, {3}, "LBL_DESCARICOPF"},
        {"TXT_CARICOSL", CodeKind::Document, kConsumption, {3}, "LBL_DESCARICOSL"},
        {"TXT_SCARICOMAT", CodeKind::Document, kConsumption, {14}, "LBL_DESSCARICOMAT"},
        {"TXT_CARARTRECUP", CodeKind::Document, kConsumption, {7}, "LBL_DESCARARTRECUP"},
    };
    return page;
}

}  // namespace duza_zovrena::pages
