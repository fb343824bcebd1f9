#include "duza_zovrena/pages/ctlpd_prg_cicli.h"

namespace duza_zovrena::pages {

namespace {

constexpr std::string_view kFrame = "WLFrame1";

// The four time units share one list; their codes go to the combo as 32-bit integers.
ComboRows timeUnits(std::string_view combo) {
    return {combo,
            {{"Secondi", krl::Variant(std::int32_t{0})},
             {"Minuti", krl::Variant(std::int32_t{1})},
             {"Ore", krl::Variant(std::int32_t{2})},
             {"Giorni", krl::Variant(std::int32_t{3})},
             {"Cent.min.", krl::Variant(std::int32_t{4})}}};
}

}  // namespace

PageDeclaration cicliPage() {
    PageDeclaration page;
    page.className = "CTLPD_PRG_CICLI";
    page.group = "GRP_PRG_CICLI";
    page.groupCaption = "Cicli";
    page.item = "ITM_PRG_CICLI";
    page.itemCaption = "Parametri cicli";
    page.title = "Parametri cicli";
    page.members.connection = page.members.decodeLookup = true;
    // The connection is checked before the decode and lookup objects.
    page.firstControl = "CHK_CICLOCODART";
    page.frames = {{kFrame, "", "", 15}};
    page.controls = {
        {kFrame, "CHK_CICLOCODART", "PD42_FLGCICLOCODART", "", Design{}.byDefault(0)},
        {kFrame, "CBO_UMSETUP", "PD42_INDUMSETUP", "Default UM setup"},
        {kFrame, "CBO_UMLAV", "PD42_INDUMLAV", "Default UM lavorazione"},
        {kFrame, "CBO_UMCODA", "PD42_INDUMCODA", "Default UM coda"},
        {kFrame, "CBO_UMATTESA", "PD42_INDUMATTESA", "Default UM attesa"},
        {kFrame, "TXT_QUALSETUP", "PD42_QSETUP_PD04", "Default qualifica setup"},
        {kFrame, "LBL_DESCRSETUP", "", ""},
        {kFrame, "TXT_QUALLAV", "PD42_QLAV_PD04", "Default qualifica lavorazione"},
        {kFrame, "LBL_DESCRLAV", "", ""},
        {kFrame, "CBO_FASESCARICO", "PD42_INDFASESCAR", "Fase di scarico", Design{}.byDefault(0)},
        {kFrame, "CBO_COMPERRFASE", "PD42_INDLEGERRFASE", "Componente con fase non valida",
         Design{}.byDefault(0)},
        {kFrame, "CBO_FASECOMPFANT", "PD42_INDFASEFANT", "Fase componente SL fantasma",
         Design{}.byDefault(0)},
    };
    page.valueLists = {
        timeUnits("CBO_UMSETUP"),
        timeUnits("CBO_UMLAV"),
        timeUnits("CBO_UMCODA"),
        timeUnits("CBO_UMATTESA"),
        {"CBO_FASESCARICO", {{"Prima fase ciclo", code(0)}, {"Ultima fase ciclo", code(1)}}},
        {"CBO_COMPERRFASE",
         {{"Eliminazione legame", code(0)},
          {"Associazione a prima fase ciclo", code(1)},
          {"Associazione a ultima fase ciclo", code(2)}}},
        {"CBO_FASECOMPFANT",
         {{"Fase fantasma", code(0)}, {"Fase fantasma -> fase componente", code(1)}}},
    };
    page.codeFields = {
        {"TXT_QUALSETUP", CodeKind::Qualification, 0, {}, "LBL_DESCRSETUP"},
        {"TXT_QUALLAV", CodeKind::Qualification, 0, {}, "LBL_DESCRLAV"},
    };
    return page;
}

}  // namespace duza_zovrena::pages
