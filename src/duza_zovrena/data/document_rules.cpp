#include "duza_zovrena/data/document_rules.h"

#include "krl/variant/variant.h"

namespace duza_zovrena::data {

namespace {

constexpr std::string_view kMsg20362 = "Dep. prelievo componenti: indicare almeno una scelta.";
constexpr std::string_view kMsg20372 = "Dep. versamento assiemi: indicare almeno una scelta.";
constexpr std::string_view kMsg34879 =
    "La combinazione dei valori impostati per impegno e/o trasferimento materiali\r\n"
    "non è congruente.";
constexpr std::string_view kMsg34881 =
    "La combinazione IMPEGNO alla lista di prelievo e \r\n"
    "TRASFERIMENTO MATERIALI all'ordine di produzione \r\n"
    "non è ammessa dai processi produttivi.";
constexpr std::string_view kMsg40239 =
    "Non può essere generato un ordine nello stato 'lanciato' se l'impegno \r\n"
    "è demandato alla lista prelievo";

std::string lotsMessage(const std::string& code) {
    return "La gestione contemporanea dei lotti\r\n"
           "e del trasferimento materiali sulle lavorazioni esterne (" +
           code + ") non è ammessa";
}

constexpr std::string_view kGroupDocuments = "GRP_PRD_DOCUMENTI";
constexpr std::string_view kItemProduction = "ITM_PRD_PRD";

// Production orders and subcontracting orders are the documents that take deposits.
bool takesDeposits(const SaveRow& row) {
    return row.documentType() == "2420" || row.documentType() == "251";
}

// Whether the picking list commits the material: the document's own choice, or the general one
// when the document follows it.
bool commitmentByList(const SaveRow& row) {
    const double own = row["PD88_INDIMPGENLISP"];
    if (own == 0) {
        return row.general("PD42_FLGIMPGENLISP") == 1;
    }
    return own == 2;
}

std::string documentCode(const SaveRow& row) {
    return row.value("PD88_CODDOC_MG36").textOrEmpty();
}

}  // namespace

DocumentSaveRules::DocumentSaveRules(DocumentRulesContext& context) : context_(context) {
    deposits_ = {
        "VerificaCombinazioneReperimentoDepositi",
        {
            {[](const SaveRow& row) {
                 return takesDeposits(row) && row["PD88_FLGDEPCLEGAME"] + row["PD88_FLGDEPCREP"] +
                                                      row["PD88_FLGDEPCCLP"] +
                                                      row["PD88_FLGDEPCPRELART"] +
                                                      row["PD88_FLGDEPCPIANART"] ==
                                                  0;
             },
             20362, kMsg20362, kGroupDocuments, kItemProduction},
            {[](const SaveRow& row) {
                 return takesDeposits(row) && row["PD88_FLGDEPARIGAORD"] +
                                                      row["PD88_FLGDEPAVERSART"] +
                                                      row["PD88_FLGDEPAPIANART"] ==
                                                  0;
             },
             20372, kMsg20372, kGroupDocuments, kItemProduction},
        },
        true,
    };
    SaveRule lots{[](const SaveRow& row) {
                      return row.general("PD42_FLGGESTLOTTI") == 1 &&
                             row["PD88_INDSCAGENLISPCL"] == 2;
                  },
                  69907,
                  {},
                  {},
                  {}};
    lots.textOf = [](const SaveRow& row) { return lotsMessage(documentCode(row)); };
    lots.parameters = [](const SaveRow& row) {
        return krl::Variant(krl::VariantArray{krl::Variant(documentCode(row))});
    };
    SaveRule repair;
    // Loading the recovered item on return is off: no document for it.
    repair.repair = [](SaveRow& row) {
        if (row["PD88_INDCARSFRIDOCL"] == 1) {
            row.setNull("PD88_CARSFRIDOCL_MG3G");
        }
    };
    rowRules_ = {
        "FME_PARAMETRI_DOC_BeforeUpdate",
        {
            // Both pairs are always checked.
            {[this](const SaveRow&) {
                 const bool commitment = verificaCombinazioniComboImp();
                 const bool transfer = verificaCombinazioniComboTrasf();
                 return !commitment || !transfer;
             },
             34879,
             kMsg34879,
             {},
             {}},
            {[](const SaveRow& row) {
                 return row["PD88_INDSCAGENORD"] == 2 && row["PD88_INDIMPGENLISP"] == 2;
             },
             34881,
             kMsg34881,
             {},
             {}},
            {[](const SaveRow& row) {
                 return row["PD88_INDSTATI"] == 2 && row["PD88_INDSTATOORD"] == 2 &&
                        (row.documentType() == "2420" || row.documentType() == "241") &&
                        commitmentByList(row);
             },
             40239,
             kMsg40239,
             {},
             {}},
            lots,
            // Last, so that it is made only when the row is written.
            repair,
        },
    };
}

SaveRow DocumentSaveRules::row() {
    return SaveRow(context_, &context_.documentRecordset(), context_.chosenDocumentType());
}

void DocumentSaveRules::beforeUpdate(bool& cancel) {
    std::vector<krl::trap::Step> all = {
        [&] {
            if (!verificaCombinazioneReperimentoDepositi()) {
                cancel = true;
                krl::trap::exitRoutine();
            }
        },
    };
    bool refused = false;
    for (krl::trap::Step& step : saveRuleSteps(
             context_, rowRules_, [this] { return row(); }, refused)) {
        all.push_back(std::move(step));
    }
    krl::trap::run(rowRules_.name, all, [this](std::string_view name, const krl::VbError& error) {
        return context_.errorRoutine(name, error);
    });
    if (refused) {
        cancel = true;
    }
}

bool DocumentSaveRules::verificaCombinazioneReperimentoDepositi() {
    return runSaveRoutine(context_, deposits_, [this] { return row(); });
}

bool DocumentSaveRules::verificaCombinazioniComboImp() {
    return allowedPair("VerificaCombinazioniComboImp", "PD88_INDIMPGENORD", "PD88_INDIMPGENLISP");
}

bool DocumentSaveRules::verificaCombinazioniComboTrasf() {
    return allowedPair("VerificaCombinazioniComboTrasf", "PD88_INDSCAGENORD", "PD88_INDSCAGENLISP");
}

// Both left to the general settings, or both set with at most one "Si". Transfer lists (10/3)
// may combine them freely.
bool DocumentSaveRules::allowedPair(std::string_view routine, const char* orderColumn,
                                    const char* listColumn) {
    bool result = false;
    krl::trap::run(routine,
                   {
                       [&] {
                           if (context_.chosenDocumentType() == "103") {
                               result = true;
                               krl::trap::exitRoutine();
                           }
                       },
                       [&] {
                           const SaveRow current = row();
                           const double order = current[orderColumn];
                           const double list = current[listColumn];
                           result = (order == 0 && list == 0) ||
                                    (order == 1 && (list == 1 || list == 2)) ||
                                    (order == 2 && list == 1);
                       },
                   },
                   [this](std::string_view name, const krl::VbError& error) {
                       return context_.errorRoutine(name, error);
                   });
    return result;
}

}  // namespace duza_zovrena::data
