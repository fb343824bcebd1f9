#include "duza_zovrena/pages/ctlpd_prd_dclie.h"

#include <array>

#include "krl/ado/ado.h"

namespace duza_zovrena::pages {

namespace kc = krl::controls;

namespace {

// Tab order.
constexpr LinkedField kDclieFields[] = {
    {"WLFrame1", "TXT_CARINT_DOC", "PD88_CARREP_MG3G", "Carico reparti", "LBL_DESCARINT_DOC"},
    {"WLFrame1", "TXT_SCARINT_DOC", "PD88_SCAREP_MG3G", "", "LBL_DESSCARINT_DOC"},
    {"WLFrame1", "TXT_CARPROD_DOC", "PD88_CARPROD_MG3G", "Carico prod.", "LBL_DESCARPROD_DOC"},
    {"WLFrame1", "TXT_SCARPROD_DOC", "PD88_SCARPROD_MG3G", "Scarico prod.", "LBL_DESSCARPROD_DOC"},
    {"WLFrame1", "TXT_INTAVANZ_DOC", "PD88_AVANZ_MG3G", "", "LBL_DESINTAVANZ_DOC"},
    {"WLFrame1", "TXT_CARSFRIDO_DOC", "PD88_CARRECUP_MG3G", "Carico art.recupero",
     "LBL_DESCARSFRIDO_DOC"},
    {"WLFrame1", "TXT_CARMACERO_DOC", "PD88_CARSCARTO_MG3G", "Carico scarto",
     "LBL_DESCARMACERO_DOC"},
    {"WLFrame1", "TXT_SCASCARTO", "PD88_SCARSCARTO_MG3G", "Scarico scarto", "LBL_DESSCASCARTO"},
    {"WLFrame1", "TXT_DEPSCARTO_DOC", "PD88_DEPSCARTO_MG58", "Dep. carico scarto",
     "LBL_DESDEPSCARTO_DOC"},
    {"WLFrame1", "TXT_IMPLOTTI_I", "PD88_IMPLOTREP_MG3G", "Impegno lotti eccedenti",
     "LBL_DESIMPLOTTI_I"},
    {"WLFrame1", "TXT_CARDEPTRANS_DOC", "PD88_CARDEPTRANS_MG3G", "Carico dep.transito",
     "LBL_DESCARDEPTRANS_DOC"},
    {"WLFrame1", "TXT_SCARDEPTRANS_DOC", "PD88_SCADEPTRANS_MG3G", "Scarico dep.transito",
     "LBL_DESSCARDEPTRANS_DOC"},
    {"wlFrame3", "TXT_OFORNCL_DOC", "PD88_ORDFORCL_MG3G", "Ordine forn. c/lav.",
     "LBL_DESOFORNCL_DOC"},
    {"wlFrame3", "TXT_DDTCLINV_DOC", "PD88_DDTCLINV_MG3G", "DDT invio a c/lav.",
     "LBL_DESDDTCLINV_DOC"},
    {"wlFrame3", "TXT_DDTCLCAR_DOC", "PD88_DDTCLCAR_MG3G", "DDT carico a c/lav.",
     "LBL_DESDDTCLCAR_DOC"},
    {"wlFrame3", "TXT_VERSCL_DOC", "PD88_VERSCL_MG3G", "Vers. da c/lav.", "LBL_DESVERSCL_DOC"},
    {"wlFrame3", "TXT_CARRESOCL_DOC", "PD88_CARRESOCL_MG3G", "Carico reso c/lav.",
     "LBL_DESCARRESOCL_DOC"},
    {"wlFrame3", "TXT_SCARRESOCL_DOC", "PD88_SCARRESOCL_MG3G", "Scarico reso c/lav.",
     "LBL_DESSCARRESOCL_DOC"},
    {"wlFrame3", "TXT_VERSCLTRASF_DOC", "PD88_VERCLTRASF_MG3G", "Vers.trasf.terz.",
     "LBL_DESVERSCLTRASF_DOC"},
    {"wlFrame3", "TXT_CARCLTRASF_DOC", "PD88_CARCLTRASF_MG3G", "Carico trasf.terz.",
     "LBL_DESCARCLTRASF_DOC"},
    {"wlFrame3", "TXT_CARSFRIDOCL", "PD88_CARSFRIDOCL_MG3G", "Carico art.recupero c/lavoro",
     "LBL_DESCARSFRIDOCL"},
};

// The captions that change with the document kind stand in labels of their own, before their
// fields.
constexpr std::string_view kScarintLabel = "LBL_SCARINT_DOC";
constexpr std::string_view kIntavanzLabel = "LBL_INTAVANZ_DOC";

std::vector<ControlDef> dclieControls() {
    std::vector<ControlDef> controls;
    for (const ControlDef& control : linkedControls(kDclieFields)) {
        if (control.name == "TXT_SCARINT_DOC") {
            controls.push_back({control.frame, kScarintLabel, "", "Scarico rep./terz."});
        } else if (control.name == "TXT_INTAVANZ_DOC") {
            controls.push_back({control.frame, kIntavanzLabel, "", "Avanz. prod."});
        }
        controls.push_back(control);
    }
    return controls;
}

CodeFieldDef byKind(std::string_view control, std::vector<DocumentKindRule> rules) {
    CodeFieldDef field = linkedDocument(control, rules.back().kinds.front().type,
                                        rules.back().kinds.front().subtype);
    field.byDocumentKind = std::move(rules);
    return field;
}

std::vector<CodeFieldDef> dclieCodeFields() {
    std::vector<CodeFieldDef> fields = {
        linkedDocument("TXT_CARINT_DOC", 24, 10),
        byKind(
            "TXT_SCARINT_DOC",
            {{"251", {{25, 6}}}, {"2420", {{24, 2}}}, {"103", {{24, 2}}}, {"", {{24, 2}}, false}}),
        linkedDocument("TXT_CARPROD_DOC", 24, 3),
        linkedDocument("TXT_SCARPROD_DOC", 24, 5),
        byKind("TXT_INTAVANZ_DOC",
               {{"251", {{25, 5}}}, {"2420", {{24, 3}, {24, 4}}}, {"", {{24, 3}, {24, 4}}, false}}),
        linkedDocument("TXT_CARSFRIDO_DOC", 24, 7),
        byKind("TXT_CARMACERO_DOC", {{"", {{24, 9}, {25, 11}}}}),
        linkedDocument("TXT_SCASCARTO", 24, 8),
        linkedDocument("TXT_IMPLOTTI_I", 24, 15),
        linkedDocument("TXT_CARDEPTRANS_DOC", 24, 10),
        linkedDocument("TXT_SCARDEPTRANS_DOC", 24, 2),
        linkedDocument("TXT_OFORNCL_DOC", 25, 1),
        linkedDocument("TXT_DDTCLINV_DOC", 25, 13),
        linkedDocument("TXT_DDTCLCAR_DOC", 25, 3),
        linkedDocument("TXT_VERSCL_DOC", 25, 5),
        linkedDocument("TXT_CARRESOCL_DOC", 25, 7),
        linkedDocument("TXT_SCARRESOCL_DOC", 25, 8),
        linkedDocument("TXT_VERSCLTRASF_DOC", 25, 14),
        linkedDocument("TXT_CARCLTRASF_DOC", 25, 15),
        // Listed, never checked: any code typed stays.
        byKind("TXT_CARSFRIDOCL", {{"", {{25, 20}}, false}}),
    };
    fields[4].validateRoutine = "TXT_INTAVANZ_DOC_Validate";
    fields[4].lookupSubtype = 4;         // the object is asked for progress documents (24/4)
    fields[6].asksLookupObject = false;  // the scrap load lists its two kinds by itself
    CodeFieldDef deposit;
    deposit.control = "TXT_DEPSCARTO_DOC";
    deposit.kind = CodeKind::Deposit;
    fields.push_back(deposit);
    for (CodeFieldDef& field : fields) {
        for (const LinkedField& linked : kDclieFields) {
            if (linked.control == field.control) {
                field.descriptionLabel = linked.description;
            }
        }
    }
    return fields;
}

// Enabling by document kind: on, off, or left as it is.
enum class Set { On, Off, Keep };

struct KindEnabling {
    std::string_view control;
    std::array<Set, 3> byKey;  // keys "2420", "251", "103"
};

constexpr std::string_view kKeys[] = {"2420", "251", "103"};

constexpr Set On = Set::On;
constexpr Set Off = Set::Off;
constexpr KindEnabling kEnabling[] = {
    {"TXT_CARINT_DOC", {On, Off, On}},       {"TXT_SCARINT_DOC", {On, On, On}},
    {"TXT_CARPROD_DOC", {On, Off, Off}},     {"TXT_SCARPROD_DOC", {On, Off, Off}},
    {"TXT_INTAVANZ_DOC", {On, On, Off}},     {"TXT_CARMACERO_DOC", {On, On, Off}},
    {"TXT_DEPSCARTO_DOC", {On, On, Off}},    {"TXT_CARSFRIDO_DOC", {On, Off, Off}},
    {"TXT_DDTCLINV_DOC", {On, On, On}},      {"TXT_DDTCLCAR_DOC", {On, On, On}},
    {"TXT_VERSCL_DOC", {Off, On, Off}},      {"TXT_CARRESOCL_DOC", {Off, On, Off}},
    {"TXT_SCARRESOCL_DOC", {Off, On, Off}},  {"TXT_VERSCLTRASF_DOC", {Off, On, Off}},
    {"TXT_CARCLTRASF_DOC", {Off, On, Off}},  {"TXT_SCASCARTO", {On, Off, Off}},
    {"TXT_CARDEPTRANS_DOC", {Off, Off, On}}, {"TXT_SCARDEPTRANS_DOC", {Off, Off, On}},
    {"TXT_IMPLOTTI_I", {Off, Off, On}},
};

}  // namespace

PageDeclaration prdDcliePage() {
    PageDeclaration page =
        linkedPage(CTLPD_PRD_DCLIE::ClassName, "ITM_PRD_DCLIE", "Doc. collegati lav. int./est.",
                   "Parametri documenti - doc. coll. lav. int./est.");
    page.members.carSfridoCl = true;
    page.firstControl = "TXT_CARINT_DOC";
    page.frames = {{"WLFrame1", "", "", 15}, {"wlFrame3", "", "", 15}};
    page.controls = dclieControls();
    page.codeFields = dclieCodeFields();
    page.make = [](const PageDeclaration& declaration) -> std::shared_ptr<ParameterPage> {
        return std::make_shared<CTLPD_PRD_DCLIE>(declaration);
    };
    return page;
}

void CTLPD_PRD_DCLIE::setEnableCarSfridoCl(bool value) {
    krl::trap::ignoring([&] { control<kc::EditM>("TXT_CARSFRIDOCL")->setEnabled(value); });
}

void CTLPD_PRD_DCLIE::EnableControlByDocument() {
    DocumentPage::EnableControlByDocument();
    krl::trap::run(
        "EnableControlByDocument",
        {
            [this] {
                const std::string key = krl::rtrim(tipoSottotipoDocumento());
                const auto* found = std::find(std::begin(kKeys), std::end(kKeys), key);
                if (found == std::end(kKeys)) {
                    return;
                }
                const auto column = static_cast<std::size_t>(found - std::begin(kKeys));
                for (const KindEnabling& row : kEnabling) {
                    if (row.byKey.at(column) != Set::Keep) {
                        control<kc::Control>(row.control)
                            ->setEnabled(row.byKey.at(column) == Set::On);
                    }
                }
                const bool subcontract = key == "251";
                control<kc::Label>(kScarintLabel)
                    ->setCaption(subcontract ? TranslateMessage("Scarico da c/lavoro", 50794)
                                             : TranslateMessage("Scarico reparti", 50835));
                control<kc::Label>(kIntavanzLabel)
                    ->setCaption(subcontract ? TranslateMessage("Avanzamento c/lav", 8471)
                                             : TranslateMessage("Avanzamento prod.", 8482));
            },
            [this] { releaseOrderLines(); },
        },
        errorRoutine());
}

}  // namespace duza_zovrena::pages
