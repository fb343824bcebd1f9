#include "duza_zovrena/data/general_rules.h"

#include <cstdint>

#include "krl/variant/variant.h"

namespace duza_zovrena::data {

namespace {

constexpr int kExclamation = 48;

constexpr std::string_view kMsg34881 =
    "La combinazione IMPEGNO alla lista di prelievo e TRASFERIMENTO MATERIALI all'ordine di "
    "produzione non è ammessa dai processi produttivi";
constexpr std::string_view kMsg40239 =
    "Non può essere generato un ordine nello stato 'Lanciato'\r\n"
    "se l'impegno è demandato alla lista di prelievo";
constexpr std::string_view kMsg20362 = "Dep. prelievo componenti: indicare almeno una scelta.";
constexpr std::string_view kMsg20372 = "Dep. versamento assiemi: indicare almeno una scelta.";
constexpr std::string_view kMsg9636 = "Campo obbligatorio mancante o dati inseriti non validi!";
constexpr std::string_view kMsg35027 =
    "La gestione contemporanea dei modelli distinta base\r\n"
    "e della distinta base aperta non è ammessa";
constexpr std::string_view kMsg69907 =
    "La gestione contemporanea dei lotti\r\n"
    "e del trasferimento materiali sulle lavorazioni esterne "
    "non è ammessa";
constexpr std::string_view kMsg69908 =
    "La gestione contemporanea della tracciabilità MP\r\n"
    "e dell'eccedenza lista trasferimento non è ammessa";

constexpr std::string_view kGroupIndGes = "GRP_PRG_INDGES";
constexpr std::string_view kItemIndGes = "ITM_PRG_INDGES";
constexpr std::string_view kGroupLavInt = "GRP_PRG_LAVINT";
constexpr std::string_view kItemLavIntInd = "ITM_PRG_LAVINTIND";
constexpr std::string_view kItemLavIntDoc = "ITM_PRG_LAVINTDOC";

// Commitment to the picking list, material transfer and the order deposits.
const SaveRoutine& commitmentAndDeposits() {
    static const SaveRoutine routine{
        "ControllaCheckImpegnoScarico",
        {
            {[](const SaveRow& row) {
                 return row["PD42_FLGIMPGENLISP"] == 1 && row["PD42_FLGSCAGENORD"] == 1;
             },
             34881, kMsg34881, kGroupLavInt, kItemLavIntInd},
            // Launched lines and a picking list: the page of whichever asks for the list.
            {[](const SaveRow& row) {
                 return row["PD42_FLGGENTRASFCL"] == 1 && row["PD42_FLGSTATI"] == 1 &&
                        row["PD42_INDSTATO"] == 2;
             },
             40239, kMsg40239, kGroupLavInt, kItemLavIntDoc},
            {[](const SaveRow& row) {
                 return row["PD42_FLGIMPGENLISP"] == 1 && row["PD42_FLGSTATI"] == 1 &&
                        row["PD42_INDSTATO"] == 2;
             },
             40239, kMsg40239, kGroupLavInt, kItemLavIntInd},
            {[](const SaveRow& row) {
                 return row["PD42_FLGDEPCLEGAME"] + row["PD42_FLGDEPCREP"] +
                            row["PD42_FLGDEPCCLP"] + row["PD42_FLGDEPCPRELART"] +
                            row["PD42_FLGDEPCPIANART"] ==
                        0;
             },
             20362, kMsg20362, kGroupLavInt, kItemLavIntInd, "CTLPD_PRG_LAVINTIND",
             "CBX_FLGDEPCLEGAME"},
            {[](const SaveRow& row) {
                 return row["PD42_FLGDEPARIGAORD"] + row["PD42_FLGDEPAVERSART"] +
                            row["PD42_FLGDEPAPIANART"] ==
                        0;
             },
             20372, kMsg20372, kGroupLavInt, kItemLavIntInd, "CTLPD_PRG_LAVINTIND",
             "CBX_FLGDEPAVERSART"},
        },
    };
    return routine;
}

const SaveRoutine& mandatoryValues() {
    static const SaveRoutine routine{
        "ControllaCampiObbligatori",
        {
            {[](const SaveRow& row) {
                 return row["PD42_INDSEQINTLEGDB"] != 0 && row["PD42_STEPSEQINTLEGDB"] == 0;
             },
             9636, kMsg9636, kGroupIndGes, kItemIndGes, "CTLPD_PRG_INDGES", "TXT_STEPINSLEGDB"},
            {[](const SaveRow& row) { return row["PD42_STEPNUMLEGDB"] == 0; }, 9636, kMsg9636,
             kGroupIndGes, kItemIndGes, "CTLPD_PRG_INDGES", "TXT_STEPLEGDB"},
            {[](const SaveRow& row) {
                 return row["PD42_INDLIVESP"] == 3 && row["PD42_LIVELLOESP"] == 0;
             },
             9636, kMsg9636, "GRP_PRG_SCADIBA", "ITM_PRG_SCADIBAIND", "CTLPD_PRG_SCADIBAIND",
             "TXT_LIVESP"},
        },
    };
    return routine;
}

SaveRule repair(std::function<void(SaveRow&)> change) {
    SaveRule rule;
    rule.repair = std::move(change);
    return rule;
}

// The repairs and refusals of the row itself, after the two checks. Repairs made before a
// refusal stay in the record.
const SaveRoutine& rowRules() {
    static const SaveRoutine routine{
        "FME_PARAMETRI_BeforeUpdate",
        {
            repair([](SaveRow& row) {
                if (!row.options().bothOn()) {
                    if (row["PD42_INDLIVVARDISBA"] != 0) {
                        row.set("PD42_INDLIVVARDISBA", 0);
                    }
                    return;
                }
                if (row["PD42_FLGMODORDLAV"] != 1) {
                    row.set("PD42_FLGMODORDLAV", 1);
                }
                if (row["PD42_FLGMODORDCLP"] != 1) {
                    row.set("PD42_FLGMODORDCLP", 1);
                }
            }),
            repair([](SaveRow& row) {
                if (row["PD42_FLGMODORDLAV"] == 0) {
                    row.set("PD42_INDINTORDLAV", 0);
                } else if (!row.options().bothOn() && row["PD42_INDINTORDLAV"] == 2) {
                    row.set("PD42_INDINTORDLAV", 1);
                }
            }),
            repair([](SaveRow& row) {
                if (row["PD42_FLGGESCICLI"] == 0) {
                    row.set("PD42_INDLEADTIME", 2);
                }
            }),
            {[](const SaveRow& row) {
                 return row["PD42_FLGMODELLODB"] == 1 && row["PD42_INDGESDISBA"] == 1;
             },
             35027, kMsg35027, kGroupIndGes, kItemIndGes},
            {[](const SaveRow& row) {
                 return row["PD42_FLGGESTLOTTI"] == 1 && row["PD42_FLGSCAGENLISPCL"] == 1;
             },
             69907, kMsg69907, "GRP_PRG_LAVEST", "ITM_PRG_LAVESTIND"},
            {[](const SaveRow& row) {
                 return row["PD42_FLGTRACLOTMP"] == 1 && row["PD42_FLGECCEDLOTLISTRAS"] == 1;
             },
             69908, kMsg69908, kGroupIndGes, kItemIndGes},
            repair([](SaveRow& row) {
                if (row["PD42_INDMOVSLINT"] == 0) {
                    row.set("PD42_INDGENSEMLAV", 0);
                }
            }),
            repair([](SaveRow& row) {
                if (row["PD42_INDCARSFRIDOCL"] == 0) {
                    row.setNull("PD42_CARSFRIDOCL_MG3G");
                }
            }),
        },
    };
    return routine;
}

}  // namespace

std::vector<const SaveRoutine*> generalSaveRoutines() {
    return {&commitmentAndDeposits(), &mandatoryValues(), &rowRules()};
}

krl::ado::Recordset& SaveRow::row() const {
    return row_ != nullptr ? *row_ : context_.generalRecordset();
}

double SaveRow::operator[](const char* column) const {
    return krl::numericValue(row()[column].value());
}

krl::Variant SaveRow::value(const char* column) const {
    return row()[column].value();
}

double SaveRow::general(const char* column) const {
    return krl::numericValue(context_.generalRecordset()[column].value());
}

void SaveRow::set(const char* column, int value) {
    row()[column].setValue(krl::Variant(static_cast<std::int16_t>(value)));
}

void SaveRow::setNull(const char* column) {
    row()[column].setValue(krl::Variant::null());
}

std::vector<krl::trap::Step> saveRuleSteps(GeneralRulesContext& context, const SaveRoutine& routine,
                                           const std::function<SaveRow()>& row, bool& refused) {
    std::vector<krl::trap::Step> steps;
    for (const SaveRule& rule : routine.rules) {
        steps.emplace_back([&context, &rule, &refused, row] {
            SaveRow current = row();
            if (rule.repair) {
                rule.repair(current);
                return;
            }
            if (!rule.refuses(current)) {
                return;
            }
            const std::string text = rule.textOf ? rule.textOf(current) : std::string(rule.text);
            if (rule.parameters) {
                context.showMessageWithParameters(text, rule.messageId, kExclamation,
                                                  rule.parameters(current));
            } else {
                context.showMessage(text, rule.messageId, kExclamation);
            }
            refused = true;
            if (!rule.item.empty()) {
                context.selectSideBarItem(rule.group, rule.item);
            }
            if (!rule.focusControl.empty()) {
                context.setFocus(rule.focusPage, rule.focusControl);
            }
            krl::trap::exitRoutine();
        });
    }
    return steps;
}

bool runSaveRoutine(GeneralRulesContext& context, const SaveRoutine& routine,
                    const std::function<SaveRow()>& row) {
    bool refused = false;
    bool completed = false;
    std::vector<krl::trap::Step> all = saveRuleSteps(context, routine, row, refused);
    all.emplace_back([&] { completed = true; });
    krl::trap::run(routine.name, all, [&context](std::string_view name, const krl::VbError& error) {
        return context.errorRoutine(name, error);
    });
    return !refused && (completed || routine.passesWhenAbandoned);
}

std::function<SaveRow()> GeneralSaveRules::generalRow() {
    return [this] { return SaveRow(context_); };
}

void GeneralSaveRules::beforeUpdate(bool& cancel) {
    std::vector<krl::trap::Step> all = {
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
    };
    bool refused = false;
    for (krl::trap::Step& step : saveRuleSteps(context_, rowRules(), generalRow(), refused)) {
        all.push_back(std::move(step));
    }
    krl::trap::run(rowRules().name, all, [this](std::string_view name, const krl::VbError& error) {
        return context_.errorRoutine(name, error);
    });
    if (refused) {
        cancel = true;
    }
}

bool GeneralSaveRules::controllaCheckImpegnoScarico() {
    return runSaveRoutine(context_, commitmentAndDeposits(), generalRow());
}

bool GeneralSaveRules::controllaCampiObbligatori() {
    return runSaveRoutine(context_, mandatoryValues(), generalRow());
}

}  // namespace duza_zovrena::data
