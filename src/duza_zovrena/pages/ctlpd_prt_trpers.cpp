#include "duza_zovrena/pages/ctlpd_prt_trpers.h"

#include "duza_zovrena/data/history.h"
#include "krl/ado/ado.h"
#include "krl/host/cinterface.h"
#include "krl/host/global.h"
#include "krl/host/message_service.h"
#include "krl/variant/text.h"

namespace duza_zovrena::pages {

namespace kc = krl::controls;
namespace ado = krl::ado;

namespace {

constexpr std::string_view kGrid = "GRD_TRPERS";
constexpr std::string_view kHead = "PD49_INDTRPERSTESTA";
constexpr std::string_view kBody = "PD49_INDTRPERSCORPO";
constexpr long kNoData = 38920;

std::vector<GridChoiceDef> transferChoices() {
    return {{0, "No", 39318}, {1, "Si", 52384}, {2, "Come da parametri generali", 14117}};
}

std::string temp() {
    return std::string(CTLPD_PRT_TRPERS::TempTableName);
}

}  // namespace

// Saved rows of documents still of the company, plus a default row (2, 2) for every document of
// the eligible kinds without one.
std::string CTLPD_PRT_TRPERS::loadSql(const std::string& company) {
    return std::string(";WITH CTE_DOCDEFAULT AS ") + "(" +
           "SELECT MG3G_DITTA_CG18 AS PD49_DITTA_CG18, MG3G_CODDOCUM_MG36 AS PD49_CODDOC_MG3G, " +
           "CAST(2 AS TINYINT) AS PD49_INDTRPERSTESTA, CAST(2 AS TINYINT) AS "
           "PD49_INDTRPERSCORPO " +
           "FROM MG3G_DOCDITTA WITH (NOLOCK) " + "LEFT JOIN MG36_DOCUMENTI WITH (NOLOCK) " +
           "ON MG3G_CODDOCUM_MG36 = MG36_CODDOCUM " + "AND MG3G_INDSTAPER_MG36 = MG36_INDSTAPER " +
           "WHERE MG3G_DITTA_CG18 = " + company + " " + "AND (MG36_TIPODOC IN (22, 24, 25, 26) " +
           "OR (MG36_TIPODOC = 1 AND MG36_STIPODOC = 1) " +
           "OR (MG36_TIPODOC = 5 AND MG36_STIPODOC = 2) " +
           "OR (MG36_TIPODOC = 10 AND MG36_STIPODOC = 1) " +
           "OR (MG36_TIPODOC = 10 AND MG36_STIPODOC = 3) " +
           "OR (MG36_TIPODOC = 14 AND MG36_STIPODOC = 2))" + ")" + ", CTE_DOCSAVED AS " + "(" +
           "SELECT PD49_DITTA_CG18, PD49_CODDOC_MG3G, PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO " +
           "FROM PD49_PARDOCPROD WITH (NOLOCK) " + "WHERE PD49_DITTA_CG18 = " + company + ")" +
           ", CTE_PARDOCPROD AS " + "(" +
           "SELECT PD49_DITTA_CG18, PD49_CODDOC_MG3G, PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO " +
           "FROM CTE_DOCSAVED WITH (NOLOCK) " + "UNION " +
           "SELECT CTE_DOCDEFAULT.PD49_DITTA_CG18, CTE_DOCDEFAULT.PD49_CODDOC_MG3G, " +
           "CTE_DOCDEFAULT.PD49_INDTRPERSTESTA, CTE_DOCDEFAULT.PD49_INDTRPERSCORPO " +
           "FROM CTE_DOCDEFAULT WITH (NOLOCK) " + "LEFT JOIN CTE_DOCSAVED WITH (NOLOCK) " +
           "ON CTE_DOCDEFAULT.PD49_CODDOC_MG3G = CTE_DOCSAVED.PD49_CODDOC_MG3G " +
           "WHERE CTE_DOCSAVED.PD49_CODDOC_MG3G IS NULL" + ") " +
           "SELECT PD49_DITTA_CG18, PD49_CODDOC_MG3G, MG36_DESCDOCUM AS PD49_DESCDOCUM, " +
           "PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO " + "INTO " + temp() + " " +
           "FROM CTE_PARDOCPROD WITH (NOLOCK) " + "INNER JOIN MG3G_DOCDITTA WITH (NOLOCK) " +
           "ON PD49_DITTA_CG18 = MG3G_DITTA_CG18 " + "AND PD49_CODDOC_MG3G = MG3G_CODDOCUM_MG36 " +
           "OUTER APPLY dbo.FNMG36_DOCUMENTI(MG3G_CODDOCUM_MG36, MG3G_DITTA_CG18, "
           "MG3G_INDSTAPER_MG36) ";
}

PageDeclaration trPersPage() {
    PageDeclaration page;
    page.className = std::string(CTLPD_PRT_TRPERS::ClassName);
    page.group = "GRP_PRT_TRPERS";
    page.groupCaption = "Campi personalizzati";
    page.item = "ITM_PRT_TRPERS";
    page.itemCaption = "Trasferimento dal documento origine";
    page.title = "Parametri documenti - tras. campi pers. doc.orig.";
    page.record = PageRecord::Transfer;
    page.members.connection = true;
    page.members.transfer = true;
    page.layoutModel = false;
    page.registeredTypes = {};
    page.frames = {{"WLFrame1", "", "", 15}};
    page.controls = {
        {"WLFrame1", "LBL_TITOLO", "", "Parametri documenti - tras. campi pers. doc.orig."}};
    page.grids = {{"WLFrame1",
                   kGrid,
                   "PD49_CODDOC_MG3G",
                   {
                       {"PD49_CODDOC_MG3G", "Codice", 11860, 2025},
                       {"PD49_DESCDOCUM", "Descrizione", 21091, 4590},
                       {kHead, "Dati testata", 19986, 2160, true, transferChoices()},
                       {kBody, "Dati corpo", 19575, 2160, true, transferChoices()},
                   }}};
    page.make = [](const PageDeclaration& declaration) -> std::shared_ptr<ParameterPage> {
        return std::make_shared<CTLPD_PRT_TRPERS>(declaration);
    };
    return page;
}

CTLPD_PRT_TRPERS::CTLPD_PRT_TRPERS(const PageDeclaration& declaration)
    : ParameterPage(declaration) {
    resizeControl().RegisterControls.connect([this] {
        krl::trap::ignoring([this] { resizeControl().registerControl(std::string(kGrid), 15); });
    });
    grid().OnEdited.connect([this](kc::GridCell& cell) { onEdited(cell); });
}

CTLPD_PRT_TRPERS::~CTLPD_PRT_TRPERS() {
    CTLPD_PRT_TRPERS::Terminate();
}

kc::QGrid& CTLPD_PRT_TRPERS::grid() const {
    return *control<kc::QGrid>(kGrid);
}

std::string CTLPD_PRT_TRPERS::company() const {
    return codiceDitta().textOrEmpty();
}

void CTLPD_PRT_TRPERS::execute(const std::string& sql) {
    connection()->execute(sql, nullptr, ado::adExecuteNoRecords);
}

bool CTLPD_PRT_TRPERS::Initialize() {
    onTerminate_ = false;
    if (!activeInterface()) {
        ShowMessage(msg::NoActiveInterface, krl::host::vbExclamation, title());
        return false;
    }
    if (!connection() || connection()->state() != ado::adStateOpen) {
        ShowMessage(msg::NoConnection, krl::host::vbExclamation, title());
        return false;
    }
    if (!LoadData()) {
        ShowMessage(kNoData, krl::host::vbExclamation, title());
        return false;
    }
    bool ready = krl::trap::run("IniQGrid", {[this] { IniQGrid(kGrid, rows_); }}, errorRoutine());
    if (!ready) {
        return false;
    }
    resizeControl().setActive(true);
    resizeControl().start();
    return true;
}

bool CTLPD_PRT_TRPERS::LoadData() {
    bool loaded = false;
    krl::trap::run(
        "LoadData",
        {
            [this] { DropTempTable(); },
            [this] { execute(loadSql(company())); },
            [this] {
                if (rows_ && rows_->state() == ado::adStateOpen) {
                    rows_->close();
                }
                rows_ = ado::Recordset::create();
                rows_->setActiveConnection(connection());
                rows_->setSource("SELECT * FROM " + temp() + " ORDER BY PD49_CODDOC_MG3G");
                rows_->open(ado::adOpenUnspecified, ado::adLockUnspecified,
                            ado::adOptionUnspecified);
                // The temporary table has no primary key: a document code is one row.
                rows_->setKeyColumns({"PD49_CODDOC_MG3G"});
                rows_->setMarshalOptions(ado::adMarshalModifiedOnly);
            },
            [this, &loaded] { loaded = rows_->recordCount() != 0; },
        },
        errorRoutine());
    return loaded;
}

bool CTLPD_PRT_TRPERS::ReloadData() {
    grid().setRecordset(nullptr);
    if (!LoadData()) {
        return false;
    }
    grid().setRecordset(rows_);
    return true;
}

void CTLPD_PRT_TRPERS::DropTempTable() {
    if (connection()) {
        execute("IF NOT OBJECT_ID('tempdb.." + temp() + "') IS NULL DROP TABLE " + temp());
    }
}

void CTLPD_PRT_TRPERS::onEdited(kc::GridCell& cell) {
    if (onTerminate() || (cell.field != kHead && cell.field != kBody)) {
        return;
    }
    krl::trap::run("GRD_TRPERS_OnEdited", {[&] {
                       (*rows_)[cell.field].setValue(cell.value);
                       rows_->updateBatch(ado::adAffectAll);
                   }},
                   errorRoutine());
}

bool CTLPD_PRT_TRPERS::PhysicalDelete() {
    return krl::trap::run("PhysicalDelete", {[this] {
                              execute(std::string("DELETE PD49_PARDOCPROD ") +
                                      "WHERE PD49_DITTA_CG18 = " + company());
                          }},
                          errorRoutine());
}

namespace {

// The saved rows are read back by document code, so many codes to a statement.
constexpr std::size_t kCodesPerRead = 500;

}  // namespace

std::string CTLPD_PRT_TRPERS::documentOf(ado::Recordset& rows) {
    return krl::rtrim(rows.fields()["PD49_CODDOC_MG3G"].value().textOrEmpty());
}

CTLPD_PRT_TRPERS::Setting CTLPD_PRT_TRPERS::settingOf(ado::Recordset& rows) {
    return {data::historyText(rows.fields()[kHead].value()),
            data::historyText(rows.fields()[kBody].value())};
}

// The documents whose settings the save may change, with the saved settings of those that have
// a row: the rows written back that differ from the saved row or have none (the saved row is
// found by its key), then, only when the counts say some saved row is not written back at all, the
// saved rows without a row written back. Every other document keeps its settings.
CTLPD_PRT_TRPERS::Pending CTLPD_PRT_TRPERS::PendingChanges() {
    const std::string written = "((T.PD49_INDTRPERSTESTA <> 2) OR (T.PD49_INDTRPERSCORPO <> 2))";
    Pending pending;
    auto rows = connection()->execute(
        "SELECT T.PD49_CODDOC_MG3G, S.PD49_INDTRPERSTESTA, S.PD49_INDTRPERSCORPO, "
        "CASE WHEN S.PD49_CODDOC_MG3G IS NULL THEN 0 ELSE 1 END AS SALVATO FROM " +
        temp() + " T WITH (NOLOCK) LEFT JOIN PD49_PARDOCPROD S WITH (NOLOCK) " +
        "ON S.PD49_DITTA_CG18 = " + company() + " AND S.PD49_CODDOC_MG3G = T.PD49_CODDOC_MG3G " +
        "WHERE " + written + " AND CASE WHEN T.PD49_INDTRPERSTESTA = S.PD49_INDTRPERSTESTA " +
        "AND T.PD49_INDTRPERSCORPO = S.PD49_INDTRPERSCORPO THEN 0 ELSE 1 END = 1");
    long long added = 0;
    for (; rows->state() == ado::adStateOpen && !rows->eof(); rows->moveNext()) {
        std::string document = documentOf(*rows);
        if (rows->fields()["SALVATO"].value().toInt32() != 0) {
            pending.saved[document] = settingOf(*rows);
        } else {
            ++added;
        }
        pending.documents.insert(std::move(document));
    }
    auto counts = connection()->execute(
        "SELECT (SELECT COUNT(*) FROM PD49_PARDOCPROD WITH (NOLOCK) WHERE PD49_DITTA_CG18 = " +
        company() + ") AS SALVATE, (SELECT COUNT(*) FROM " + temp() + " T WITH (NOLOCK) WHERE " +
        written + ") AS RISCRITTE");
    const long long saved = counts->fields()["SALVATE"].value().toInt64();
    const long long rewritten = counts->fields()["RISCRITTE"].value().toInt64() - added;
    if (saved == rewritten) {
        return pending;
    }
    rows = connection()->execute(
        "SELECT PD49_CODDOC_MG3G, PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO "
        "FROM PD49_PARDOCPROD WITH (NOLOCK) WHERE PD49_DITTA_CG18 = " +
        company() + " AND PD49_CODDOC_MG3G NOT IN (SELECT T.PD49_CODDOC_MG3G FROM " + temp() +
        " T WITH (NOLOCK) WHERE " + written + ")");
    for (; rows->state() == ado::adStateOpen && !rows->eof(); rows->moveNext()) {
        std::string document = documentOf(*rows);
        pending.saved[document] = settingOf(*rows);
        pending.documents.insert(std::move(document));
    }
    return pending;
}

std::map<std::string, CTLPD_PRT_TRPERS::Setting> CTLPD_PRT_TRPERS::SavedSettings(
    const std::set<std::string>& documents) {
    std::map<std::string, Setting> saved;
    for (auto from = documents.begin(); from != documents.end();) {
        std::string codes;
        for (std::size_t n = 0; n < kCodesPerRead && from != documents.end(); ++n, ++from) {
            codes += (codes.empty() ? "'" : ", '") + krl::doubleQuotes(*from) + "'";
        }
        auto rows = connection()->execute(
            std::string("SELECT PD49_CODDOC_MG3G, PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO ") +
            "FROM PD49_PARDOCPROD WITH (NOLOCK) WHERE PD49_DITTA_CG18 = " + company() +
            " AND PD49_CODDOC_MG3G IN (" + codes + ")");
        for (; rows->state() == ado::adStateOpen && !rows->eof(); rows->moveNext()) {
            saved[documentOf(*rows)] = settingOf(*rows);
        }
    }
    return saved;
}

// One change set per document whose settings changed; a document without a row reads as the
// default (both indicators 2).
void CTLPD_PRT_TRPERS::RecordHistory(const Pending& before,
                                     const std::map<std::string, Setting>& after) {
    const Setting standard{"2", "2"};
    const std::string user =
        krl::require(krl::require(activeInterface(), "Cinterface").clsGlobal(), "ClsGlobal")
            .userContext()
            .userCode.textOrEmpty();
    for (const std::string& document : before.documents) {
        auto old = before.saved.contains(document) ? before.saved.at(document) : standard;
        auto now = after.contains(document) ? after.at(document) : standard;
        data::ChangeSet changes;
        changes.company = codiceDitta().toInt32();
        changes.table = "PD49_PARDOCPROD";
        changes.documentCode = document;
        changes.user = user;
        if (old.head != now.head) {
            changes.columns.push_back({std::string(kHead), old.head, now.head});
        }
        if (old.body != now.body) {
            changes.columns.push_back({std::string(kBody), old.body, now.body});
        }
        data::recordChangeSet(*connection(), changes);
    }
}

// The delete and the insert run in one transaction with the history of the change: a failure
// between them leaves the company with the settings it had.
bool CTLPD_PRT_TRPERS::Save() {
    bool began = false;
    bool saved = false;
    Pending before;
    krl::trap::run(
        "Save",
        {
            [&] {
                connection()->beginTrans();
                began = true;
            },
            [&] { before = PendingChanges(); },
            [&] {
                if (!PhysicalDelete()) {
                    krl::trap::exitRoutine();
                }
            },
            [&] {
                execute(std::string("INSERT INTO PD49_PARDOCPROD ") +
                        "SELECT PD49_DITTA_CG18, PD49_CODDOC_MG3G, PD49_INDTRPERSTESTA, "
                        "PD49_INDTRPERSCORPO " +
                        "FROM " + temp() + " WITH (NOLOCK) " +
                        "WHERE (PD49_INDTRPERSTESTA <> 2) OR (PD49_INDTRPERSCORPO <> 2)");
            },
            [&] { RecordHistory(before, SavedSettings(before.documents)); },
            [&] {
                connection()->commitTrans();
                saved = true;
            },
        },
        errorRoutine());
    if (began && !saved) {
        connection()->rollbackTrans();
    }
    return saved;
}

bool CTLPD_PRT_TRPERS::Delete() {
    if (!PhysicalDelete()) {
        return false;
    }
    bool cleared =
        krl::trap::run("LogicalDelete", {[this] {
                           execute("UPDATE " + temp() + " " + "SET PD49_INDTRPERSTESTA = 2, " +
                                   "PD49_INDTRPERSCORPO = 2");
                       }},
                       errorRoutine());
    return cleared && ReloadData();
}

bool CTLPD_PRT_TRPERS::Undo() {
    return ReloadData();
}

void CTLPD_PRT_TRPERS::Terminate() {
    onTerminate_ = true;
    krl::trap::runIgnoring({
        [this] { DropTempTable(); },
        [this] {
            if (rows_ && rows_->state() == ado::adStateOpen) {
                rows_->close();
            }
            rows_.reset();
        },
        [this] { grid().terminate(); },
    });
    ParameterPage::Terminate();
}

}  // namespace duza_zovrena::pages
