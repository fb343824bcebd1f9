#include "duza_zovrena/pages/ctlpd_prg_scadibadoc.h"

namespace duza_zovrena::pages {

namespace {

// The document type of the consumption documents.
constexpr int kConsumption = 24;

}  // namespace

PageDeclaration scaDibaDocPage() {
    PageDeclaration page;
    page.className = "CTLPD_PRG_SCADIBADOC";
    page.group = "GRP_PRG_SCADIBA";
    page.groupCaption = "Scarico distinta base";
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
