#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "krl/ado/ado.h"
#include "krl/trap/trap.h"
#include "krl/variant/error.h"
#include "krl/variant/variant.h"

namespace duza_zovrena::data {

// The company's two yes/no options that steer the repairs of the general row.
struct CompanyOptions {
    bool optionA = false;
    bool optionB = false;
    bool bothOn() const { return optionA && optionB; }
};

// What the save rules of the general row need from the window that runs them.
class GeneralRulesContext {
  public:
    virtual ~GeneralRulesContext() = default;
    // The recordset whose current row is about to be written.
    virtual krl::ado::Recordset& generalRecordset() = 0;
    // The window's message box (title: the window caption).
    virtual int showMessage(const std::string& text, long messageId, int buttons) = 0;
    // The same box with the message's parameter list.
    virtual int showMessageWithParameters(const std::string& text, long messageId, int buttons,
                                          const krl::Variant& /*params*/) {
        return showMessage(text, messageId, buttons);
    }
    // Moves the side bar to a page.
    virtual void selectSideBarItem(std::string_view group, std::string_view item) = 0;
    // Puts the focus on a control of a page the window holds (nothing when it does not hold it).
    virtual void setFocus(std::string_view pageClass, std::string_view controlName) = 0;
    // The company options as the host answers them now.
    virtual CompanyOptions companyOptions() = 0;
    // The window's error routine; returns Abort (3), Retry (4) or Ignore (5).
    virtual int errorRoutine(std::string_view routine, const krl::VbError& error) = 0;
};

// What a save rule reads and writes: the row about to be written (the general row unless another
// is given), the company's general row, the document type text and the company options.
class SaveRow {
  public:
    explicit SaveRow(GeneralRulesContext& context, krl::ado::Recordset* row = nullptr,
                     std::string documentType = {})
        : context_(context), row_(row), documentType_(std::move(documentType)) {}
    // The column's value as a number (0 for null or text).
    double operator[](const char* column) const;
    // The column's value as it is.
    krl::Variant value(const char* column) const;
    void set(const char* column, int value);
    void setNull(const char* column);
    // A column of the company's general row, as a number.
    double general(const char* column) const;
    // The type and subtype of the document whose row this is, as decimal text ("2420").
    const std::string& documentType() const { return documentType_; }
    // Read from the host each time: an administrator may change them while the window is open.
    CompanyOptions options() const { return context_.companyOptions(); }

  private:
    krl::ado::Recordset& row() const;

    GeneralRulesContext& context_;
    krl::ado::Recordset* row_;
    std::string documentType_;
};

// One step of a save routine, run with the routine's error handling. A refusal: when `refuses`
// holds, the message box, the side-bar item, the focus; the routine ends and the row is not
// written. A repair: `repair` writes into the row, which is then written.
struct SaveRule {
    std::function<bool(const SaveRow&)> refuses;
    long messageId = 0;
    std::string_view text;
    std::string_view group;  // the side-bar item shown
    std::string_view item;
    std::string_view focusPage = {};  // the control given the focus, when there is one
    std::string_view focusControl = {};
    std::function<void(SaveRow&)> repair = {};
    // A text built from the row, in place of `text`, and the message's parameter list.
    std::function<std::string(const SaveRow&)> textOf = {};
    std::function<krl::Variant(const SaveRow&)> parameters = {};
};

// The save routines of a record: the routine's name (for the error reports) and its rules.
struct SaveRoutine {
    std::string_view name;
    std::vector<SaveRule> rules;
    // What the routine answers when the person abandons it after an error: pass or refuse.
    bool passesWhenAbandoned = false;
};

// The steps of a routine's rules on the row `row` gives; a refusal shows its message, sets
// `refused`, moves the side bar when the rule names an item, and ends the routine.
std::vector<krl::trap::Step> saveRuleSteps(GeneralRulesContext& context, const SaveRoutine& routine,
                                           const std::function<SaveRow()>& row, bool& refused);
// Runs the routine with the context's error routine: true when no rule refused and it went
// through to its end (or was abandoned, for a routine that passes then).
bool runSaveRoutine(GeneralRulesContext& context, const SaveRoutine& routine,
                    const std::function<SaveRow()>& row);

// The general row's save routines, in the order they run.
std::vector<const SaveRoutine*> generalSaveRoutines();

// The cross-field rules checked, and the repairs made, before the general row is written.
class GeneralSaveRules {
  public:
    explicit GeneralSaveRules(GeneralRulesContext& context) : context_(context) {}

    // FME_PARAMETRI_BeforeUpdate: cancel becomes true when a rule refuses the row.
    void beforeUpdate(bool& cancel);
    // Commitment/transfer and deposit rules; true when all pass.
    bool controllaCheckImpegnoScarico();
    // Mandatory values; true when all are there.
    bool controllaCampiObbligatori();

  private:
    std::function<SaveRow()> generalRow();

    GeneralRulesContext& context_;
};

}  // namespace duza_zovrena::data
