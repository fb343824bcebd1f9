#include "duza_zovrena/pages/ctlpd_prd_prd.h"

#include "duza_zovrena/pages/document_page.h"
#include "duza_zovrena/pages/parameter_page.h"
#include "krl/ado/ado.h"

namespace duza_zovrena::pages {

void launchedWithoutStates(ParameterPage& page) {
    krl::ado::Recordset& row = krl::require(page.recordset(), "Recordset");
    if (krl::numericValue(row["PD88_INDSTATI"].value()) != 2) {
        row["PD88_INDSTATOORD"].setValue(krl::Variant(std::int16_t{2}));
    }
}

PageDeclaration prdPrdPage() {
    PageDeclaration page;
    page.className = "CTLPD_PRD_PRD";
    page.group = "GRP_PRD_DOCUMENTI";
    page.groupCaption = "Parametri documenti";
    page.item = "ITM_PRD_PRD";
    page.itemCaption = "Priorità reperimento depositi";
    page.title = "Parametri documenti - priorità reperimento dep.";
    page.startsDisabled = true;
    page.record = PageRecord::Document;
    page.members.documentType = true;
    page.firstControl = "CBX_FLGDEPCLEGAME";
    page.registeredTypes = {"KRL_CHECKBOX"};
    page.enableControlTypes = {"KRL_CHECKBOX"};
    page.frames = {
        {"WLFrame1", "", "", 15},
        {"WLF_DEPSCARMAT", "Dep. scarico materiali", "WLFrame1"},
        {"WLF_DEPVERSASS", "Dep. versamento assiemi", "WLFrame1"},
        {"WLF_DEPPRELCOMP", "Dep. prelievo componenti", "WLFrame1"},
    };
    page.controls = {
        {"WLF_DEPSCARMAT", "CBX_FLGSCAMATREP", "PD88_FLGSCAMATREP", ""},
        {"WLF_DEPVERSASS", "CBX_FLGDEPAPIANART", "PD88_FLGDEPAPIANART", ""},
        {"WLF_DEPVERSASS", "CBX_FLGDEPAVERSART", "PD88_FLGDEPAVERSART", ""},
        {"WLF_DEPVERSASS", "CBX_FLGDEPARIGAORD", "PD88_FLGDEPARIGAORD", ""},
        {"WLF_DEPPRELCOMP", "CBX_FLGDEPCPIANART", "PD88_FLGDEPCPIANART", ""},
        {"WLF_DEPPRELCOMP", "CBX_FLGDEPCPRELART", "PD88_FLGDEPCPRELART", ""},
        {"WLF_DEPPRELCOMP", "CBX_FLGDEPCREP", "PD88_FLGDEPCREP", ""},
        {"WLF_DEPPRELCOMP", "CBX_FLGDEPCLEGAME", "PD88_FLGDEPCLEGAME", ""},
        {"WLF_DEPPRELCOMP", "CBX_FLGDEPCCLP", "PD88_FLGDEPCCLP", ""},
        {"WLF_DEPPRELCOMP", "CBX_FLGDEPCRIGAORD", "PD88_FLGDEPCRIGAORD", ""},
    };
    page.byDocument = launchedWithoutStates;
    return page;
}

}  // namespace duza_zovrena::pages
