#pragma once

// The save rules of the general and document rows, run without a window: on a scratch row of each
// record (never written), with their messages collected instead of shown. The import saves
// through them as the window does; the health check asks each rule about a stored row.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "duza_zovrena/data/document_rules.h"
#include "duza_zovrena/params/param_set.h"
#include "krl/ado/ado.h"

namespace duza_zovrena::params {

// The company's two options, as the window's host answers them.
data::CompanyOptions readCompanyOptions(krl::ado::Connection& connection, long company);

// What a rule found on a row: its message (refusal) or a column the save would change (repair).
struct RuleFinding {
    std::string text;
    std::string column;  // the column a repair changes; empty for a refusal
    krl::Variant stored;
    krl::Variant repaired;
    const data::SaveRule* rule = nullptr;  // the refusing rule; null for a repair
};

class RowRules : private data::DocumentRulesContext {
  public:
    RowRules(std::shared_ptr<krl::ado::Connection> connection, long company,
             data::CompanyOptions options);

    // The general row the document rules read, and the row checked or saved next; the values are
    // the caller's and must outlive the work on the row.
    void setGeneral(const Values& values);
    void setDocument(const std::string& code, const Values& values, std::string typeText);

    // The save as the window runs it: nothing when the row passes (its repairs made), else the
    // first refusal's message.
    std::optional<std::string> saveGeneral();
    std::optional<std::string> saveDocument();
    // The row as the rules left it.
    Values general();
    Values document();

    // Every rule asked about the row: each refusal, then each column the repairs would change.
    std::vector<RuleFinding> checkGeneral();
    std::vector<RuleFinding> checkDocument();

  private:
    krl::ado::Recordset& generalRecordset() override { return *general_; }
    krl::ado::Recordset& documentRecordset() override { return *document_; }
    std::string chosenDocumentType() override { return typeText_; }
    int showMessage(const std::string& text, long messageId, int buttons) override;
    void selectSideBarItem(std::string_view, std::string_view) override {}
    void setFocus(std::string_view, std::string_view) override {}
    data::CompanyOptions companyOptions() override { return options_; }
    int errorRoutine(std::string_view routine, const krl::VbError& error) override;

    std::vector<RuleFinding> check(krl::ado::Recordset& row, const FieldPositions& fields,
                                   const Values& stored,
                                   const std::vector<const data::SaveRoutine*>& routines);

    std::shared_ptr<krl::ado::Recordset> general_;
    std::shared_ptr<krl::ado::Recordset> document_;
    FieldPositions generalFields_;
    FieldPositions documentFields_;
    const Values* generalValues_ = nullptr;  // the caller's, kept while the row is worked on
    const Values* documentValues_ = nullptr;
    std::string typeText_;
    data::CompanyOptions options_;
    std::vector<std::string> messages_;
    std::unique_ptr<data::DocumentSaveRules> documentRules_;
};

}  // namespace duza_zovrena::params
