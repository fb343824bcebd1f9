#include "duza_zovrena/pages/ctlpd_prg_lavestind.h"

namespace duza_zovrena::pages {

using krl::Variant;

namespace {

// In the order the resize control registers them.
std::vector<FrameDef> frames() {
    return {
        {"WLFrame1", "", "", 15},
        {"WLF_IMPEGNO", "Impegno", "WLFrame1", 7},
        {"WLF_AVANZFASI", "Confronto quantità avanzata fase precedente", "WLFrame1", 7},
        {"WLF_DDTVERS", "", "WLFrame1", 7},
        {"WLF_RECUPERO", "", "WLFrame1", 7},
        {"WLF_TRASFERIMENTO", "Trasferimento materiali", "WLFrame1", 7},
    };
}

// Tab order; captions come from the column definitions.
std::vector<ControlDef> controls() {
    const Design off = Design{}.byDefault(0);
    return {
        {"WLF_TRASFERIMENTO", "TXT_DEPTRANS", "PD42_DEPTRANS_MG58", "Deposito transito"},
        {"WLF_TRASFERIMENTO", "CBX_SCAGENLISPRECL", "PD42_FLGSCAGENLISPCL", "", off},
        {"WLF_AVANZFASI", "CBO_AVANZFASIEXT", "PD42_INDAVANZFASEEST", "Avanzamento fasi esterne"},
        {"WLF_AVANZFASI", "TXT_PERCTOLLEST", "PD42_PERCTOLLEST", ""},
        {"WLF_IMPEGNO", "CBX_GEORDCLAV", "PD42_FLGGENORDCLAV", "", off},
        {"WLF_IMPEGNO", "CBX_GELISTATRASFCL", "PD42_FLGGENTRASFCL", "", off},
        // Neither shown nor registered with the data frame: the column keeps what the record holds.
        {"WLF_IMPEGNO", "CBO_INDIMPINTEST", "PD42_INDIMPINTEST",
         "Modalità impegno materiale fasi esterne", Design{}.hidden()},
        {"WLF_DDTVERS", "CBX_CONTRDDTCLVERS", "PD42_FLGDDTCLVERS", "", Design{}.byDefault(1)},
        {"WLF_RECUPERO", "CHK_CARARTRECVRSORD", "PD42_INDCARSFRIDOCL", ""},
    };
}

// FillCombos order: (label, code stored in the column).
std::vector<ComboRows> valueLists() {
    return {
        {"CBO_INDIMPINTEST",
         {{"Presso deposito interno", code(0)}, {"Presso deposito terzista", code(1)}}},
        {"CBO_AVANZFASIEXT",
         {{"Controllo con quantità esatta", code(0)}, {"Controllo con % di tolleranza", code(1)}}},
    };
}

using Follow = PatternRule::Follow;
using When = RuleCondition;

std::vector<PatternRule> patternRules() {
    return {
        // The transit deposit is edited only while transfer documents are generated; switched
        // off, it keeps its code.
        {"CBX_SCAGENLISPRECL", When::textIsNot("0"), {"TXT_DEPTRANS"}},
        // Subcontracting order and picking list exclude each other in the record.
        {"CBX_GEORDCLAV",
         When::textIsNot("0"),
         {},
         Follow::Enabled,
         {},
         {},
         RecordWrite{"PD42_FLGGENTRASFCL", 0}},
        {"CBX_GELISTATRASFCL",
         When::textIsNot("0"),
         {},
         Follow::Enabled,
         {},
         {},
         RecordWrite{"PD42_FLGGENORDCLAV", 0}},
        {"CBO_AVANZFASIEXT", When::equals(1), {"TXT_PERCTOLLEST"}, Follow::Visible},
    };
}

}  // namespace

PageDeclaration lavEstIndPage() {
    PageDeclaration page;
    page.className = "CTLPD_PRG_LAVESTIND";
    page.group = "GRP_PRG_LAVEST";
    page.groupCaption = "Lavorazioni esterne";
    page.item = "ITM_PRG_LAVESTIND";
    page.itemCaption = "Indicatori";
    page.title = "Parametri generali - lav. est. - indicatori";
    page.members.decodeLookup = true;
    page.firstControl = "CBX_GEORDCLAV";
    page.notRegistered = {"CBO_INDIMPINTEST"};
    page.frames = frames();
    page.controls = controls();
    page.valueLists = valueLists();
    page.codeFields = {{"TXT_DEPTRANS", CodeKind::Deposit, 0, {}, {}}};
    page.patternRules = patternRules();
    return page;
}

}  // namespace duza_zovrena::pages
