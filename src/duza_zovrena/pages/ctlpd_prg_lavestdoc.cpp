#include "duza_zovrena/pages/ctlpd_prg_lavestdoc.h"

#include "duza_zovrena/pages/page_members.h"
#include "duza_zovrena/pages/parameter_page.h"

namespace duza_zovrena::pages {

namespace kc = krl::controls;

namespace {

// Tab order: each code field, then its description label.
std::vector<ControlDef> controls() {
    return {
        {"WLFrame1", "TXT_OFORNCL", "PD42_ORDFORCL_MG3G", "Ordine forn. c/lavoro"},
        {"WLFrame1", "LBL_DESOFORNCL", "", ""},
        {"WLFrame1", "TXT_DDTCLINV", "PD42_DDTCLINV_MG3G", "DDT invio a c/lavoro"},
        {"WLFrame1", "LBL_DESDDTCLINV", "", ""},
        {"WLFrame1", "TXT_DDTCLCAR", "PD42_DDTCLCAR_MG3G", "DDT carico a c/lavoro"},
        {"WLFrame1", "LBL_DESDDTCLCAR", "", ""},
        {"WLFrame1", "TXT_VERSCL", "PD42_VERSCL_MG3G", "Versamento da c/lav."},
        {"WLFrame1", "LBL_DESVERSCL", "", ""},
        {"WLFrame1", "TXT_SCACL", "PD42_SCACLDP_MG3G", "Scarico da c/lavoro"},
        {"WLFrame1", "LBL_DESSCACL", "", ""},
        {"WLFrame1", "TXT_AVANZCL", "PD42_AVANZCL_MG3G", "Avanzamento da c/lav."},
        {"WLFrame1", "LBL_DESAVANZCL", "", ""},
        {"WLFrame1", "TXT_CARDEPCL", "PD42_CARDEPCL_MG3G", "Carico dep. c/lavoro"},
        {"WLFrame1", "LBL_DESCARDEPCL", "", ""},
        {"WLFrame1", "TXT_CARRESOCL", "PD42_CARRESOCL_MG3G", "Carico reso c/lavoro"},
        {"WLFrame1", "LBL_DESCARRESOCL", "", ""},
        {"WLFrame1", "TXT_SCARRESOCL", "PD42_SCARRESOCL_MG3G", "Scarico reso c/lavoro"},
        {"WLFrame1", "LBL_DESSCARRESOCL", "", ""},
        {"WLFrame1", "TXT_VERSCLTRASF", "PD42_VERCLTRASF_MG3G", "Vers. c/lav. trasf.terz."},
        {"WLFrame1", "LBL_DESVERSCLTRASF", "", ""},
        {"WLFrame1", "TXT_CARCLTRASF", "PD42_CARCLTRASF_MG3G", "Carico trasf. terz."},
        {"WLFrame1", "LBL_DESCARCLTRASF", "", ""},
        {"WLFrame1", "TXT_CARMATIMB", "PD42_CARMATIMB_MG3G", "Carico mat. imballo"},
        {"WLFrame1", "LBL_DESCARMATIMB", "", ""},
        {"WLFrame1", "TXT_DISIMPLOTTI_E", "PD42_IMPCL_MG3G", "Disimpegno lotti"},
        {"WLFrame1", "LBL_DESDISIMPLOTTI_E", "", ""},
        {"WLFrame1", "TXT_CARDEPTRANS", "PD42_CARDEPTRANS_MG3G", "Carico dep. transito"},
        {"WLFrame1", "LBL_DESCARDEPTRANS", "", ""},
        {"WLFrame1", "TXT_SCARDEPTRANS", "PD42_SCADEPTRANS_MG3G", "Scarico dep. transito"},
        {"WLFrame1", "LBL_DESSCARDEPTRANS", "", ""},
        {"WLFrame1", "TXT_LISTAPRELEST", "PD42_LISTAPRELEST_MG3G", "Lista prelievo"},
        {"WLFrame1", "LBL_DESLISTAPRELEST", "", ""},
        {"WLFrame1", "TXT_CARSFRIDOCL", "PD42_CARSFRIDOCL_MG3G", "Carico art.recupero c/lavoro"},
        {"WLFrame1", "LBL_DESCARSFRIDOCL", "", ""},
        {"WLF_SCARTO", "TXT_CARSCA_OCL", "PD42_CARSCARTOCL_MG3G", "Carico scarto"},
        {"WLF_SCARTO", "LBL_DESCARSCA_OCL", "", ""},
        {"WLF_SCARTO", "TXT_DEPCARSCA_OCL", "PD42_DEPSCARTOOCL_MG58", "Dep. carico scarto"},
        {"WLF_SCARTO", "LBL_DESDEPCARSCA_OCL", "", ""},
        {"WLF_SCARTO", "TXT_SCAMACEROCL", "PD42_SCAMACEROCL_MG3G", "Scarico scarto"},
        {"WLF_SCARTO", "LBL_DESSCAMACEROCL", "", ""},
    };
}

constexpr CodeKind Doc = CodeKind::Document;

// The subcontracting fields (type 25) report errors of their check under their own name; the
// transit and picking-list fields under the shared check's.
std::vector<CodeFieldDef> codeFields() {
    return {
        {"TXT_OFORNCL", Doc, 25, {1}, "LBL_DESOFORNCL", "TXT_OFORNCL_Validate"},
        {"TXT_DDTCLINV", Doc, 25, {13}, "LBL_DESDDTCLINV", "TXT_DDTCLINV_Validate"},
        {"TXT_DDTCLCAR", Doc, 25, {3}, "LBL_DESDDTCLCAR", "TXT_DDTCLCAR_Validate"},
        {"TXT_VERSCL", Doc, 25, {5}, "LBL_DESVERSCL", "TXT_VERSCL_Validate"},
        {"TXT_SCACL", Doc, 25, {6}, "LBL_DESSCACL", "TXT_SCACL_Validate"},
        {"TXT_AVANZCL", Doc, 25, {5}, "LBL_DESAVANZCL", "TXT_AVANZCL_Validate"},
        {"TXT_CARDEPCL", Doc, 25, {3}, "LBL_DESCARDEPCL", "TXT_CARDEPCL_Validate"},
        {"TXT_CARRESOCL", Doc, 25, {7}, "LBL_DESCARRESOCL", "TXT_CARRESOCL_Validate"},
        {"TXT_SCARRESOCL", Doc, 25, {8}, "LBL_DESSCARRESOCL", "TXT_SCARRESOCL_Validate"},
        {"TXT_VERSCLTRASF", Doc, 25, {14}, "LBL_DESVERSCLTRASF", "TXT_VERSCLTRASF_Validate"},
        {"TXT_CARCLTRASF", Doc, 25, {15}, "LBL_DESCARCLTRASF", "TXT_CARCLTRASF_Validate"},
        {"TXT_CARMATIMB", Doc, 25, {16}, "LBL_DESCARMATIMB", "TXT_CARMATIMB_Validate"},
        {"TXT_DISIMPLOTTI_E", Doc, 25, {12}, "LBL_DESDISIMPLOTTI_E", "TXT_DISIMPLOTTI_E_Validate"},
        {"TXT_CARDEPTRANS", Doc, 24, {10}, "LBL_DESCARDEPTRANS"},
        {"TXT_SCARDEPTRANS", Doc, 24, {2}, "LBL_DESSCARDEPTRANS"},
        {"TXT_LISTAPRELEST", Doc, 14, {2}, "LBL_DESLISTAPRELEST"},
        // The scrap-recovery load is only decoded: whatever is typed is kept.
        {"TXT_CARSFRIDOCL", CodeKind::UncheckedDocument, 25, {20}, "LBL_DESCARSFRIDOCL"},
        {"TXT_CARSCA_OCL", Doc, 25, {11}, "LBL_DESCARSCA_OCL", "TXT_CARSCA_OCL_Validate"},
        {"TXT_DEPCARSCA_OCL", CodeKind::Deposit, 0, {}, "LBL_DESDEPCARSCA_OCL"},
        {"TXT_SCAMACEROCL", Doc, 25, {10}, "LBL_DESSCAMACEROCL", "TXT_SCAMACEROCL_Validate"},
    };
}

// The window says, each time it shows the page, whether the scrap-recovery load is in use.
class LavEstDocPage : public ParameterPage, public ScrapLoadSwitch {
  public:
    using ParameterPage::ParameterPage;

    void setEnableCarSfridoCl(bool value) override {
        krl::trap::ignoring([&] { control<kc::EditM>("TXT_CARSFRIDOCL")->setEnabled(value); });
    }
};

}  // namespace

PageDeclaration lavEstDocPage() {
    PageDeclaration page;
    page.className = "CTLPD_PRG_LAVESTDOC";
    page.group = "GRP_PRG_LAVEST";
    page.groupCaption = "Lavorazioni esterne";
    page.item = "ITM_PRG_LAVESTDOC";
    page.itemCaption = "Documenti";
    page.title = "Parametri generali - lav. est. - documenti";
    page.members.connection = true;
    page.members.decodeLookup = true;
    page.members.carSfridoCl = true;
    page.firstControl = "TXT_OFORNCL";
    page.registeredTypes = {"TXT_EDITM"};
    page.frames = {{"WLFrame1", "", "", 7}, {"WLF_SCARTO", "Scarto", "", 15}};
    page.controls = controls();
    page.codeFields = codeFields();
    page.make = [](const PageDeclaration& declaration) {
        return std::make_shared<LavEstDocPage>(declaration);
    };
    return page;
}

}  // namespace duza_zovrena::pages
