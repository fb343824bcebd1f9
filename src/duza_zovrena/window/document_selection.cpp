// The document code of the header: its lookup and decode, the loading of the document's row, the
// kinds of document the side bar offers pages for, and the new document row.

#include <cstdint>

#include "duza_zovrena/data/document_rules.h"
#include "duza_zovrena/pages/page.h"
#include "duza_zovrena/pages/page_list.h"
#include "duza_zovrena/pages/page_members.h"
#include "duza_zovrena/pages/parameter_page.h"
#include "duza_zovrena/window/frmpd_zovrena.h"
#include "krl/ado/ado.h"
#include "krl/controls/edit.h"
#include "krl/controls/frame.h"
#include "krl/controls/side_bar.h"
#include "krl/frame/virtual_frame.h"
#include "krl/host/lookup_decode.h"
#include "krl/host/message_service.h"
#include "krl/trap/trap.h"
#include "krl/variant/text.h"

namespace duza_zovrena::window {

namespace kc = krl::controls;
namespace kh = krl::host;
using krl::Variant;

namespace {

constexpr std::string_view kDocumentGroup = "GRP_PRD_DOCUMENTI";

// The document kinds that have parameter pages: which items of the document group each enables
// (indicators, production, linked documents, active subcontracting) and the one then shown.
struct DocumentKind {
    std::string_view typeText;
    bool items[4];
    std::string_view selected;
};

constexpr std::string_view kDocumentItems[] = {"ITM_PRD_IND", "ITM_PRD_PRD", "ITM_PRD_DCLIE",
                                               "ITM_PRD_DCCLA"};

constexpr DocumentKind kDocumentKinds[] = {
    {"2420", {true, true, true, false}, "ITM_PRD_IND"},
    {"251", {true, true, true, false}, "ITM_PRD_IND"},
    {"103", {true, false, true, false}, "ITM_PRD_IND"},
    {"265", {false, false, false, true}, "ITM_PRD_DCCLA"},
    {"267", {false, false, false, true}, "ITM_PRD_DCCLA"},
};

const DocumentKind* documentKind(std::string_view typeText) {
    for (const DocumentKind& kind : kDocumentKinds) {
        if (kind.typeText == typeText) {
            return &kind;
        }
    }
    return nullptr;
}

// A type or subtype as digits; null or blank is 0.
std::string typeDigits(const Variant& value) {
    return std::to_string(static_cast<long long>(krl::numericValue(value)));
}

}  // namespace

std::string FRMPD_ZOVRENA::documentLookupSql(std::string_view standard, std::string_view customised,
                                             const Variant& company, bool allDocuments) {
    std::string sql = "SELECT ";
    sql += "MG3G_CODDOCUM_MG36, ";
    sql += "MG36_DESCDOCUM, ";
    sql += "CASE MG3G_INDSTAPER_MG36 ";
    sql += "WHEN 0 THEN '" + std::string(standard) + "'";
    sql += "WHEN 1 THEN '" + std::string(customised) + "'";
    sql += "END AS MG3G_INDSTAPER ";
    sql += "FROM ";
    sql += "MG3G_DOCDITTA WITH (NOLOCK) ";
    sql +=
        "OUTER APPLY dbo.FNMG36_DOCUMENTI(MG3G_CODDOCUM_MG36, MG3G_DITTA_CG18, "
        "MG3G_INDSTAPER_MG36) ";
    if (!allDocuments) {
        sql += " ";
        sql += "INNER JOIN PD88_ZOVRENADOC WITH (NOLOCK) ";
        sql += "ON MG3G_DITTA_CG18 = PD88_DITTA_CG18 ";
        sql += "AND MG3G_CODDOCUM_MG36 = PD88_CODDOC_MG36";
    }
    sql += " ";
    sql += "WHERE ";
    sql += "MG3G_DITTA_CG18 = " + company.textOrEmpty() + " ";
    sql += "AND ((MG36_TIPODOC = 24 AND MG36_STIPODOC = 20) ";
    sql += "OR (MG36_TIPODOC = 25 AND MG36_STIPODOC = 1) ";
    sql += "OR (MG36_TIPODOC = 10 AND MG36_STIPODOC = 3) ";
    sql += "OR (MG36_TIPODOC = 26 AND MG36_STIPODOC = 5) ";
    sql += "OR (MG36_TIPODOC = 26 AND MG36_STIPODOC = 7)) ";
    sql += "ORDER BY ";
    sql += "MG3G_CODDOCUM_MG36";
    return sql;
}

std::string FRMPD_ZOVRENA::documentRowSql(const std::string& companyLiteral,
                                          const std::string& codeLiteral) {
    return std::string("SELECT * ") + "FROM PD88_ZOVRENADOC " +
           "WHERE PD88_DITTA_CG18 = " + companyLiteral + " " +
           "AND PD88_CODDOC_MG36 = " + codeLiteral;
}

std::string FRMPD_ZOVRENA::documentTypeSql(const std::string& companyLiteral,
                                           const std::string& codeLiteral) {
    return std::string("SELECT ") + "MG3G_CODDOCUM_MG36, " + "MG36_TIPODOC, " + "MG36_STIPODOC " +
           "FROM MG3G_DOCDITTA WITH (NOLOCK) " + "INNER JOIN MG36_DOCUMENTI WITH (NOLOCK) " +
           "ON MG3G_CODDOCUM_MG36 = MG36_CODDOCUM " + "AND MG3G_INDSTAPER_MG36 = MG36_INDSTAPER " +
           "WHERE " + "MG3G_DITTA_CG18 = " + companyLiteral + " " +
           "AND MG3G_CODDOCUM_MG36 = " + codeLiteral;
}

void FRMPD_ZOVRENA::connectDocumentCode() {
    TXT_CODDOC_->Validate.connect([this](bool& cancel) { TXT_CODDOC_Validate(cancel); });
    TXT_CODDOC_->StartLookup.connect(
        [this](kc::LookupRequest& request) { TXT_CODDOC_StartLookup(request); });
    TXT_CODDOC_->StartDecode.connect(
        [this](kc::DecodeRequest& request) { TXT_CODDOC_StartDecode(request); });
    TXT_CODDOC_->KeyButtonMenuPress.connect(
        [this](const std::string& key) { TXT_CODDOC_KeyButtonMenuPress(key); });
}

void FRMPD_ZOVRENA::TXT_CODDOC_KeyButtonMenuPress(const std::string& key) {
    krl::trap::run("TXT_CODDOC_KeyButtonMenuPress", {[&] {
                       if (key == "Kpers1") {
                           activeDocumentsSwitch_ = true;
                           TXT_CODDOC_->startLookup();
                       }
                   }},
                   onError());
}

void FRMPD_ZOVRENA::TXT_CODDOC_StartLookup(kc::LookupRequest& request) {
    std::string standard;
    std::string customised;
    krl::trap::run(
        "TXT_CODDOC_StartLookup",
        {
            [&] {
                kh::LookupQuery query =
                    krl::require(documentsLookup_, "ClsLookupProduzione").lookupDocuments();
                request.extra = query.extra;
                TXT_CODDOC_->setLookup(query.columns);
            },
            [&] {
                request.lookupText =
                    activeDocumentsSwitch_
                        ? TranslateMessage("Elenco documenti attivi per ditta", 74805)
                        : TranslateMessage("Documenti attivi gestiti", 74806);
            },
            [&] {
                standard = TranslateMessage("Standard", 55020, {}, 1);
                customised = TranslateMessage("Personalizzato", 44336, {}, 1);
            },
            [&] {
                request.sql =
                    documentLookupSql(standard, customised, companyCode_, activeDocumentsSwitch_);
            },
            [&] { activeDocumentsSwitch_ = false; },
            [&] { request.connectionString = connectionString_; },
            [&] { request.cancel = false; },
        },
        onError());
}

void FRMPD_ZOVRENA::TXT_CODDOC_StartDecode(kc::DecodeRequest& request) {
    krl::trap::run("TXT_CODDOC_StartDecode",
                   {
                       [&] {
                           if (krl::rtrim(TXT_CODDOC_->text()).empty()) {
                               LBL_DESDOC_->setCaption("");
                               krl::trap::exitRoutine();
                           }
                       },
                       [&] {
                           kh::DecodeQuery query =
                               krl::require(clsDecodeProduzione_, "ClsDecodeProduzione")
                                   .decodeDocument(TXT_CODDOC_->text(), LBL_DESDOC_->name());
                           request.sql = std::move(query.sql);
                           request.extra = std::move(query.extra);
                       },
                       [&] { request.connectionString = connectionString_; },
                       [&] { request.cancel = false; },
                   },
                   onError());
}

void FRMPD_ZOVRENA::TXT_CODDOC_Validate(bool& cancel) {
    cancel = false;
    std::string code;
    std::string sql;
    krl::trap::run(
        "TXT_CODDOC_Validate",
        {
            [&] {
                code = krl::rtrim(TXT_CODDOC_->text());
                if (code.empty()) {
                    EnableCurrentDocumentPage(false);
                    krl::trap::exitRoutine();
                }
            },
            [&] {
                if (code == rememberedCode_) {
                    krl::trap::exitRoutine();
                }
            },
            [&] { rememberedCode_ = code; },
            [&] {
                sql = documentRowSql(FormatSqlValue(companyCode_, 1, false).textOrEmpty(),
                                     FormatSqlValue(Variant(code), 0, false).textOrEmpty());
            },
            [&] {
                if (!FME_PARAMETRI_DOC_->queryClose(true, 0, true)) {
                    // The row still loaded keeps its code in the header.
                    TXT_CODDOC_->setText(
                        FME_PARAMETRI_DOC_->blank()
                            ? std::string()
                            : krl::rtrim((*rsDocument_)["PD88_CODDOC_MG36"].value().textOrEmpty()));
                    krl::trap::exitRoutine();
                }
            },
            [&] { FME_PARAMETRI_DOC_->reset(); },
            [&] {
                if (rsDocument_->state() == krl::ado::adStateOpen) {
                    rsDocument_->close();
                }
            },
            [&] {
                rsDocument_->setActiveConnection(connection_);
                rsDocument_->setSource(sql);
                rsDocument_->open(krl::ado::adOpenUnspecified, krl::ado::adLockUnspecified,
                                  krl::ado::adCmdText);
            },
            [&] { FME_PARAMETRI_DOC_->setSql(sql); },
            [&] {
                if (FME_PARAMETRI_DOC_->status() == krl::frame::StatusInserting) {
                    InizializzaCampiDocumenti();
                }
            },
            [&] { EnableControlByDocument(); },
        },
        onError());
}

void FRMPD_ZOVRENA::InizializzaCampiDocumenti() {
    krl::ado::Recordset& row = *rsDocument_;
    auto zero = [&row](const char* column) {
        return [&row, column] { row[column].setValue(Variant(std::int16_t{0})); };
    };
    auto flag = [&row](const char* column, std::int16_t value) {
        return [&row, column, value] { row[column].setValue(Variant(value)); };
    };
    std::vector<krl::trap::Step> steps = {
        [&] { row["PD88_DITTA_CG18"].setValue(companyCode_); },
        [&] { row["PD88_CODDOC_MG36"].setValue(Variant(krl::rtrim(TXT_CODDOC_->text()))); },
    };
    for (const char* column :
         {"PD88_INDSTATI",     "PD88_INDSTATOORD",   "PD88_INDMODORDLAV",  "PD88_INDINTORDLAV",
          "PD88_INDMOVSLINT",  "PD88_INDIMPGENORD",  "PD88_INDIMPGENLISP", "PD88_INDIMPSTAORD",
          "PD88_INDSCAGENORD", "PD88_INDSCAGENLISP", "PD88_INDGENDDTCLAV", "PD88_INDDDTCLVERS",
          "PD88_INDORDCLAV",   "PD88_INDLOCDISBA",   "PD88_INDGESOCLPRO",  "PD88_INDSCASTAORD",
          "PD88_INDMODSCARTO", "PD88_PERCTOLLINT",   "PD88_PERCTOLLEST",   "PD88_INDSCARTOFASI"}) {
        steps.emplace_back(zero(column));
    }
    steps.emplace_back(flag("PD88_FLGDEPCLEGAME", 1));
    steps.emplace_back(flag("PD88_FLGDEPCREP", 0));
    steps.emplace_back(flag("PD88_FLGDEPCCLP", 0));
    steps.emplace_back(flag("PD88_FLGDEPCPRELART", 0));
    steps.emplace_back(flag("PD88_FLGDEPCPIANART", 1));
    steps.emplace_back(flag("PD88_FLGDEPARIGAORD", 1));
    steps.emplace_back(flag("PD88_FLGDEPAVERSART", 0));
    steps.emplace_back(flag("PD88_FLGDEPAPIANART", 0));
    krl::trap::run("InizializzaCampiDocumenti", steps, onError());
}

void FRMPD_ZOVRENA::EnableCurrentDocumentPage(bool enabled) {
    const pages::PageDeclaration* declared = pages::findPageByItem(currentItem_);
    if (declared == nullptr || !declared->members.documentType) {
        return;
    }
    if (auto shown = page(currentItem_)) {
        pages::pageMember<pages::DocumentMembers>(*shown, "EnableControl").EnableControl(enabled);
    }
}

void FRMPD_ZOVRENA::EnableControlByDocument() {
    std::shared_ptr<krl::ado::Recordset> rows;
    krl::trap::run(
        "EnableControlByDocument",
        {
            [&] { EnableCurrentDocumentPage(true); },
            [&] {
                const std::string sql = documentTypeSql(
                    FormatSqlValue(companyCode_, 1, false).textOrEmpty(),
                    FormatSqlValue(Variant(krl::rtrim(TXT_CODDOC_->text())), 0, false)
                        .textOrEmpty());
                rows = connection_->execute(sql, nullptr, krl::ado::adCmdText);
            },
            [&] {
                if (!rows || rows->eof()) {
                    ShowMessage("Codice documento errato", 12732, kh::vbInformation, caption_);
                    // The row started for the wrong code is of no kind: its save must not be
                    // judged by the kind of the document chosen before.
                    documentTypeText_.clear();
                    return;
                }
                documentTypeText_ = typeDigits(rows->fields()["MG36_TIPODOC"].value()) +
                                    typeDigits(rows->fields()["MG36_STIPODOC"].value());
                const DocumentKind* kind = documentKind(documentTypeText_);
                if (kind == nullptr) {
                    ShowMessage("Codice documento non gestito", 12752, kh::vbInformation, caption_);
                    return;
                }
                for (std::size_t i = 0; i < std::size(kDocumentItems); ++i) {
                    SB_ZOVRENA_->setItemEnabled(kDocumentGroup, kDocumentItems[i], kind->items[i]);
                }
                SB_ZOVRENA_->select(kDocumentGroup, kind->selected);
            },
            [&] {
                if (rows && rows->state() == krl::ado::adStateOpen) {
                    rows->close();
                }
                rows.reset();
            },
            [&] { handDocumentToPages(); },
        },
        onError());
}

// The document pages already created get the row, the frame and the document's type, then apply
// their own rules for it.
void FRMPD_ZOVRENA::handDocumentToPages() {
    for (const pages::PageDeclaration& declared : pages::pageList()) {
        if (declared.record != pages::PageRecord::Document || !declared.members.documentType) {
            continue;
        }
        auto created = page(declared.item);
        if (!created) {
            continue;
        }
        created->setRecordset(rsDocument_);
        created->setVirtualFrame(FME_PARAMETRI_DOC_);
        auto& document =
            pages::pageMember<pages::DocumentMembers>(*created, "TipoSottotipoDocumento");
        document.setTipoSottotipoDocumento(documentTypeText_);
        document.EnableControlByDocument();
    }
    refreshEffectiveValues();
}

void FRMPD_ZOVRENA::refreshEffectiveValues() {
    for (auto& [item, created] : pages_) {
        auto parameters = std::dynamic_pointer_cast<pages::ParameterPage>(created);
        if (!parameters) {
            continue;
        }
        parameters->showEffectiveValues(
            [this](std::string_view column) { return (*rsGeneral_)[std::string(column)].value(); });
    }
}

// ---- GeneralRulesContext for the document row -------------------------------------------------

krl::ado::Recordset& FRMPD_ZOVRENA::documentRecordset() {
    return krl::require(rsDocument_, "Recordset");
}

std::string FRMPD_ZOVRENA::chosenDocumentType() {
    return documentTypeText_;
}

int FRMPD_ZOVRENA::showMessageWithParameters(const std::string& text, long messageId, int buttons,
                                             const Variant& params) {
    return ShowMessage(text, messageId, buttons, caption_, params);
}

}  // namespace duza_zovrena::window
