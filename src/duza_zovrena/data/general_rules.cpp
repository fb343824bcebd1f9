#include "duza_zovrena/data/general_rules.h"

#include <cstdint>

#include "krl/trap/trap.h"
#include "krl/variant/variant.h"

namespace duza_zovrena::data {

namespace {

constexpr int kExclamation = 48;
constexpr const char* kCrLf = "\r\n";

const std::string kMsg34881 = std::string("La combinazione IMPEGNO alla lista di prelievo e ") +
                              "TRASFERIMENTO MATERIALI all'ordine di produzione " +
                              "non è ammessa dai processi produttivi";
const std::string kMsg40239 =
    std::string("Non può essere generato un ordine nello stato 'Lanciato'") + kCrLf +
    "se l'impegno è demandato alla lista di prelievo";
const std::string kMsg20362 = "Dep. prelievo componenti: indicare almeno una scelta.";
const std::string kMsg20372 = "Dep. versamento assiemi: indicare almeno una scelta.";
const std::string kMsg9636 = "Campo obbligatorio mancante o dati inseriti non validi!";
const std::string kMsg35027 = std::string("La gestione contemporanea dei modelli distinta base") +
                              kCrLf + "e della distinta base aperta non è ammessa";
const std::string kMsg69907 =
    std::string("La gestione contemporanea dei lotti") + kCrLf +
    "e del trasferimento materiali sulle lavorazioni esterne non è ammessa";
const std::string kMsg69908 = std::string("La gestione contemporanea della tracciabilità MP") +
                              kCrLf + "e dell'eccedenza lista trasferimento non è ammessa";

constexpr std::string_view kGroupIndGes = "GRP_PRG_INDGES";
constexpr std::string_view kItemIndGes = "ITM_PRG_INDGES";
constexpr std::string_view kGroupLavInt = "GRP_PRG_LAVINT";
constexpr std::string_view kItemLavIntInd = "ITM_PRG_LAVINTIND";
constexpr std::string_view kItemLavIntDoc = "ITM_PRG_LAVINTDOC";

}  // namespace

double GeneralSaveRules::number(const char* column) {
    return krl::numericValue(context_.generalRecordset()[column].value());
}

void GeneralSaveRules::setInteger(const char* column, int value) {
    context_.generalRecordset()[column].setValue(krl::Variant(static_cast<std::int16_t>(value)));
}

void GeneralSaveRules::refuse(const std::string& text, long messageId, std::string_view group,
                              std::string_view item) {
    context_.showMessage(text, messageId, kExclamation);
    context_.selectSideBarItem(group, item);
}

void GeneralSaveRules::beforeUpdate(bool& cancel) {
    auto onError = [this](std::string_view routine, const krl::VbError& error) {
        return context_.errorRoutine(routine, error);
    };
    // Refusing ends the handler: later rules do not run, repairs already made stay in the record.
    auto refuseAndEnd = [&](const std::string& text, long messageId, std::string_view group,
                            std::string_view item) {
        context_.showMessage(text, messageId, kExclamation);
        cancel = true;
        context_.selectSideBarItem(group, item);
        krl::trap::exitRoutine();
    };
    krl::trap::run(
        "FME_PARAMETRI_BeforeUpdate",
        {
            [&] {
                if (!controllaCheckImpegnoScarico()) {
                    cancel = true;
                    krl::trap::exitRoutine();
                }
            },
            [&] {
                if (!controllaCampiObbligatori()) {
                    cancel = true;
                    krl::trap::exitRoutine();
                }
            },
            [&] {
                CompanyOptions options = context_.companyOptions();
                if (!options.bothOn()) {
                    if (number("PD42_INDLIVVARDISBA") != 0) {
                        setInteger("PD42_INDLIVVARDISBA", 0);
                    }
                } else {
                    if (number("PD42_FLGMODORDLAV") != 1) {
                        setInteger("PD42_FLGMODORDLAV", 1);
                    }
                    if (number("PD42_FLGMODORDCLP") != 1) {
                        setInteger("PD42_FLGMODORDCLP", 1);
                    }
                }
            },
            [&] {
                if (number("PD42_FLGMODORDLAV") == 0) {
                    setInteger("PD42_INDINTORDLAV", 0);
                } else if (!context_.companyOptions().bothOn() &&
                           number("PD42_INDINTORDLAV") == 2) {
                    setInteger("PD42_INDINTORDLAV", 1);
                }
            },
            [&] {
                if (number("PD42_FLGGESCICLI") == 0) {
                    setInteger("PD42_INDLEADTIME", 2);
                }
            },
            [&] {
                if (number("PD42_FLGMODELLODB") == 1 && number("PD42_INDGESDISBA") == 1) {
                    refuseAndEnd(kMsg35027, 35027, kGroupIndGes, kItemIndGes);
                }
            },
            [&] {
                if (number("PD42_FLGGESTLOTTI") == 1 && number("PD42_FLGSCAGENLISPCL") == 1) {
                    refuseAndEnd(kMsg69907, 69907, "GRP_PRG_LAVEST", "ITM_PRG_LAVESTIND");
                }
            },
            [&] {
                if (number("PD42_FLGTRACLOTMP") == 1 && number("PD42_FLGECCEDLOTLISTRAS") == 1) {
                    refuseAndEnd(kMsg69908, 69908, kGroupIndGes, kItemIndGes);
                }
            },
            [&] {
                if (number("PD42_INDMOVSLINT") == 0) {
                    setInteger("PD42_INDGENSEMLAV", 0);
                }
            },
            [&] {
                if (number("PD42_INDCARSFRIDOCL") == 0) {
                    context_.generalRecordset()["PD42_CARSFRIDOCL_MG3G"].setValue(
                        krl::Variant::null());
                }
            },
        },
        onError);
}

bool GeneralSaveRules::controllaCheckImpegnoScarico() {
    bool result = false;
    krl::trap::run(
        "ControllaCheckImpegnoScarico",
        {
            [&] {
                if (number("PD42_FLGIMPGENLISP") == 1 && number("PD42_FLGSCAGENORD") == 1) {
                    refuse(kMsg34881, 34881, kGroupLavInt, kItemLavIntInd);
                    krl::trap::exitRoutine();
                }
            },
            [&] {
                if ((number("PD42_FLGIMPGENLISP") == 1 || number("PD42_FLGGENTRASFCL") == 1) &&
                    number("PD42_FLGSTATI") == 1 && number("PD42_INDSTATO") == 2) {
                    context_.showMessage(kMsg40239, 40239, kExclamation);
                    context_.selectSideBarItem(kGroupLavInt, number("PD42_FLGGENTRASFCL") == 1
                                                                 ? kItemLavIntDoc
                                                                 : kItemLavIntInd);
                    krl::trap::exitRoutine();
                }
            },
            [&] {
                double picking = number("PD42_FLGDEPCLEGAME") + number("PD42_FLGDEPCREP") +
                                 number("PD42_FLGDEPCCLP") + number("PD42_FLGDEPCPRELART") +
                                 number("PD42_FLGDEPCPIANART");
                if (picking == 0) {
                    refuse(kMsg20362, 20362, kGroupLavInt, kItemLavIntInd);
                    context_.setFocus("CTLPD_PRG_LAVINTIND", "CBX_FLGDEPCLEGAME");
                    krl::trap::exitRoutine();
                }
            },
            [&] {
                double receipt = number("PD42_FLGDEPARIGAORD") + number("PD42_FLGDEPAVERSART") +
                                 number("PD42_FLGDEPAPIANART");
                if (receipt == 0) {
                    refuse(kMsg20372, 20372, kGroupLavInt, kItemLavIntInd);
                    context_.setFocus("CTLPD_PRG_LAVINTIND", "CBX_FLGDEPAVERSART");
                    krl::trap::exitRoutine();
                }
            },
            [&] { result = true; },
        },
        [this](std::string_view routine, const krl::VbError& error) {
            return context_.errorRoutine(routine, error);
        });
    return result;
}

bool GeneralSaveRules::controllaCampiObbligatori() {
    bool result = false;
    auto missing = [&](std::string_view group, std::string_view item, std::string_view page,
                       std::string_view control) {
        refuse(kMsg9636, 9636, group, item);
        context_.setFocus(page, control);
        krl::trap::exitRoutine();
    };
    krl::trap::run(
        "ControllaCampiObbligatori",
        {
            [&] {
                if (number("PD42_INDSEQINTLEGDB") != 0 && number("PD42_STEPSEQINTLEGDB") == 0) {
                    missing(kGroupIndGes, kItemIndGes, "CTLPD_PRG_INDGES", "TXT_STEPINSLEGDB");
                }
            },
            [&] {
                if (number("PD42_STEPNUMLEGDB") == 0) {
                    missing(kGroupIndGes, kItemIndGes, "CTLPD_PRG_INDGES", "TXT_STEPLEGDB");
                }
            },
            [&] {
                if (number("PD42_INDLIVESP") == 3 && number("PD42_LIVELLOESP") == 0) {
                    missing("GRP_PRG_SCADIBA", "ITM_PRG_SCADIBAIND", "CTLPD_PRG_SCADIBAIND",
                            "TXT_LIVESP");
                }
            },
            [&] { result = true; },
        },
        [this](std::string_view routine, const krl::VbError& error) {
            return context_.errorRoutine(routine, error);
        });
    return result;
}

}  // namespace duza_zovrena::data
