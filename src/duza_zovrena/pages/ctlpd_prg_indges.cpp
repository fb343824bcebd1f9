#include "duza_zovrena/pages/ctlpd_prg_indges.h"

#include "duza_zovrena/pages/code_field.h"
#include "krl/ado/ado.h"

namespace duza_zovrena::pages {

namespace kc = krl::controls;
using krl::Variant;

namespace {

Variant code(std::int16_t value) {
    return Variant(value);
}

PageDefinition indgesDefinition() {
    PageDefinition page;
    page.className = std::string(CTLPD_PRG_INDGES::ClassName);
    page.title = "Parametri generali - indicatori gestionali";
    page.decodeLookup = true;
    page.initialize = initializeSteps({
        InitializeStep::ActiveInterface,
        InitializeStep::VirtualFrame,
        InitializeStep::Recordset,
        InitializeStep::ClsDecodeProduzione,
        InitializeStep::ClsLookupProduzione,
        InitializeStep::FillCombos,
        InitializeStep::AddVirtualFrameControl,
        InitializeStep::InitializeScriptObjectModel,
    });
    page.firstControl = "CBX_GESMODELLLIDB";
    return page;
}

// In the order the resize control registers them; the last three are not registered.
const FrameDef kFrames[] = {
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

// Tab order; captions come from the column definitions.
const ControlDef kControls[] = {
    {"WLF_DISTINTABASE", "TXT_STEPLEGDB", ControlKind::Edit, "PD42_STEPNUMLEGDB",
     "Num. distinta base", Design{}.chars(5).required()},
    {"WLF_DISTINTABASE", "TXT_STEPINSLEGDB", ControlKind::Edit, "PD42_STEPSEQINTLEGDB", "",
     Design{}.chars(5)},
    {"WLF_DISTINTABASE", "CHK_INDREVDISBA", ControlKind::CheckBox, "PD42_INDREVDISBA", "",
     Design{}.byDefault(0)},
    {"WLF_DISTINTABASE", "CMB_INDNOTAMODDBLOC", ControlKind::Combo, "PD42_INDNOTAMODDBLOC",
     "Nota modifica Di.Ba. localizzata", Design{}.byDefault(0)},
    {"WLF_DISTINTABASE", "CMB_QTARIFLOTTO", ControlKind::Combo, "PD42_INDQTALOTTODB",
     "Qta riferimento lotto", Design{}.byDefault(0)},
    {"WLF_DISTINTABASE", "CMB_INDINSLEGDB", ControlKind::Combo, "PD42_INDSEQINTLEGDB",
     "Sequenze intermedie", Design{}.byDefault(0)},
    {"WLF_DISTINTABASE", "CMB_LOCALDIBAART", ControlKind::Combo, "PD42_INDLOCDISBAART",
     "Livello localizzazione", Design{}.byDefault(0)},
    {"WLF_DISTINTABASE", "CBX_GESMODELLLIDB", ControlKind::CheckBox, "PD42_FLGMODELLODB", "",
     Design{}.byDefault(0)},
    {"WLF_DISTINTABASE", "CMB_LOCALDIBA", ControlKind::Combo, "PD42_INDLOCDISBA",
     "Localizzazione distinta base", Design{}.byDefault(0)},
    {"WLF_DISTINTABASE", "CBX_DISBAAPERTA", ControlKind::CheckBox, "PD42_INDGESDISBA", "",
     Design{}.byDefault(0)},
    {"WLF_DISTINTABASE", "CMB_INDCOEFFQTA2DB", ControlKind::Combo, "PD42_INDCOEFFQTA2DB",
     "Qta consumo UM2 componenti", Design{}.byDefault(0)},
    {"WLF_DISTINTABASE", "CMB_INDQTARIFASS", ControlKind::Combo, "PD42_INDQTARIFASSLEG",
     "Qta riferimento assieme", Design{}.byDefault(0)},
    {"WLF_DISTINTABASE", "CBX_GESTRICETTA", ControlKind::CheckBox, "PD42_INDRICETTA", "",
     Design{}.byDefault(0)},
    {"WLF_DISTINTABASE", "CMB_DATAVALDISBALOC", ControlKind::Combo, "PD42_INDDATAVALDISBALOC",
     "Data val.Di.Ba. localizzata", Design{}.byDefault(0)},
    {"WLF_CICLI", "CHK_INDREVCICLI", ControlKind::CheckBox, "PD42_INDREVCICLI", "",
     Design{}.byDefault(0)},
    {"WLF_CICLI", "CMB_GESTCICLI", ControlKind::Combo, "PD42_FLGGESCICLI", "Cicli di produzione",
     Design{}.byDefault(0)},
    {"WLF_CICLI", "CMB_LEADTIME", ControlKind::Combo, "PD42_INDLEADTIME",
     "Calcolo lead-time articoli con ciclo", Design{}.byDefault(0)},
    {"WLF_PIANI", "CMB_INDDATAFABB", ControlKind::Combo, "PD42_INDDATAFABB",
     "Data fabbisogno piani", Design{}.byDefault(0)},
    {"WLF_PIANI", "CMB_INDPRMPPP", ControlKind::Combo, "PD42_INDPRMOPPP", "Modalità gestione piani",
     Design{}.byDefault(0)},
    {"WLF_ORDINI", "CMB_MODORDLAV", ControlKind::Combo, "PD42_FLGMODORDLAV",
     "Generazione ordini lavorazione", Design{}.byDefault(0)},
    {"WLF_ORDINI", "CMB_MODORDCLP", ControlKind::Combo, "PD42_FLGMODORDCLP",
     "Generazione ordini c/lav. passivo", Design{}.byDefault(0)},
    {"WLF_ORDINI", "CMB_INTESTORDLAV", ControlKind::Combo, "PD42_INDINTORDLAV",
     "Intestazione ordini lav.", Design{}.byDefault(0)},
    {"WLF_ORDINI", "CMB_FLGSTATI", ControlKind::Combo, "PD42_FLGSTATI", "Stati righe ordini",
     Design{}.byDefault(0)},
    {"WLF_ORDINI", "CMB_INDSTATO", ControlKind::Combo, "PD42_INDSTATO", "Stato riga",
     Design{}.byDefault(0)},
    {"WLF_SEMILAVORATO", "TXT_DEPSLFASISEST", ControlKind::Edit, "PD42_DEPSLFAEST_MG58",
     "Dep. lavoraz. est.", Design{}.chars(2).upper().disabled()},
    {"WLF_SEMILAVORATO", "CMB_MOVSEMLAVINT", ControlKind::Combo, "PD42_INDMOVSLINT",
     "Movimentazione", Design{}.byDefault(0)},
    {"WLF_SEMILAVORATO", "CMB_INDGENSEMLAV", ControlKind::Combo, "PD42_INDGENSEMLAV", "",
     Design{}.byDefault(0)},
    {"WLF_SCARTO", "CMB_INDMODSCARTO", ControlKind::Combo, "PD42_INDMODSCARTO",
     "Modalità di scarto"},
    {"WLF_SCARTO", "CBO_INDSCARTOFASI", ControlKind::Combo, "PD42_INDSCARTOFASI", "Scarto fasi"},
    {"WLF_BLOCCOMERCE", "CMB_BLOCCOMERCE", ControlKind::Combo, "PD42_INDBLOCCOMERCE", "",
     Design{}.byDefault(1)},
    {"WLF_PROGETTI", "CMB_NUMPROG", ControlKind::Combo, "PD42_INDNUMPROG",
     "Modalità numerazione progetti", Design{}.byDefault(1)},
    {"WLF_PROGETTI", "CBX_PROGETTI", ControlKind::CheckBox, "PD42_FLGGESTPROG", ""},
    {"WLF_LOTTI", "CHK_FLGECCEDLISTATRASF", ControlKind::CheckBox, "PD42_FLGECCEDLOTLISTRAS", "",
     Design{}.byDefault(0)},
    {"WLF_LOTTI", "CBX_TRACMP", ControlKind::CheckBox, "PD42_FLGTRACLOTMP", "",
     Design{}.byDefault(0)},
    {"WLF_LOTTI", "CBX_GESLOTTI", ControlKind::CheckBox, "PD42_FLGGESTLOTTI", "",
     Design{}.byDefault(0)},
    {"WLF_LOTTI", "CHK_FLGTRASFUBICAZ", ControlKind::CheckBox, "PD42_FLGTRASFUBICAZ", "",
     Design{}.byDefault(0)},
    {"WLF_LOTTI", "CBX_TRACPF", ControlKind::CheckBox, "PD42_FLGTRACLOTPF", "",
     Design{}.byDefault(0)},
    {"WLF_PROVENIENZA", "CMB_PROVFORN", ControlKind::Combo, "PD42_INDPROVFORN", "Fornitore",
     Design{}.byDefault(0)},
    {"WLF_PROVENIENZA", "CMB_PROVREP", ControlKind::Combo, "PD42_INDPROVREP", "Reparto",
     Design{}.byDefault(0)},
    {"WLF_COIN", "CBX_GESTIONECOIN", ControlKind::CheckBox, "PD42_FLGCOIN", "",
     Design{}.byDefault(0)},
    {"WLF_LEADTIME", "CBX_INDATTRFESTLTCF", ControlKind::CheckBox, "PD42_INDATTRFESTLTCF", ""},
    {"WLF_TRASPORTO", "CHK_INDTRPERSCORPO", ControlKind::CheckBox, "PD42_INDTRPERSCORPO", "",
     Design{}.byDefault(0)},
    {"WLF_TRASPORTO", "CHK_INDTRPERSTESTA", ControlKind::CheckBox, "PD42_INDTRPERSTESTA", "",
     Design{}.byDefault(0)},
};

// FillCombos order: (label, code stored in the column).
std::vector<ComboRows> comboRows() {
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

}  // namespace

CTLPD_PRG_INDGES::CTLPD_PRG_INDGES() : ParameterPage(indgesDefinition()) {
    buildFrames(kFrames);
    buildControls(kControls);
    declareCombos(comboRows());
    addCodeField({"TXT_DEPSLFASISEST", CodeKind::Deposit, 0, {}, {}});
    declareRules();
}

void CTLPD_PRG_INDGES::AzioniWMSEnabled() {
    krl::trap::ignoring([this] { control<kc::Combo>("CMB_MOVSEMLAVINT")->setEnabled(false); });
}

void CTLPD_PRG_INDGES::declareRules() {
    // Intermediate sequences numbered by a fixed step need the step.
    onChangeRow("CMB_INDINSLEGDB", [this](kc::Combo& combo) {
        auto step = control<kc::EditM>("TXT_STEPINSLEGDB");
        bool fixedStep = combo.text() != "0";
        step->setMandatory(fixedStep);
        step->setEnabled(fixedStep);
    });
    // A step left empty, at 0 or not a number takes its default; the save rules judge the rest.
    // So the person may type anything into the two steps: they are never refused.
    control<kc::EditM>("TXT_STEPLEGDB")->setAcceptsAnyText(true);
    control<kc::EditM>("TXT_STEPINSLEGDB")->setAcceptsAnyText(true);
    onValidate("TXT_STEPLEGDB", [](kc::EditM& edit, bool&) {
        if (krl::numericValue(Variant(edit.text())) == 0) {
            edit.setText("10");
        }
    });
    onValidate("TXT_STEPINSLEGDB", [](kc::EditM& edit, bool&) {
        if (krl::numericValue(Variant(edit.text())) == 0) {
            edit.setText("1");
        }
    });
    onChangeRow("CMB_INDCOEFFQTA2DB", [this](kc::Combo& combo) {
        control<kc::Combo>("CMB_INDQTARIFASS")->setEnabled(combo.text() != "0");
    });
    // Revision management of cycles goes off together with cycles.
    onChangeRow("CMB_GESTCICLI", [this](kc::Combo& combo) {
        auto revisions = control<kc::CheckBox>("CHK_INDREVCICLI");
        krl::trap::runIgnoring({
            [&] { ComboGestioneCicliChangeRow.raise(Variant(combo.text()).toInt16()); },
            [&] { revisions->setEnabled(krl::numericValue(Variant(combo.text())) >= 1); },
            [&] {
                if (!revisions->enabled()) {
                    revisions->setChecked(false);
                }
            },
        });
    });
    onChangeRow("CMB_MODORDLAV", [this](kc::Combo& combo) {
        control<kc::Combo>("CMB_INTESTORDLAV")
            ->setEnabled(krl::numericValue(Variant(combo.text())) == 1);
    });
    // Without order line states, generated lines are launched: written straight into the record.
    onChangeRow("CMB_FLGSTATI", [this](kc::Combo& combo) {
        auto state = control<kc::Combo>("CMB_INDSTATO");
        krl::trap::runIgnoring({
            [&] { state->setEnabled(krl::numericValue(Variant(combo.text())) == 1); },
            [&] {
                if (!state->enabled()) {
                    (*recordset())["PD42_INDSTATO"].setValue(Variant(std::int16_t{2}));
                }
            },
        });
    });
    onChangeRow("CMB_MOVSEMLAVINT", [this](kc::Combo& combo) {
        bool moved = combo.text() != "0";
        krl::trap::runIgnoring({
            [&] { control<kc::EditM>("TXT_DEPSLFASISEST")->setEnabled(moved); },
            [&] { control<kc::Combo>("CMB_INDGENSEMLAV")->setEnabled(moved); },
        });
    });
    onChangeRow("CMB_INDMODSCARTO", [this](kc::Combo& combo) {
        auto phases = control<kc::Combo>("CBO_INDSCARTOFASI");
        if (krl::numericValue(Variant(combo.text())) > 0) {
            phases->setEnabled(true);
            return;
        }
        krl::trap::runIgnoring({
            [&] { phases->setText("0"); },
            [&] { phases->setEnabled(false); },
        });
    });
    onClick("CBX_PROGETTI", [this](kc::CheckBox& projects) {
        control<kc::Combo>("CMB_NUMPROG")->setEnabled(projects.checked());
    });
    // Traceability, transfer between locations and transfer-list excess need lot management.
    onClick("CBX_GESLOTTI", [this](kc::CheckBox& lots) {
        for (std::string_view name :
             {"CBX_TRACMP", "CBX_TRACPF", "CHK_FLGTRASFUBICAZ", "CHK_FLGECCEDLISTATRASF"}) {
            auto box = control<kc::CheckBox>(name);
            if (lots.checked()) {
                krl::trap::ignoring([&] { box->setEnabled(true); });
            } else {
                krl::trap::runIgnoring({
                    [&] { box->setChecked(false); },
                    [&] { box->setEnabled(false); },
                });
            }
        }
    });
}

}  // namespace duza_zovrena::pages
