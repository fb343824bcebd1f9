#include "duza_zovrena/pages/ctlpd_prg_grtagcol.h"

namespace duza_zovrena::pages {

PageDeclaration grTagColPage() {
    PageDeclaration page;
    page.className = "CTLPD_PRG_GRTAGCOL";
    page.group = "GRP_PRG_GRTAGCOL";
    page.groupCaption = "Griglia taglie e colori";
    page.item = "ITM_PRG_GRTAGCOL";
    page.itemCaption = "Griglia taglie e colori";
    page.title = "Parametri generali - griglia taglie e colori";
    page.firstControl = "CBX_GRIGLIATC";
    page.registeredTypes = {"KRL_CHECKBOX", "KRL_COMBO"};
    page.frames = {{"WLFrame3", "", "", 15}};
    page.controls = {
        {"WLFrame3", "CBX_GRIGLIATC", "PD42_FLGGRIGLIA", "", Design{}.byDefault(0)},
        // The blanks around the words are the label's own.
        {"WLFrame3", "CMB_LIVVARLOCALDIBA", "PD42_INDLIVVARDISBA", " Localizzazione distinta ",
         Design{}.byDefault(0)},
    };
    page.valueLists = {
        {"CMB_LIVVARLOCALDIBA",
         {{"Relativa alla variante completa", krl::Variant(std::int16_t{0})},
          {"Relativa alla subvariante non presente in griglia", krl::Variant(std::int16_t{1})}}},
    };
    return page;
}

}  // namespace duza_zovrena::pages
