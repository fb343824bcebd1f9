#include "duza_zovrena/pages/ctlpd_prg_indges.h"

#include "duza_zovrena/pages/code_field.h"
#include "krl/ado/ado.h"

namespace duza_zovrena::pages {

namespace kc = krl::controls;
using krl::Variant;

namespace {

// In the order the resize control registers them; the last three are not registered.
std::vector<FrameDef> frames() {
    return {
        {"WLFrame1", "", "", 15},
        {"WLF_DISTINTABASE", "Distinta base", "WLFrame1", 7},
        {"WLF_PROVENIENZA", "Identificativo provenienza", "WLFrame1", 7},
        {"WLF_PIANI", "Piani di produzione", "WLFrame1", 7},
        {"WLF_ORDINI", "Ordini produzione", "WLFrame1", 7},
        {"WLF_SEMILAVORATO", "Semilavorato intermedio", "WLFrame1", 7},
        {"WLF_SCARTO", "Scarto", "WLFrame1", 7},
        {"WLF_BLOCCOMERCE", "Gestione blocco merce", "WLFrame1", 7},
        {"WLF_LOTTI", "", "WLFrame1", 7},
        {"WLF_LEADTIME", "Lead-time articoli/lavorazioni prov. c/lav.- acquisto", "WLFrame1", 11},
        {"WLF_TRASPORTO", "Trasporto dati personalizzati documento origine", "WLFrame1", 15},
        {"WLF_CICLI", "Cicli", "WLFrame1", 0},
        {"WLF_PROGETTI", "", "WLFrame1", 0},
        {"WLF_COIN", "", "WLFrame1", 0},
    };
}

// Tab order; captions come from the column definitions.
std::vector<ControlDef> controls() {
    return {
        {"WLF_DISTINTABASE", "TXT_STEPLEGDB", "PD42_STEPNUMLEGDB", "Num. distinta base",
         Design{}.required()},
        {
            "WLF_DISTINTABASE",
            "TXT_STEPINSLEGDB",
            "PD42_STEPSEQINTLEGDB",
            "",
        },
        {"WLF_DISTINTABASE", "CHK_INDREVDISBA", "PD42_INDREVDISBA", "", Design{}.byDefault(0)},
        {"WLF_DISTINTABASE", "CMB_INDNOTAMODDBLOC", "PD42_INDNOTAMODDBLOC",
         "Nota modifica Di.Ba. localizzata", Design{}.byDefault(0)},
        {"WLF_DISTINTABASE", "CMB_QTARIFLOTTO", "PD42_INDQTALOTTODB", "Qta riferimento lotto",
         Design{}.byDefault(0)},
        {"WLF_DISTINTABASE", "CMB_INDINSLEGDB", "PD42_INDSEQINTLEGDB", "Sequenze intermedie",
         Design{}.byDefault(0)},
        {"WLF_DISTINTABASE", "CMB_LOCALDIBAART", "PD42_INDLOCDISBAART", "Livello localizzazione",
         Design{}.byDefault(0)},
        {"WLF_DISTINTABASE", "CBX_GESMODELLLIDB", "PD42_FLGMODELLODB", "", Design{}.byDefault(0)},
        {"WLF_DISTINTABASE", "CMB_LOCALDIBA", "PD42_INDLOCDISBA", "Localizzazione distinta base",
         Design{}.byDefault(0)},
        {"WLF_DISTINTABASE", "CBX_DISBAAPERTA", "PD42_INDGESDISBA", "", Design{}.byDefault(0)},
        {"WLF_DISTINTABASE", "CMB_INDCOEFFQTA2DB", "PD42_INDCOEFFQTA2DB",
         "Qta consumo UM2 componenti", Design{}.byDefault(0)},
        {"WLF_DISTINTABASE", "CMB_INDQTARIFASS", "PD42_INDQTARIFASSLEG", "Qta riferimento assieme",
         Design{}.byDefault(0)},
        {"WLF_DISTINTABASE", "CBX_GESTRICETTA", "PD42_INDRICETTA", "", Design{}.byDefault(0)},
        {"WLF_DISTINTABASE", "CMB_DATAVALDISBALOC", "PD42_INDDATAVALDISBALOC",
         "Data val.Di.Ba. localizzata", Design{}.byDefault(0)},
        {"WLF_CICLI", "CHK_INDREVCICLI", "PD42_INDREVCICLI", "", Design{}.byDefault(0)},
        {"WLF_CICLI", "CMB_GESTCICLI", "PD42_FLGGESCICLI", "Cicli di produzione",
         Design{}.byDefault(0)},
        {"WLF_CICLI", "CMB_LEADTIME", "PD42_INDLEADTIME", "Calcolo lead-time articoli con ciclo",
         Design{}.byDefault(0)},
        {"WLF_PIANI", "CMB_INDDATAFABB", "PD42_INDDATAFABB", "Data fabbisogno piani",
         Design{}.byDefault(0)},
        {"WLF_PIANI", "CMB_INDPRMPPP", "PD42_INDPRMOPPP", "Modalità gestione piani",
         Design{}.byDefault(0)},
        {"WLF_ORDINI", "CMB_MODORDLAV", "PD42_FLGMODORDLAV", "Generazione ordini lavorazione",
         Design{}.byDefault(0)},
        {"WLF_ORDINI", "CMB_MODORDCLP", "PD42_FLGMODORDCLP", "Generazione ordini c/lav. passivo",
         Design{}.byDefault(0)},
        {"WLF_ORDINI", "CMB_INTESTORDLAV", "PD42_INDINTORDLAV", "Intestazione ordini lav.",
         Design{}.byDefault(0)},
        {"WLF_ORDINI", "CMB_FLGSTATI", "PD42_FLGSTATI", "Stati righe ordini",
         Design{}.byDefault(0)},
        {"WLF_ORDINI", "CMB_INDSTATO", "PD42_INDSTATO", "Stato riga", Design{}.byDefault(0)},
        {"WLF_SEMILAVORATO", "TXT_DEPSLFASISEST", "PD42_DEPSLFAEST_MG58", "Dep. lavoraz. est.",
         Design{}.disabled()},
        {"WLF_SEMILAVORATO", "CMB_MOVSEMLAVINT", "PD42_INDMOVSLINT", "Movimentazione",
         Design{}.byDefault(0)},
        {"WLF_SEMILAVORATO", "CMB_INDGENSEMLAV", "PD42_INDGENSEMLAV", "", Design{}.byDefault(0)},
        {"WLF_SCARTO", "CMB_INDMODSCARTO", "PD42_INDMODSCARTO", "Modalità di scarto"},
        {"WLF_SCARTO", "CBO_INDSCARTOFASI", "PD42_INDSCARTOFASI", "Scarto fasi"},
        {"WLF_BLOCCOMERCE", "CMB_BLOCCOMERCE", "PD42_INDBLOCCOMERCE", "", Design{}.byDefault(1)},
        {"WLF_PROGETTI", "CMB_NUMPROG", "PD42_INDNUMPROG", "Modalità numerazione progetti",
         Design{}.byDefault(1)},
        {"WLF_PROGETTI", "CBX_PROGETTI", "PD42_FLGGESTPROG", ""},
        {"WLF_LOTTI", "CHK_FLGECCEDLISTATRASF", "PD42_FLGECCEDLOTLISTRAS", "",
         Design{}.byDefault(0)},
        {"WLF_LOTTI", "CBX_TRACMP", "PD42_FLGTRACLOTMP", "", Design{}.byDefault(0)},
        {"WLF_LOTTI", "CBX_GESLOTTI", "PD42_FLGGESTLOTTI", "", Design{}.byDefault(0)},
        {"WLF_LOTTI", "CHK_FLGTRASFUBICAZ", "PD42_FLGTRASFUBICAZ", "", Design{}.byDefault(0)},
        {"WLF_LOTTI", "CBX_TRACPF", "PD42_FLGTRACLOTPF", "", Design{}.byDefault(0)},
        {"WLF_PROVENIENZA", "CMB_PROVFORN", "PD42_INDPROVFORN", "Fornitore", Design{}.byDefault(0)},
        {"WLF_PROVENIENZA", "CMB_PROVREP", "PD42_INDPROVREP", "Reparto", Design{}.byDefault(0)},
        {"WLF_COIN", "CBX_GESTIONECOIN", "PD42_FLGCOIN", "", Design{}.byDefault(0)},
        {"WLF_LEADTIME", "CBX_INDATTRFESTLTCF", "PD42_INDATTRFESTLTCF", ""},
        {"WLF_TRASPORTO", "CHK_INDTRPERSCORPO", "PD42_INDTRPERSCORPO", "", Design{}.byDefault(0)},
        {"WLF_TRASPORTO", "CHK_INDTRPERSTESTA", "PD42_INDTRPERSTESTA", "", Design{}.byDefault(0)},
    };
}

// FillCombos order: (label, code stored in the column).
std::vector<ComboRows> valueLists() {
    return {
        {"CMB_INDINSLEGDB",
         {{"Media sequenze componenti adiacenti", code(0)}, {"Incremento fisso", code(1)}}},
        {"CMB_INDCOEFFQTA2DB",
         {{"Da qta esplosa UM1", code(0)},
          {"Da qta UM2 legame", code(1)},
          {"Qta UM2 legame -> Qta esplosa UM1", code(2)}}},
        {"CMB_LOCALDIBA",
         {{"Modalità interattiva", code(0)}, {"Modalità non interattiva", code(1)}}},
        {"CMB_DATAVALDISBALOC", {{"Data documento", code(0)}, {"Data consegna", code(1)}}},
        {"CMB_INDQTARIFASS", {{"UM2 -> UM1", code(0)}, {"UM2", code(1)}, {"UM1", code(2)}}},
        {"CMB_LOCALDIBAART", {{"Tutti i livelli", code(0)}, {"Solo primo livello", code(1)}}},
        {"CMB_GESTCICLI",
         {{"Cicli non gestiti", code(0)},
          {"Cicli facoltativi", code(1)},
          {"Cicli obbligatori", code(2)}}},
        {"CMB_LEADTIME",
         {{"Da ciclo/da articolo", code(0)}, {"Da ciclo", code(1)}, {"Da articolo", code(2)}}},
        {"CMB_PROVREP", {{"Anagrafica articolo", code(0)}, {"Fase lavorazione", code(1)}}},
        {"CMB_PROVFORN", {{"Anagrafica articolo", code(0)}, {"Fase lavorazione", code(1)}}},
        {"CMB_INDPRMPPP",
         {{"P. rich. mater. e P. princ. di produz.", code(0)},
          {"Piano principale di produzione", code(1)}}},
        {"CMB_INDDATAFABB",
         {{"Data consegna richiesta", code(0)},
          {"Data consegna confermata", code(1)},
          {"A scelta", code(2)}}},
        {"CMB_MODORDLAV",
         {{"1 testata - 1 riga dettaglio", code(0)}, {"1 testata - n righe dettaglio", code(1)}}},
        {"CMB_MODORDCLP",
         {{"1 testata - 1 riga dettaglio", code(0)}, {"1 testata - n righe dettaglio", code(1)}}},
        {"CMB_FLGSTATI", {{"No", code(0)}, {"Si", code(1)}}},
        {"CMB_INTESTORDLAV",
         {{"Standard", Variant("0")},
          {"Documento origine", Variant("1")},
          {"Documento origine/riga padre", Variant("2")},
          {"Sezionale documento origine", Variant("3")}}},
        {"CMB_INDSTATO", {{"Emesso", code(0)}, {"Confermato", code(1)}, {"Lanciato", code(2)}}},
        {"CMB_MOVSEMLAVINT",
         {{"Nessuna", code(0)},
          {"Senza aggiornamento progressivi", code(1)},
          {"Con aggiornamento progressivi", code(2)}}},
        {"CMB_INDGENSEMLAV", {{"Da fasi", code(0)}, {"Da ciclo", code(1)}}},
        {"CMB_INDMODSCARTO",
         {{"No generazione documenti aggiuntivi", code(0)},
          {"Solo documento carico scarto", code(1)},
          {"Documento carico scarto e scarico scarto", code(2)}}},
        {"CBO_INDSCARTOFASI", {{"Solo fase finale", code(0)}, {"Tutte le fasi", code(1)}}},
        {"CMB_NUMPROG",
         {{"Manuale", code(0)},
          {"Ordine di vendita", code(1)},
          {"Sezionale/n. documento", code(2)},
          {"Sezionale/n. documento/n. riga", code(3)}}},
        {"CMB_BLOCCOMERCE", {{"Non attivo", code(0)}, {"Attivo", code(1)}}},
        {"CMB_QTARIFLOTTO", {{"Facoltativa", code(0)}, {"Obbligatoria", code(1)}}},
        {"CMB_INDNOTAMODDBLOC",
         {{"Nessuna", code(0)}, {"Facoltativa", code(1)}, {"Obbligatoria", code(2)}}},
    };
}

using Follow = PatternRule::Follow;
using When = RuleCondition;

std::vector<PatternRule> patternRules() {
    return {
        // Intermediate sequences numbered by a fixed step need the step.
        {"CMB_INDINSLEGDB",
         When::textIsNot("0"),
         {"TXT_STEPINSLEGDB"},
         Follow::EnabledAndMandatory},
        {"CMB_INDCOEFFQTA2DB", When::textIsNot("0"), {"CMB_INDQTARIFASS"}},
        // Revision management of cycles goes off together with cycles.
        {"CMB_GESTCICLI", When::atLeast(1), {"CHK_INDREVCICLI"}, Follow::Enabled, "0"},
        {"CMB_MODORDLAV", When::equals(1), {"CMB_INTESTORDLAV"}},
        // Without order line states, generated lines are launched: written straight into the
        // record.
        {"CMB_FLGSTATI",
         When::equals(1),
         {"CMB_INDSTATO"},
         Follow::Enabled,
         {},
         RecordWrite{"PD42_INDSTATO", 2}},
        {"CMB_MOVSEMLAVINT", When::textIsNot("0"), {"TXT_DEPSLFASISEST", "CMB_INDGENSEMLAV"}},
        {"CMB_INDMODSCARTO", When::above(0), {"CBO_INDSCARTOFASI"}, Follow::Enabled, "0"},
        {"CBX_PROGETTI", When::ticked(), {"CMB_NUMPROG"}},
        // Traceability, transfer between locations and transfer-list excess need lot management.
        {"CBX_GESLOTTI",
         When::ticked(),
         {"CBX_TRACMP", "CBX_TRACPF", "CHK_FLGTRASFUBICAZ", "CHK_FLGECCEDLISTATRASF"},
         Follow::Enabled,
         "0"},
    };
}

// The rules that fit no pattern.
void declareRules(ParameterPage& page) {
    // A step left empty, at 0 or not a number takes its default; the save rules judge the rest.
    // So the person may type anything into the two steps: they are never refused.
    page.control<kc::EditM>("TXT_STEPLEGDB")->setAcceptsAnyText(true);
    page.control<kc::EditM>("TXT_STEPINSLEGDB")->setAcceptsAnyText(true);
    page.onValidate("TXT_STEPLEGDB", [](kc::EditM& edit, bool&) {
        if (krl::numericValue(Variant(edit.text())) == 0) {
            edit.setText("10");
        }
    });
    page.onValidate("TXT_STEPINSLEGDB", [](kc::EditM& edit, bool&) {
        if (krl::numericValue(Variant(edit.text())) == 0) {
            edit.setText("1");
        }
    });
    // The window offers the routing page from optional cycles upwards.
    page.onChangeRow("CMB_GESTCICLI", [&page](kc::Combo& combo) {
        std::int16_t value = Variant(combo.text()).toInt16();
        if (auto* indicators = dynamic_cast<CTLPD_PRG_INDGES*>(&page)) {
            indicators->ComboGestioneCicliChangeRow.raise(value);
        }
        page.switchItem("GRP_PRG_CICLI", "ITM_PRG_CICLI", value >= 1);
    });
}

}  // namespace

PageDeclaration indgesPage() {
    PageDeclaration page;
    page.className = std::string(CTLPD_PRG_INDGES::ClassName);
    page.group = "GRP_PRG_INDGES";
    page.groupCaption = "Indicatori gestionali";
    page.item = "ITM_PRG_INDGES";
    page.itemCaption = "Indicatori gestionali";
    page.title = "Parametri generali - indicatori gestionali";
    page.members.decodeLookup = true;
    page.members.warehouseActions = true;
    page.firstControl = "CBX_GESMODELLLIDB";
    page.frames = frames();
    page.controls = controls();
    page.valueLists = valueLists();
    page.codeFields = {{"TXT_DEPSLFASISEST", CodeKind::Deposit, 0, {}, {}}};
    page.patternRules = patternRules();
    page.rules = declareRules;
    page.make = [](const PageDeclaration& declaration) {
        return std::make_shared<CTLPD_PRG_INDGES>(declaration);
    };
    return page;
}

CTLPD_PRG_INDGES::CTLPD_PRG_INDGES(const PageDeclaration& declaration)
    : ParameterPage(declaration) {}

void CTLPD_PRG_INDGES::AzioniWMSEnabled() {
    krl::trap::ignoring([this] { control<kc::Combo>("CMB_MOVSEMLAVINT")->setEnabled(false); });
}

}  // namespace duza_zovrena::pages
