#include "duza_zovrena/pages/ctlpd_prg_lavintdoc.h"

namespace duza_zovrena::pages {

namespace {

// Tab order: each code field, then its description label.
std::vector<ControlDef> controls() {
    return {
        {"WLFrame1", "TXT_OLMONO", "PD42_OLMONO_MG3G", "Ordine produzione"},
        {"WLFrame1", "LBL_DESOLMONO", "", ""},
        {"WLFrame1", "TXT_CARINT", "PD42_CARREP_MG3G", "Carico reparti"},
        {"WLFrame1", "LBL_DESCARINT", "", ""},
        {"WLFrame1", "TXT_SCARINT", "PD42_SCAREP_MG3G", "Scarico reparti"},
        {"WLFrame1", "LBL_DESSCARINT", "", ""},
        {"WLFrame1", "TXT_OFORN", "PD42_ORDFORN_MG3G", "Ordine fornitore"},
        {"WLFrame1", "LBL_DESOFORN", "", ""},
        {"WLFrame1", "TXT_CARPROD", "PD42_CARPROD_MG3G", "Carico produzione"},
        {"WLFrame1", "LBL_DESCARPROD", "", ""},
        {"WLFrame1", "TXT_SCARPROD", "PD42_SCARPROD_MG3G", "Scarico produzione"},
        {"WLFrame1", "LBL_DESSCARPROD", "", ""},
        {"WLFrame1", "TXT_INTAVANZ", "PD42_AVANZ_MG3G", "Avanzamento prod."},
        {"WLFrame1", "LBL_DESINTAVANZ", "", ""},
        {"WLFrame1", "TXT_SCARDIBA", "PD42_SCARDIBA_MG3G", "Scarico da Di.Ba."},
        {"WLFrame1", "LBL_DESSCARDIBA", "", ""},
        {"WLFrame1", "TXT_CARSFRIDO", "PD42_CARSFRIDO_MG3G", "Carico art.recupero"},
        {"WLFrame1", "LBL_DESCARSFRIDO", "", ""},
        {"WLFrame1", "TXT_SCASFRIDO", "PD42_SCASFRIDO_MG3G", "Scarico sfrido"},
        {"WLFrame1", "LBL_DESSCASFRIDO", "", ""},
        {"WLFrame1", "TXT_LISTAPREL", "PD42_LISTAPREL_MG3G", "Lista prelievo"},
        {"WLFrame1", "LBL_DESLISTAPREL", "", ""},
        {"WLFrame1", "TXT_LISTATRASF", "PD42_LISTATRASF_MG3G", "Lista trasferimento"},
        {"WLFrame1", "LBL_DESLISTATRASF", "", ""},
        {"WLFrame1", "TXT_CARREINTEGRO", "PD42_CARREINTEGRO_MG3G", "Carico reintegro"},
        {"WLFrame1", "LBL_DESCARREINTEGRO", "", ""},
        {"WLFrame1", "TXT_SCAREINTEGRO", "PD42_SCAREINTEGRO_MG3G", "Scarico reintegro"},
        {"WLFrame1", "LBL_DESSCAREINTEGRO", "", ""},
        {"WLFrame1", "TXT_DISIMPLOTTI_I", "PD42_IMPPROD_MG3G", "Disimpegno lotti"},
        {"WLFrame1", "LBL_DESDISIMPLOTTI_I", "", ""},
        {"WLFrame1", "TXT_CARUBIREP", "PD42_CARUBIREP_MG3G", "Carico ubicazioni"},
        {"WLFrame1", "LBL_DESCARUBIREP", "", ""},
        {"WLFrame1", "TXT_IMPLOTTI_I", "PD42_IMPLOTREP_MG3G", "Impegno lotti eccedenti"},
        {"WLFrame1", "LBL_DESIMPLOTTI_I", "", ""},
        {"WLF_SCARTO", "TXT_CARMACERO", "PD42_CARMACERO_MG3G", "Carico scarto"},
        {"WLF_SCARTO", "LBL_DESCARMACERO", "", ""},
        {"WLF_SCARTO", "TXT_SCAMACERO", "PD42_SCAMACERO_MG3G", "Scarico scarto"},
        {"WLF_SCARTO", "LBL_DESSCAMACERO", "", ""},
        {"WLF_SCARTO", "TXT_DEPSCARTO", "PD42_DEPSCARTO_MG58", "Dep. carico scarto"},
        {"WLF_SCARTO", "TXT_DESDEPSCARTO", "", ""},
    };
}

constexpr CodeKind Doc = CodeKind::Document;

std::vector<CodeFieldDef> codeFields() {
    return {
        {"TXT_OLMONO", Doc, 24, {20}, "LBL_DESOLMONO", "TXT_OLMONO_Validate"},
        {"TXT_CARINT", Doc, 24, {10}, "LBL_DESCARINT"},
        {"TXT_SCARINT", Doc, 24, {2}, "LBL_DESSCARINT"},
        {"TXT_OFORN", Doc, 22, {1}, "LBL_DESOFORN"},
        {"TXT_CARPROD", Doc, 24, {3}, "LBL_DESCARPROD"},
        {"TXT_SCARPROD", Doc, 24, {5}, "LBL_DESSCARPROD"},
        // Production progress is recorded on a load (3) or a progress (4) document.
        {"TXT_INTAVANZ", Doc, 24, {3, 4}, "LBL_DESINTAVANZ", "TXT_INTAVANZ_Validate", 4},
        {"TXT_SCARDIBA", Doc, 24, {14}, "LBL_DESSCARDIBA"},
        {"TXT_CARSFRIDO", Doc, 24, {7}, "LBL_DESCARSFRIDO"},
        {"TXT_SCASFRIDO", Doc, 24, {6}, "LBL_DESSCASFRIDO"},
        {"TXT_LISTAPREL", Doc, 14, {2}, "LBL_DESLISTAPREL"},
        {"TXT_LISTATRASF", Doc, 10, {3}, "LBL_DESLISTATRASF"},
        {"TXT_CARREINTEGRO", Doc, 24, {10}, "LBL_DESCARREINTEGRO"},
        {"TXT_SCAREINTEGRO", Doc, 24, {2}, "LBL_DESSCAREINTEGRO"},
        {"TXT_DISIMPLOTTI_I", Doc, 24, {16}, "LBL_DESDISIMPLOTTI_I"},
        {"TXT_CARUBIREP", Doc, 24, {23}, "LBL_DESCARUBIREP", "TXT_CARUBIREP_Validate"},
        {"TXT_IMPLOTTI_I", Doc, 24, {15}, "LBL_DESIMPLOTTI_I"},
        {"TXT_CARMACERO", Doc, 24, {9}, "LBL_DESCARMACERO"},
        {"TXT_SCAMACERO", Doc, 24, {8}, "LBL_DESSCAMACERO"},
        {"TXT_DEPSCARTO", CodeKind::Deposit, 0, {}, "TXT_DESDEPSCARTO"},
    };
}

}  // namespace

PageDeclaration lavIntDocPage() {
    PageDeclaration page;
    page.className = "CTLPD_PRG_LAVINTDOC";
    page.group = "GRP_PRG_LAVINT";
    page.groupCaption = "Lavorazioni interne";
    page.item = "ITM_PRG_LAVINTDOC";
    page.itemCaption = "Documenti";
    page.title = "Parametri generali - lav. int. - documenti";
    page.members.connection = true;
    page.members.decodeLookup = true;
    page.firstControl = "TXT_OFORN";
    page.registeredTypes = {"TXT_EDITM"};
    page.frames = {{"WLFrame1", "", "", 7}, {"WLF_SCARTO", "Scarto", "", 15}};
    page.controls = controls();
    page.codeFields = codeFields();
    return page;
}

}  // namespace duza_zovrena::pages
