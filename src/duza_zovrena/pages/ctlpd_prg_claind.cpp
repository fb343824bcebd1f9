#include "duza_zovrena/pages/ctlpd_prg_claind.h"

namespace duza_zovrena::pages {

using krl::Variant;

namespace {

// Tab order, top to bottom, all in one frame.
std::vector<ControlDef> controls() {
    return {
        {"WLFrame14", "chk_GestPartCla", "PD42_FLGGESTPARTCLA", ""},
        {"WLFrame14", "CHK_ESCLRICSTRU", "PD42_FLGESCRICERDISBA", ""},
        {"WLFrame14", "cbo_DataVal_CA", "PD42_INDDATPARTCLA",
         "Data utilizzata per chiusura partite"},
        {"WLFrame14", "cbo_RifNsOrdine_CA", "PD42_INDRIFNSORDCLA", "Riferimento nostro ordine"},
        {"WLFrame14", "cbo_RifVsDocu_CA", "PD42_INDRIFVSDOCCLA", "Riferimento vostro documento"},
        {"WLFrame14", "cbo_RifSaldoAccPart_CA", "PD42_INDRIFSACCPARCLA", "Riferimento partita"},
        {"WLFrame14", "cbo_RifProgSprog_CA", "PD42_INDRIFPROGSPROGCLA",
         "Riferimento progetto/sottoprogetto"},
        {"WLFrame14", "cbo_RifCommScomm_CA", "PD42_INDRIFCOMSCOMCLA",
         "Riferimento commessa/sottocommessa"},
        {"WLFrame14", "cbo_RifMat_CA", "PD42_INDRIFMATCLA", "Riferimento materiali"},
        {"WLFrame14", "cbo_Rif_Qta", "PD42_FLGQTAMATCLA", "Riferimento quantità"},
        {"WLFrame14", "cbo_RifLav_CA", "PD42_INDRIFLAVCLA", "Riferimento lavorazioni"},
        {"WLFrame14", "cbo_IntFlusProd_CA", "PD42_INDGESTCLA",
         "Integrazione con flusso di produzione"},
    };
}

// Whether a reference is written, on each row or once at the end of the document.
ComboRows reference(std::string_view combo) {
    return {combo,
            {{"No riferimento", code(0)},
             {"Si, per ogni riga", code(1)},
             {"Si, in fondo al documento", code(2)}}};
}

// FillCombos order: (label, code stored in the column).
std::vector<ComboRows> valueLists() {
    return {
        {"cbo_DataVal_CA",
         {{"Data partita (DDT cliente)", code(0)},
          {"Data registrazione carico materiali", code(1)},
          {"Data documento carico materiali", code(2)}}},
        reference("cbo_RifNsOrdine_CA"),
        reference("cbo_RifVsDocu_CA"),
        reference("cbo_RifSaldoAccPart_CA"),
        reference("cbo_RifProgSprog_CA"),
        reference("cbo_RifCommScomm_CA"),
        reference("cbo_RifMat_CA"),
        {"cbo_Rif_Qta",
         {{"No riferimento", code(0)},
          {"Riferimento accorpato", code(1)},
          {"Riferimento dettagliato", code(2)}}},
        reference("cbo_RifLav_CA"),
        {"cbo_IntFlusProd_CA",
         {{"C/lav.attivo non integrato con flusso produzione", code(0)},
          {"C/lav.attivo integrato con flusso produzione", code(1)}}},
    };
}

using Follow = PatternRule::Follow;
using When = RuleCondition;

std::vector<PatternRule> patternRules() {
    return {
        // The lot quantity is referred to only when materials are referred to on each row;
        // otherwise it goes back to no reference.
        {"cbo_RifMat_CA", When::equals(1), {"cbo_Rif_Qta"}, Follow::Enabled, "0"},
        // The closing date matters only while lots are managed; it keeps its value.
        {"chk_GestPartCla", When::ticked(), {"cbo_DataVal_CA"}},
    };
}

}  // namespace

PageDeclaration claIndPage() {
    PageDeclaration page;
    page.className = "CTLPD_PRG_CLAIND";
    page.group = "GRP_PRG_CLA";
    page.groupCaption = "Conto lavoro attivo";
    page.item = "ITM_PRG_CLAIND";
    page.itemCaption = "Indicatori";
    page.title = "Parametri generali - c. lav. att. - indicatori";
    page.firstControl = "chk_GestPartCla";
    page.registeredTypes = {"KRL_CHECKBOX", "KRL_COMBO"};
    page.frames = {{"WLFrame14", "", "", 15}};
    page.controls = controls();
    page.valueLists = valueLists();
    page.patternRules = patternRules();
    return page;
}

}  // namespace duza_zovrena::pages
