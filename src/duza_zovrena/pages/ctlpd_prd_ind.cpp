#include "duza_zovrena/pages/ctlpd_prd_ind.h"

#include "duza_zovrena/pages/ctlpd_prd_prd.h"
#include "duza_zovrena/pages/document_page.h"
#include "duza_zovrena/pages/parameter_page.h"
#include "krl/ado/ado.h"

namespace duza_zovrena::pages {

namespace kc = krl::controls;
using krl::Variant;

namespace {

// Tab order; captions come from the column definitions.
std::vector<ControlDef> controls() {
    return {
        {"WLFrame2", "CMB_LOCALDIBA_DOC", "PD88_INDLOCDISBA", "Localizzazione distinta base"},
        {"WLFrame2", "CMB_INDMODGESTODL", "PD88_INDMODORDLAV", "Generazione ordini"},
        {"WLFrame2", "CMB_MODINTODL", "PD88_INDINTORDLAV",
         "Intestazione ordini lavorazione interna"},
        // The generation of multi-phase subcontracting orders from proposals has a column of its
        // own; the combo edits it rather than the heading of internal-work orders.
        {"WLFrame2", "CMB_OCLMULTIFASE_DOC", "PD88_INDGESOCLPRO",
         "Indicatore generaz. OCL multifase da prop."},
        {"WLFrame2", "CMB_IMPDAODL", "PD88_INDIMPGENORD", "Impegno da generazione ordini"},
        {"WLFrame2", "CMB_IMPLSTTRASF", "PD88_INDIMPGENLISP",
         "Impegno da generazione lista prelievo"},
        {"WLFrame2", "CMB_MOVCARSCARODL", "PD88_INDSCAGENORD",
         "Trasferimento materiale da ordine lavorazione interna"},
        {"WLFrame2", "CMB_MOVCARSCARLSTTRASF", "PD88_INDSCAGENLISP",
         "Trasferimento materiale da lista trasferimento interna"},
        {"WLFrame2", "CMB_MOVCARSCARLSTTRASFCL", "PD88_INDSCAGENLISPCL",
         "Trasferimento materiale da lista trasferimento esterna"},
        {"WLFrame2", "CMB_CONTRDDTVERSCLAV", "PD88_INDDDTCLVERS",
         "Controllo generazione DDT in versamento ordini"},
        {"WLFrame2", "CMB_INDGESTSTATI", "PD88_INDSTATI", "Stati righe ordini"},
        {"WLFrame2", "CMB_INDSTATOORD", "PD88_INDSTATOORD", "Stato riga ordine da generare"},
        {"WLFrame2", "CMB_UMAVANZ", "PD88_INDTIPOVERSQTA", "Unità di misura avanzamento"},
        {"WLFrame3", "CMB_INDMODSCARTO", "PD88_INDMODSCARTO", ""},
        {"WLFrame3", "CMB_INDSCARTOFASIDOC", "PD88_INDSCARTOFASI", ""},
        {"WLFrame4", "cbo_AvanzFaseInt_Doc", "PD88_INDAVANZFASEINT", "Avanzamento fasi interne"},
        {"WLFrame4", "TXT_PERCTOLLINT_DOC", "PD88_PERCTOLLINT", ""},
        {"WLFrame4", "cbo_AvanzFaseEst_Doc", "PD88_INDAVANZFASEEST", "Avanzamento fasi esterne"},
        {"WLFrame4", "TXT_PERCTOLLEST_DOC", "PD88_PERCTOLLEST", ""},
        {"WLFrame2", "CMB_INDCARSFRIDOCL", "PD88_INDCARSFRIDOCL",
         "Carico articolo recupero in versamento ordini c/l"},
        {"WLFrame2", "TXT_DEPTRANS_DOC", "PD88_DEPTRANS_MG58", "Deposito transito"},
    };
}

// FillCombos order: (label, code stored in the column).
std::vector<ComboRows> valueLists() {
    return {
        {"CMB_LOCALDIBA_DOC",
         {{"Come indicatori gestionali", code(0)},
          {"Modalita' interattiva", code(1)},
          {"Modalita' non interattiva", code(2)}}},
        {"CMB_INDMODGESTODL",
         {{"Come indicatori gestionali", code(0)},
          {"1 testata - 1 riga dettaglio", code(1)},
          {"1 testata - n righe dettaglio", code(2)}}},
        {"CMB_MODINTODL",
         {{"Come indicatori gestionali", code(0)},
          {"Standard", code(1)},
          {"Documento origine", code(2)},
          {"Documento origine/riga padre", code(3)},
          {"Sezionale documento origine", code(4)}}},
        {"CMB_IMPDAODL",
         {{"Come indicatori su lavorazioni interne/esterne", code(0)},
          {"No", code(1)},
          {"Si", code(2)}}},
        {"CMB_IMPLSTTRASF",
         {{"Come indicatori su lavorazioni interne/esterne", code(0)},
          {"No", code(1)},
          {"Si", code(2)}}},
        {"CMB_MOVCARSCARODL",
         {{"Come indicatori su lavorazioni interne", code(0)}, {"No", code(1)}, {"Si", code(2)}}},
        {"CMB_MOVCARSCARLSTTRASF",
         {{"Come indicatori su lavorazioni interne", code(0)}, {"No", code(1)}, {"Si", code(2)}}},
        {"CMB_MOVCARSCARLSTTRASFCL",
         {{"Come indicatori su lavorazioni esterne", code(0)}, {"No", code(1)}, {"Si", code(2)}}},
        {"CMB_CONTRDDTVERSCLAV",
         {{"Come indicatori su lavorazioni esterne", code(0)}, {"No", code(1)}, {"Si", code(2)}}},
        {"CMB_INDGESTSTATI",
         {{"Come indicatori gestionali", code(0)}, {"No", code(1)}, {"Si", code(2)}}},
        {"CMB_INDSTATOORD", {{"Emesso", code(0)}, {"Confermato", code(1)}, {"Lanciato", code(2)}}},
        {"CMB_UMAVANZ",
         {{"Come indicatori gestionali", code(0)},
          {"Quantità", code(1)},
          {"Pallet", code(2)},
          {"Collo", code(3)},
          {"Confezione", code(4)}}},
        {"CMB_OCLMULTIFASE_DOC",
         {{"Parametri generali", code(0)},
          {"Mediante ordine lavorazione interna", code(1)},
          {"Senza ordine lavorazione interna", code(2)}}},
        {"CMB_INDMODSCARTO",
         {{"Come indicatori su lavorazioni interne", code(0)},
          {"No generazione documenti aggiuntivi", code(1)},
          {"Solo documento carico scarto", code(2)},
          {"Documento carico scarto e scarico scarto", code(3)}}},
        {"CMB_INDSCARTOFASIDOC", {{"Solo fase finale", code(0)}, {"Tutte le fasi", code(1)}}},
        {"cbo_AvanzFaseInt_Doc",
         {{"Come indicatori su lavorazione interne", code(0)},
          {"Controllo con quantità esatta", code(1)},
          {"Controllo con % di tolleranza", code(2)}}},
        {"cbo_AvanzFaseEst_Doc",
         {{"Come indicatori su lavorazione esterne", code(0)},
          {"Controllo con quantità esatta", code(1)},
          {"Controllo con % di tolleranza", code(2)}}},
        {"CMB_INDCARSFRIDOCL",
         {{"Come indicatori gestionali", code(0)}, {"No", code(1)}, {"Si", code(2)}}},
    };
}

// The controls each kind of document uses; the scrap-phase combo of production orders and the
// order-line state follow other controls (byDocument).
std::vector<DocumentTypeSwitch> documentSwitches() {
    return {
        // Production orders.
        {{"2420"},
         {"CMB_LOCALDIBA_DOC", "CMB_INDMODGESTODL", "CMB_MODINTODL", "CMB_IMPDAODL",
          "CMB_IMPLSTTRASF", "CMB_MOVCARSCARODL", "CMB_INDMODSCARTO", "cbo_AvanzFaseInt_Doc",
          "CMB_INDGESTSTATI", "CMB_INDSTATOORD", "CMB_UMAVANZ"},
         {"CMB_MOVCARSCARLSTTRASF", "CMB_MOVCARSCARLSTTRASFCL", "TXT_DEPTRANS_DOC",
          "CMB_CONTRDDTVERSCLAV", "cbo_AvanzFaseEst_Doc"}},
        // Subcontracting orders.
        {{"251"},
         {"CMB_LOCALDIBA_DOC", "CMB_INDMODGESTODL", "CMB_IMPDAODL", "CMB_IMPLSTTRASF",
          "CMB_CONTRDDTVERSCLAV", "cbo_AvanzFaseEst_Doc", "CMB_INDGESTSTATI", "CMB_INDSTATOORD"},
         {"CMB_MODINTODL", "CMB_MOVCARSCARODL", "CMB_MOVCARSCARLSTTRASF",
          "CMB_MOVCARSCARLSTTRASFCL", "TXT_DEPTRANS_DOC", "CMB_INDMODSCARTO",
          "CMB_INDSCARTOFASIDOC", "cbo_AvanzFaseInt_Doc", "CMB_UMAVANZ"}},
        // Transfer lists: only the two transfers.
        {{"103"},
         {"CMB_MOVCARSCARLSTTRASF", "CMB_MOVCARSCARLSTTRASFCL"},
         {"CMB_LOCALDIBA_DOC", "CMB_INDMODGESTODL", "CMB_MODINTODL", "CMB_IMPDAODL",
          "CMB_IMPLSTTRASF", "CMB_MOVCARSCARODL", "CMB_CONTRDDTVERSCLAV", "CMB_INDMODSCARTO",
          "CMB_INDSCARTOFASIDOC", "cbo_AvanzFaseInt_Doc", "cbo_AvanzFaseEst_Doc",
          "CMB_INDGESTSTATI", "CMB_INDSTATOORD", "CMB_UMAVANZ"}},
        // Active subcontracting.
        {{"265", "267"}, {}, {"CMB_INDGESTSTATI", "CMB_INDSTATOORD"}},
    };
}

using Follow = PatternRule::Follow;
using When = RuleCondition;

std::vector<PatternRule> patternRules() {
    return {
        // Scrap by phase needs a scrap mode that generates documents; off, it is the final phase.
        {"CMB_INDMODSCARTO", When::above(1), {"CMB_INDSCARTOFASIDOC"}, Follow::Enabled, "0"},
        // The tolerance is asked for only when the check uses one.
        {"cbo_AvanzFaseInt_Doc", When::equals(2), {"TXT_PERCTOLLINT_DOC"}, Follow::Visible},
        {"cbo_AvanzFaseEst_Doc", When::equals(2), {"TXT_PERCTOLLEST_DOC"}, Follow::Visible},
    };
}

// The rules that fit no pattern.
void declareRules(ParameterPage& page) {
    // The state of a generated line is chosen only with order-line states; without them the
    // line is launched.
    page.onChangeRow("CMB_INDGESTSTATI", [&page](kc::Combo& combo) {
        auto state = page.control<kc::Combo>("CMB_INDSTATOORD");
        state->setEnabled(krl::numericValue(Variant(combo.text())) == 2);
        auto rows = page.recordset();
        if (!rows || rows->recordCount() == 0) {
            return;
        }
        krl::ado::Field& field = (*rows)["PD88_INDSTATOORD"];
        if (krl::numericValue(field.value()) != 2 && !state->enabled() &&
            !field.value().isEmpty()) {
            field.setValue(Variant(std::int16_t{2}));
        }
    });
}

void byDocument(DocumentPage& page) {
    if (page.tipoSottotipoDocumento() == "2420") {
        auto scrap = page.control<kc::Combo>("CMB_INDMODSCARTO");
        page.control<kc::Combo>("CMB_INDSCARTOFASIDOC")
            ->setEnabled(krl::numericValue(Variant(scrap->text())) > 1);
    }
    const bool states =
        krl::numericValue(krl::require(page.recordset(), "Recordset")["PD88_INDSTATI"].value()) ==
        2;
    page.control<kc::Combo>("CMB_INDSTATOORD")->setEnabled(states);
    launchedWithoutStates(page);
}

}  // namespace

PageDeclaration prdIndPage() {
    PageDeclaration page;
    page.className = "CTLPD_PRD_IND";
    page.group = "GRP_PRD_DOCUMENTI";
    page.groupCaption = "Parametri documenti";
    page.item = "ITM_PRD_IND";
    page.itemCaption = "Indicatori";
    page.title = "Parametri documenti - indicatori";
    page.record = PageRecord::Document;
    page.members.decodeLookup = true;
    page.members.documentType = true;
    page.firstControl = "CMB_LOCALDIBA_DOC";
    page.enableControlTypes = {"TXT_EDITM", "KRL_COMBO"};
    page.frames = {
        {"WLFrame1", "", "", 15},
        {"WLFrame2", "", "WLFrame1", 7},
        {"WLFrame3", "Modalità di scarto", "WLFrame1", 7},
        {"WLFrame4", "Confronto quantità avanzata fase precedente ", "WLFrame1", 15},
    };
    page.controls = controls();
    page.valueLists = valueLists();
    page.codeFields = {{"TXT_DEPTRANS_DOC", CodeKind::Deposit, 0, {}, {}}};
    page.patternRules = patternRules();
    page.documentSwitches = documentSwitches();
    page.rules = declareRules;
    page.byDocument = byDocument;
    return page;
}

}  // namespace duza_zovrena::pages
