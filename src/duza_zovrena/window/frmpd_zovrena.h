#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "duza_zovrena/data/document_rules.h"
#include "duza_zovrena/host/program_messages.h"
#include "duza_zovrena/host/program_window.h"
#include "krl/controls/container.h"
#include "krl/diag/trace.h"
#include "krl/trap/trap.h"
#include "krl/variant/variant.h"

namespace krl::ado {
class Connection;
class Recordset;
}  // namespace krl::ado
namespace krl::controls {
class SideBar;
class Frame;
class Label;
class EditM;
class GridNav;
struct DecodeRequest;
struct LookupRequest;
class ResizeForm;
class MdiChildContainer;
}  // namespace krl::controls
namespace krl::frame {
class VirtualFrame;
}
namespace krl::host {
class Cinterface;
class ClsGlobal;
class ErrorLog;
class NumberFormatter;
class DateFormatter;
class PrintObject;
class ClsDecodeProduzione;
class ClsLookupProduzione;
class ClsDecodeListiniParametrici;
class ClsLookupListiniParametrici;
struct PrintSheet;
}  // namespace krl::host
namespace duza_zovrena::pages {
class Page;
struct PageDeclaration;
}  // namespace duza_zovrena::pages

namespace duza_zovrena::window {

// The program's window: it opens its own connection, loads the company's general row and an empty
// document set, binds them to the data frames FME_PARAMETRI and FME_PARAMETRI_DOC, and shows one
// parameter page at a time, chosen from the side bar SB_ZOVRENA.
class FRMPD_ZOVRENA : public host::ProgramWindow,
                      public krl::controls::ControlContainer,
                      public data::DocumentRulesContext,
                      public std::enable_shared_from_this<FRMPD_ZOVRENA> {
  public:
    static constexpr std::string_view className = "FRMPD_ZOVRENA";
    static constexpr std::string_view designCaption = "Parametri generali";

    static std::shared_ptr<FRMPD_ZOVRENA> create();
    ~FRMPD_ZOVRENA() override;

    // ProgramWindow.
    void setProgramInterface(std::shared_ptr<krl::host::Cinterface> programInterface) override;
    std::shared_ptr<krl::host::Cinterface> programInterface() const override;
    void setWindowState(std::int16_t windowState) override;
    void setProgramObject(std::shared_ptr<host::CLSPD_ZOVRENA> programObject) override;
    void setCaption(std::string caption) override;
    std::string caption() const override;
    void show(bool modal) override;
    bool unload() override;
    void setIcon(std::string_view pictureKey) override;
    void InitializeLayoutObjectModel() override;
    std::string name() const override { return std::string(className); }

    // The window comes to the front again (every activation synchronises the navigator).
    void activate();

    // What the host draws.
    std::int16_t windowState() const { return windowState_; }
    bool modal() const { return modal_; }
    bool shown() const { return shown_; }
    bool unloaded() const { return unloaded_; }
    bool loadFailed() const { return loadFailed_; }
    bool activated() const { return activated_; }
    const std::string& iconKey() const { return iconKey_; }
    const std::string& currentItem() const { return currentItem_; }
    const std::string& documentTypeText() const { return documentTypeText_; }
    bool wmsEnabled() const { return wmsEnabled_; }
    const krl::Variant& companyCode() const { return companyCode_; }
    std::shared_ptr<pages::Page> page(std::string_view itemKey) const;
    std::shared_ptr<pages::Page> currentPage() const { return page(currentItem_); }
    // The custom-field transfer page, when the window holds it.
    std::shared_ptr<pages::Page> transferPage() const;
    krl::controls::SideBar& sideBar() const { return *SB_ZOVRENA_; }
    krl::controls::GridNav& navigatorBar(std::string_view name) const;
    std::shared_ptr<krl::frame::VirtualFrame> generalFrame() const { return FME_PARAMETRI_; }
    std::shared_ptr<krl::frame::VirtualFrame> documentFrame() const { return FME_PARAMETRI_DOC_; }
    std::shared_ptr<krl::ado::Recordset> generalRows() const { return rsGeneral_; }
    std::shared_ptr<krl::ado::Connection> connection() const { return connection_; }

    // The window's routines other objects call.
    int ShowMessage(std::string_view text, long messageId, int buttons, std::string_view title,
                    const krl::Variant& params = {});
    std::string TranslateMessage(std::string_view text, long messageId,
                                 const krl::Variant& params = {}, int quoteForSql = 0);
    // The SQL literal of a value: kind 0 text, 1 integer, 2 decimal, 3 date.
    krl::Variant FormatSqlValue(const krl::Variant& value, int kind, bool nullable);
    // The values of a new general row, written into the current record.
    void InizializzaCampi();
    // The error routine: reports the error of the procedure and returns 3, 4 or 5.
    int HandleError(std::string_view procedure, const krl::VbError& error);
    // HandleError as the routines' error handler.
    krl::trap::ErrorRoutine onError();
    bool GetWmsEnabed();
    // The warehouse-management query for a company code (written as it comes).
    static std::string wmsQuery(const krl::Variant& companyCode);
    // The printable sheet of the company's parameters.
    krl::host::PrintSheet printSheet();

    // The document code of the header.
    // The values of a new document row, written into the current document record.
    void InizializzaCampiDocumenti();
    // The side-bar items the chosen document's kind offers, then its type handed to the pages.
    void EnableControlByDocument();
    // Enables or disables the controls of the document page in front.
    void EnableCurrentDocumentPage(bool enabled);
    // The code last accepted by the header's validation.
    const std::string& rememberedCode() const { return rememberedCode_; }
    // The header's lookup: the managed documents with a parameter row, or all of them.
    static std::string documentLookupSql(std::string_view standard, std::string_view customised,
                                         const krl::Variant& company, bool allDocuments);
    // The document's row, and its type and subtype, for the company and code literals.
    static std::string documentRowSql(const std::string& companyLiteral,
                                      const std::string& codeLiteral);
    static std::string documentTypeSql(const std::string& companyLiteral,
                                       const std::string& codeLiteral);

    // GeneralRulesContext.
    krl::ado::Recordset& generalRecordset() override;
    int showMessage(const std::string& text, long messageId, int buttons) override;
    void selectSideBarItem(std::string_view group, std::string_view item) override;
    void setFocus(std::string_view pageClass, std::string_view controlName) override;
    data::CompanyOptions companyOptions() override;
    int errorRoutine(std::string_view routine, const krl::VbError& error) override;
    int showMessageWithParameters(const std::string& text, long messageId, int buttons,
                                  const krl::Variant& params) override;
    // DocumentRulesContext.
    krl::ado::Recordset& documentRecordset() override;
    std::string chosenDocumentType() override;

  private:
    FRMPD_ZOVRENA();
    void buildControls();
    void ensureLoaded();

    // Load sequence.
    void Form_Load();
    bool InitConnection();
    bool InitLookupDecodeObjects();
    bool LoadData();
    bool LoadDataParametri();
    bool LoadDataParametriDocumenti();
    bool InitVirtualFrame();
    bool InitVirtualFrameParametri();
    bool InitVirtualFrameParametriDocumenti();
    bool openRecordset(std::shared_ptr<krl::ado::Recordset>& recordset, const std::string& sql,
                       std::string_view procedure);
    void KRL_RESIZEFORM1_RegisterControls();
    void MDIActiveX1_Load();

    // Activation and navigator.
    void Form_Activate();
    void firstActivation();
    void synchroniseNavigator();
    void refreshNavigator();
    void traceToHost(std::string_view what);

    // Side bar and pages.
    void SB_ZOVRENA_OnClickItemLink(const std::string& itemKey);
    bool SetActiveFrame(std::string_view itemKey);
    bool ShowCurrentControl(std::string_view itemKey);
    std::shared_ptr<pages::Page> createPage(const pages::PageDeclaration& declaration);
    void applyEnableCarSfridoCl();
    void UnloadCurrentControl();
    void UnloadAllControls();

    // Document code of the header.
    void connectDocumentCode();
    void TXT_CODDOC_Validate(bool& cancel);
    void TXT_CODDOC_StartLookup(krl::controls::LookupRequest& request);
    void TXT_CODDOC_StartDecode(krl::controls::DecodeRequest& request);
    void TXT_CODDOC_KeyButtonMenuPress(const std::string& key);
    void handDocumentToPages();
    // Beside the document indicators that follow the general row, its values now.
    void refreshEffectiveValues();

    // Editing cycle.
    void connectFrameEvents();
    // Every save of the general and the document row writes its change set into the history, in
    // the save's own transaction.
    void recordHistoryOfSaves();
    bool ChiamataInGestione();
    void INTERNAV_PARAMETRI_ButtonClick(bool& cancel, const std::string& button);
    void INTERNAV_PARAMETRI_TRP_ButtonClick(bool& cancel, const std::string& button);
    void Print();
    void FME_PARAMETRI_ChangeStatus(long status, long reason);
    void FME_PARAMETRI_DOC_ChangeStatus(long status, long reason);
    void refreshProgramIcon();

    // Query-unload and unload.
    bool Form_QueryUnload();
    void Form_Unload();

    krl::host::ClsGlobal& global() const;

    // Written first so that its "INI" line is the first and its "TER" line the last the window
    // writes.
    krl::diag::ObjectTrace trace_{std::string(className)};

    std::shared_ptr<krl::host::Cinterface> programInterface_;
    std::weak_ptr<host::CLSPD_ZOVRENA> programObject_;
    host::ProgramMessages messages_;
    std::shared_ptr<krl::host::ErrorLog> errorLog_;
    std::shared_ptr<krl::host::NumberFormatter> numberFormatter_;
    std::shared_ptr<krl::host::DateFormatter> dateFormatter_;
    std::string lastFormatFailure_;
    std::shared_ptr<krl::ado::Connection> connection_;
    std::string connectionString_;
    krl::Variant companyCode_;

    std::shared_ptr<krl::host::ClsLookupProduzione> clsLookupProduzione_;
    std::shared_ptr<krl::host::ClsDecodeProduzione> clsDecodeProduzione_;
    std::shared_ptr<krl::host::ClsLookupProduzione> documentsLookup_;
    std::shared_ptr<krl::host::ClsLookupListiniParametrici> clsLookupListini_;
    std::shared_ptr<krl::host::ClsDecodeListiniParametrici> clsDecodeListini_;

    std::shared_ptr<krl::ado::Recordset> rsGeneral_;
    std::shared_ptr<krl::ado::Recordset> rsDocument_;
    std::shared_ptr<krl::frame::VirtualFrame> FME_PARAMETRI_;
    std::shared_ptr<krl::frame::VirtualFrame> FME_PARAMETRI_DOC_;
    std::shared_ptr<krl::host::PrintObject> printObject_;

    std::shared_ptr<krl::controls::SideBar> SB_ZOVRENA_;
    std::shared_ptr<krl::controls::Frame> FRAME_CLIENTAREA_;
    std::shared_ptr<krl::controls::Label> LBL_CODDOC_;
    std::shared_ptr<krl::controls::EditM> TXT_CODDOC_;
    std::shared_ptr<krl::controls::Label> LBL_DESDOC_;
    std::shared_ptr<krl::controls::GridNav> INTERNAV_PARAMETRI_;
    std::shared_ptr<krl::controls::GridNav> INTERNAV_PARAMETRI_DOC_;
    std::shared_ptr<krl::controls::GridNav> INTERNAV_PARAMETRI_TRP_;
    std::shared_ptr<krl::controls::ResizeForm> KRL_RESIZEFORM1_;
    std::shared_ptr<krl::controls::MdiChildContainer> MDIActiveX1_;

    std::map<std::string, std::shared_ptr<pages::Page>, std::less<>> pages_;
    std::string currentItem_;
    std::string documentTypeText_;
    std::string rememberedCode_;
    bool activeDocumentsSwitch_ = false;
    std::string caption_{designCaption};
    std::string iconKey_;
    std::int16_t windowState_ = 0;
    bool loaded_ = false;
    bool loading_ = false;
    bool loadFailed_ = false;
    bool activated_ = false;
    bool shown_ = false;
    bool modal_ = false;
    bool unloaded_ = false;
    bool unloading_ = false;
    bool wmsEnabled_ = false;
};

// Makes the program object build FRMPD_ZOVRENA for its ShowForm.
void installWindowFactory();

}  // namespace duza_zovrena::window
