#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "duza_zovrena/pages/page_members.h"
#include "duza_zovrena/pages/parameter_page.h"
#include "duza_zovrena/pages/transfer_commands.h"

namespace duza_zovrena::pages {

// The page's declaration, for the page list.
PageDeclaration trPersPage();

// Per document code of the company, whether the custom fields of the origin document travel into
// the document's head and body data. The page edits the temporary table #PARDOCPROD of the
// window's connection (the saved rows plus a default row, both indicators 2, for every document of
// the eligible kinds) in its grid, and writes back to PD49_PARDOCPROD only the rows that differ
// from the default.
class CTLPD_PRT_TRPERS : public ParameterPage, public TransferCommands, public TransferMembers {
  public:
    static constexpr std::string_view ClassName = "CTLPD_PRT_TRPERS";
    static constexpr std::string_view TempTableName = "#PARDOCPROD";

    explicit CTLPD_PRT_TRPERS(const PageDeclaration& declaration);
    CTLPD_PRT_TRPERS() : CTLPD_PRT_TRPERS(trPersPage()) {}
    ~CTLPD_PRT_TRPERS() override;

    bool Initialize() override;
    void Terminate() override;
    void InitializeLayoutObjectModel() override {}
    void SetFocus(std::string_view /*focusedControlName*/ = {}) override {}

    // NOLINTNEXTLINE(performance-unnecessary-value-param): the page keeps it.
    void setCodiceDitta(krl::Variant value) override { codiceDitta_ = std::move(value); }
    krl::Variant codiceDitta() const { return codiceDitta_; }
    void setOnTerminate(bool value) override { onTerminate_ = value; }
    bool onTerminate() const { return onTerminate_; }

    bool Save() override;
    bool Delete() override;
    bool Undo() override;
    void DropTempTable();

    krl::controls::QGrid& grid() const;

    // The statement that fills the temporary table for the company.
    static std::string loadSql(const std::string& company);

  private:
    // A document's two stored indicators, as the history keeps them.
    struct Setting {
        std::optional<std::string> head;
        std::optional<std::string> body;
    };
    // The documents whose settings a save may change, and the saved settings of those that have
    // a row (the others read as the default).
    struct Pending {
        std::set<std::string> documents;
        std::map<std::string, Setting> saved;
    };
    static std::string documentOf(krl::ado::Recordset& rows);  // the row's code, trimmed
    static Setting settingOf(krl::ado::Recordset& rows);
    Pending PendingChanges();
    std::map<std::string, Setting> SavedSettings(const std::set<std::string>& documents);
    void RecordHistory(const Pending& before, const std::map<std::string, Setting>& after);
    bool LoadData();
    bool ReloadData();
    bool PhysicalDelete();
    void onEdited(krl::controls::GridCell& cell);
    std::string company() const;
    void execute(const std::string& sql);

    std::shared_ptr<krl::ado::Recordset> rows_;
    krl::Variant codiceDitta_;
    bool onTerminate_ = false;
};

}  // namespace duza_zovrena::pages
