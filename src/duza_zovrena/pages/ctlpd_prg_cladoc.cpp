#include "duza_zovrena/pages/ctlpd_prg_cladoc.h"

namespace duza_zovrena::pages {

namespace {

// Tab order: each code field, then its description label.
std::vector<ControlDef> controls() {
    return {
        {"WLFrame15", "TXT_CARMATCLA", "PD42_CARMATCLA_MG3G", "Carico materiale c/lav."},
        {"WLFrame15", "LBL_DESCARMATCLA", "", ""},
        {"WLFrame15", "TXT_RESTITCLA", "PD42_RESTITCLA_MG3G", "DDT restituzione c/lav."},
        {"WLFrame15", "LBL_DESRESTITCLA", "", ""},
        {"WLFrame15", "TXT_FATTDDTCLA", "PD42_FATTDDTCLA_MG3G", "Fatt. DDT rest. c/lav."},
        {"WLFrame15", "LBL_DESFATTDDTCLA", "", ""},
        {"WLFrame15", "TXT_VERSACLA", "PD42_VERSACLA_MG3G", "Versamento per c/lav."},
        {"WLFrame15", "LBL_DESVERSACLA", "", ""},
        {"WLFrame15", "TXT_SCAMATCLA", "PD42_SCAMATCLA_MG3G", "Scarico mat. da c/lav."},
        {"WLFrame15", "LBL_DESSCAMATCLA", "", ""},
        {"WLFrame15", "TXT_SCARESOMATCLA", "PD42_SCARESOMATCLA_MG3G", "DDT reso c/lav"},
        {"WLFrame15", "LBL_DESSCARESOMATCLA", "", ""},
    };
}

constexpr CodeKind Doc = CodeKind::Document;

// Every field takes a document of type 26 with the subtype of its movement.
std::vector<CodeFieldDef> codeFields() {
    return {
        {"TXT_CARMATCLA", Doc, 26, {2}, "LBL_DESCARMATCLA"},
        {"TXT_RESTITCLA", Doc, 26, {5}, "LBL_DESRESTITCLA"},
        {"TXT_FATTDDTCLA", Doc, 26, {7}, "LBL_DESFATTDDTCLA"},
        {"TXT_VERSACLA", Doc, 26, {3}, "LBL_DESVERSACLA"},
        {"TXT_SCAMATCLA", Doc, 26, {4}, "LBL_DESSCAMATCLA"},
        {"TXT_SCARESOMATCLA", Doc, 26, {6}, "LBL_DESSCARESOMATCLA"},
    };
}

}  // namespace

PageDeclaration claDocPage() {
    PageDeclaration page;
    page.className = "CTLPD_PRG_CLADOC";
    page.group = "GRP_PRG_CLA";
    page.groupCaption = "Conto lavoro attivo";
    page.item = "ITM_PRG_CLADOC";
    page.itemCaption = "Documenti";
    page.title = "Parametri generali - c. lav. att. - documenti";
    page.members.connection = true;
    page.members.decodeLookup = true;
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
    page.firstControl = "TXT_CARMATCLA";
    page.registeredTypes = {"TXT_EDITM"};
    page.frames = {{"WLFrame15", "", "", 15}};
    page.controls = controls();
    page.codeFields = codeFields();
    return page;
}

}  // namespace duza_zovrena::pages
