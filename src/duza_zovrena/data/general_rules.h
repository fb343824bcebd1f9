#pragma once

#include <string>
#include <string_view>

#include "krl/ado/ado.h"
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
    double number(const char* column);
    void setInteger(const char* column, int value);
    void refuse(const std::string& text, long messageId, std::string_view group,
                std::string_view item);

    GeneralRulesContext& context_;
};

}  // namespace duza_zovrena::data
