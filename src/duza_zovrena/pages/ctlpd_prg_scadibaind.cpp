#include "duza_zovrena/pages/ctlpd_prg_scadibaind.h"

namespace duza_zovrena::pages {

PageDeclaration scaDibaIndPage() {
    PageDeclaration page;
    page.className = "CTLPD_PRG_SCADIBAIND";
    page.group = "GRP_PRG_SCADIBA";
    page.groupCaption = "Scarico distinta base";
    page.item = "ITM_PRG_SCADIBAIND";
    page.itemCaption = "Indicatori";
    page.title = "Parametri generali - scar. di.ba. - indicatori";
    page.firstControl = "CHK_CARAUTOSL";
    page.frames = {{"WLFrame18", "", "", 15}};
    // Tab order: the explosion level first, the check box last.
    page.controls = {
        {"WLFrame18", "CMB_LIVESP", "PD42_INDLIVESP", "Livello di esplosione"},
        {"WLFrame18", "TXT_LIVESP", "PD42_LIVELLOESP", "", Design{}.required()},
        {"WLFrame18", "CMB_DOCCARICOPF", "PD42_INDGENDOCCARPF",
         "Generazione documento di carico PF"},
        {"WLFrame18", "CHK_CARAUTOSL", "PD42_FLGCARAUTOSL", ""},
    };
    page.valueLists = {
        {"CMB_LIVESP",
         {{"Tutti i livelli", code(0)},
          {"Livello distinta", code(1)},
          {"Solo ultimo livello", code(2)},
          {"Fino a livello", code(3)}}},
        {"CMB_DOCCARICOPF", {{"1 testata 1 riga", code(0)}, {"1 testata n righe", code(1)}}},
    };
    // The level is typed, and required, only down to a chosen level; any other choice wipes it.
    PatternRule level{"CMB_LIVESP",
                      RuleCondition::equals(3),
                      {"TXT_LIVESP"},
                      PatternRule::Follow::EnabledAndMandatory};
    level.emptyWhenOff = true;
    level.routine = "CMB_LIVESP_ChangeRow";
    page.patternRules = {level};
    return page;
}

}  // namespace duza_zovrena::pages
