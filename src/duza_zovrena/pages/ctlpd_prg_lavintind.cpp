#include "duza_zovrena/pages/ctlpd_prg_lavintind.h"

#include "duza_zovrena/pages/page_members.h"
#include "duza_zovrena/pages/parameter_page.h"

namespace duza_zovrena::pages {

namespace kc = krl::controls;

namespace {

// In the order the resize control registers them; the last two are not registered.
std::vector<FrameDef> frames() {
    return {
        {"WLFrame1", "", "", 15},
        {"WLF_TRASFERIMENTO", "Trasferimento materiali", "WLFrame1", 7},
        {"WLF_PRIORITADEP", "Priorità reperimento depositi", "WLFrame1", 7},
        {"WLF_DEPVERSAMENTO", "Dep. versamento assiemi", "WLF_PRIORITADEP", 7},
        {"WLF_DEPSCARICO", "Dep. scarico materiali", "WLF_PRIORITADEP", 7},
        {"WLF_AVANZFASI", "Confronto quantità avanzata fase precedente", "WLFrame1", 7},
        {"WLF_MATSCARICO", "Materiale da scaricare in avanzamento", "WLFrame1", 7},
        {"WLF_UMAVANZ", "Unità di misura avanzamento", "WLFrame1", 7},
        {"WLF_SALDOFASIEST", "Controllo saldo fasi esterne precedenti", "WLFrame1", 7},
        {"WLF_TEMPI", "Versamento tempi in avanzamento", "WLFrame1", 7},
        {"WLF_IMPEGNO", "Impegno", "WLFrame1", 0},
        {"WLF_DEPPRELIEVO", "Dep. prelievo componenti", "WLF_PRIORITADEP", 0},
    };
}

// Tab order; captions come from the column definitions.
std::vector<ControlDef> controls() {
    const Design off = Design{}.byDefault(0);
    const Design on = Design{}.byDefault(1);
    return {
        {"WLF_TRASFERIMENTO", "CBX_SCAGENLISPRE", "PD42_FLGSCAGENLISP", "", off},
        {"WLF_TRASFERIMENTO", "CBX_SCAGENORD", "PD42_FLGSCAGENORD", "", off},
        {"WLF_IMPEGNO", "CBX_IMPGENLISPRE", "PD42_FLGIMPGENLISP", "", off},
        {"WLF_IMPEGNO", "CBX_GENORD", "PD42_FLGIMPGENORD", "", off},
        {"WLF_DEPPRELIEVO", "CBX_FLGDEPCRIGAORD", "PD42_FLGDEPCRIGAORD", "", off},
        {"WLF_DEPPRELIEVO", "CBX_FLGDEPCCLP", "PD42_FLGDEPCCLP", "", off},
        {"WLF_DEPPRELIEVO", "CBX_FLGDEPCPIANART", "PD42_FLGDEPCPIANART", "", off},
        {"WLF_DEPPRELIEVO", "CBX_FLGDEPCPRELART", "PD42_FLGDEPCPRELART", "", off},
        {"WLF_DEPPRELIEVO", "CBX_FLGDEPCREP", "PD42_FLGDEPCREP", "", off},
        {"WLF_DEPPRELIEVO", "CBX_FLGDEPCLEGAME", "PD42_FLGDEPCLEGAME", "", on},
        {"WLF_DEPVERSAMENTO", "CBX_FLGDEPAPIANART", "PD42_FLGDEPAPIANART", "", off},
        {"WLF_DEPVERSAMENTO", "CBX_FLGDEPARIGAORD", "PD42_FLGDEPARIGAORD", "", on},
        {"WLF_DEPVERSAMENTO", "CBX_FLGDEPAVERSART", "PD42_FLGDEPAVERSART", "", off},
        {"WLF_DEPSCARICO", "CBX_FLGSCAMATREP", "PD42_FLGSCAMATREP", "", off},
        {"WLF_AVANZFASI", "cbo_AvanzFaseINT", "PD42_INDAVANZFASEINT", "Avanzamento fasi interne"},
        {"WLF_AVANZFASI", "TXT_PERCTOLLINT", "PD42_PERCTOLLINT", ""},
        {"WLF_MATSCARICO", "CMB_INDSCAMATTRASF", "PD42_INDSCAMATTRASF", ""},
        {"WLF_MATSCARICO", "CHK_FLGREINMATSALDO", "PD42_FLGREINMATSALDO", ""},
        {"WLF_UMAVANZ", "CMB_UMAVANZ", "PD42_INDTIPOVERSQTA", ""},
        {"WLF_SALDOFASIEST", "CMB_INDSALDOFASIESTPRE", "PD42_INDSALDOFASIESTPRE", ""},
        {"WLF_TEMPI", "CHK_FLGVISTMPDETTFASI", "PD42_FLGVISTMPDETTFASI", ""},
    };
}

// FillCombos order: (label, code stored in the column).
std::vector<ComboRows> valueLists() {
    return {
        {"cbo_AvanzFaseINT",
         {{"Controllo con quantità esatta", code(0)}, {"Controllo con % di tolleranza", code(1)}}},
        {"CMB_INDSCAMATTRASF",
         {{"Nessun controllo", code(0)},
          {"Controllo qta insufficienti su liste trasferimento", code(1)},
          {"Blocco qta insufficienti su liste trasferimento", code(2)}}},
        {"CMB_UMAVANZ",
         {{"Quantità", code(0)}, {"Pallet", code(1)}, {"Collo", code(2)}, {"Confezione", code(3)}}},
        {"CMB_INDSALDOFASIESTPRE",
         {{"Bloccante", code(0)},
          {"Non bloccante", code(1)},
          {"Merce in lavorazione (bloccante)", code(2)},
          {"Merce in lavorazione (non bloccante)", code(3)},
          {"Nessun controllo", code(4)}}},
    };
}

using Follow = PatternRule::Follow;
using When = RuleCondition;

// Ticking one box of a pair switches the other off in the record.
PatternRule excludes(std::string_view box, std::string_view otherColumn) {
    return {box, When::ticked(), {}, Follow::Enabled, {}, {}, RecordWrite{otherColumn, 0}};
}

std::vector<PatternRule> patternRules() {
    return {
        // Commitment: by picking list or by internal-department order.
        excludes("CBX_GENORD", "PD42_FLGIMPGENLISP"),
        excludes("CBX_IMPGENLISPRE", "PD42_FLGIMPGENORD"),
        // Material transfer: by transfer list or by internal-department order.
        excludes("CBX_SCAGENORD", "PD42_FLGSCAGENLISP"),
        excludes("CBX_SCAGENLISPRE", "PD42_FLGSCAGENORD"),
        // The tolerance only means something when progress is checked with one; hidden, it keeps
        // its value.
        {"cbo_AvanzFaseINT", When::equals(1), {"TXT_PERCTOLLINT"}, Follow::Visible},
    };
}

// Under warehouse management the warehouse moves the material between departments.
class LavIntIndPage : public ParameterPage, public WarehouseActions {
  public:
    using ParameterPage::ParameterPage;

    void AzioniWMSEnabled() override {
        for (const char* name : {"CBX_SCAGENORD", "CBX_FLGSCAMATREP", "CHK_FLGREINMATSALDO"}) {
            krl::trap::ignoring([&] { control<kc::Control>(name)->setEnabled(false); });
        }
    }
};

}  // namespace

PageDeclaration lavIntIndPage() {
    PageDeclaration page;
    page.className = "CTLPD_PRG_LAVINTIND";
    page.group = "GRP_PRG_LAVINT";
    page.groupCaption = "Lavorazioni interne";
    page.item = "ITM_PRG_LAVINTIND";
    page.itemCaption = "Indicatori";
    page.title = "Parametri generali - lav. int. - indicatori";
    page.members.warehouseActions = true;
    page.firstControl = "CBX_GENORD";
    page.frames = frames();
    page.controls = controls();
    page.valueLists = valueLists();
    page.patternRules = patternRules();
    page.make = [](const PageDeclaration& declaration) {
        return std::make_shared<LavIntIndPage>(declaration);
    };
    return page;
}

}  // namespace duza_zovrena::pages
