#pragma once

#include <string>

#include "duza_zovrena/data/general_rules.h"

namespace duza_zovrena::data {

// What the save rules of a document row need besides what the general rules need.
class DocumentRulesContext : public GeneralRulesContext {
  public:
    // The recordset whose current row is the document row about to be written.
    virtual krl::ado::Recordset& documentRecordset() = 0;
    // The type and subtype of the document chosen in the header, as decimal text ("2420").
    virtual std::string chosenDocumentType() = 0;
};

// The deposit choices of the production documents, the commitment and transfer pairs, the
// released-state and lots rules, and the repair of the scrap-recovery document, checked and made
// before a document row is written.
class DocumentSaveRules {
  public:
    explicit DocumentSaveRules(DocumentRulesContext& context);
    // Its rules refer to it.
    DocumentSaveRules(const DocumentSaveRules&) = delete;
    DocumentSaveRules& operator=(const DocumentSaveRules&) = delete;

    // FME_PARAMETRI_DOC_BeforeUpdate: cancel becomes true when a rule refuses the row.
    void beforeUpdate(bool& cancel);
    // At least one deposit in each group for production orders and subcontracting orders; true
    // when they pass or do not apply.
    bool verificaCombinazioneReperimentoDepositi();
    // True when the commitment pair (order, picking list) is an allowed combination.
    bool verificaCombinazioniComboImp();
    // True when the transfer pair (order, list) is an allowed combination.
    bool verificaCombinazioniComboTrasf();
    // The routines beforeUpdate runs, in its order, for whoever checks rows already stored.
    std::vector<const SaveRoutine*> routines() const { return {&deposits_, &rowRules_}; }

  private:
    bool allowedPair(std::string_view routine, const char* orderColumn, const char* listColumn);
    SaveRow row();

    DocumentRulesContext& context_;
    SaveRoutine deposits_;
    SaveRoutine rowRules_;
};

}  // namespace duza_zovrena::data
