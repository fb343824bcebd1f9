#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "krl/ado/ado.h"
#include "krl/trap/trap.h"
#include "krl/variant/error.h"

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
    // Moves the side bar to a page.
    virtual void selectSideBarItem(std::string_view group, std::string_view item) = 0;
    // Puts the focus on a control of a page the window holds (nothing when it does not hold it).
    virtual void setFocus(std::string_view pageClass, std::string_view controlName) = 0;
    // The company options as the host answers them now.
    virtual CompanyOptions companyOptions() = 0;
    // The window's error routine; returns Abort (3), Retry (4) or Ignore (5).
    virtual int errorRoutine(std::string_view routine, const krl::VbError& error) = 0;
};

// What a save rule reads and writes: the row about to be written and the company options.
class SaveRow {
  public:
    explicit SaveRow(GeneralRulesContext& context) : context_(context) {}
    // The column's value as a number (0 for null or text).
    double operator[](const char* column) const;
    void set(const char* column, int value);
    void setNull(const char* column);
    // Read from the host each time: an administrator may change them while the window is open.
    CompanyOptions options() const { return context_.companyOptions(); }

  private:
    GeneralRulesContext& context_;
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
};

// The save routines of a record: the routine's name (for the error reports) and its rules.
struct SaveRoutine {
    std::string_view name;
    std::vector<SaveRule> rules;
};

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
    // The steps of a routine's rules; a refusal sets `refused`.
    std::vector<krl::trap::Step> steps(const SaveRoutine& routine, bool& refused);
    // Runs the routine: true when it went through to its end without a refusal.
    bool run(const SaveRoutine& routine);

    GeneralRulesContext& context_;
};

}  // namespace duza_zovrena::data
