#include "duza_zovrena/pages/code_field.h"

#include <algorithm>

#include "duza_zovrena/pages/page_members.h"
#include "duza_zovrena/pages/parameter_page.h"
#include "krl/controls/frame.h"
#include "krl/host/lookup_decode.h"
#include "krl/host/message_service.h"
#include "krl/trap/trap.h"

namespace duza_zovrena::pages {

namespace kc = krl::controls;
using krl::Variant;

std::string controlloValiditaDocSql(const Variant& company, std::string_view code) {
    return "SELECT MG3G_CODDOCUM_MG36, MG36_TIPODOC, MG36_STIPODOC "
           "FROM MG3G_DOCDITTA WITH (NOLOCK) "
           "INNER JOIN MG36_DOCUMENTI WITH (NOLOCK) "
           "ON MG36_CODDOCUM = MG3G_CODDOCUM_MG36 "
           "AND MG36_INDSTAPER = MG3G_INDSTAPER_MG36 "
           "WHERE MG3G_DITTA_CG18 = " +
           company.textOrEmpty() + " " + "AND MG3G_CODDOCUM_MG36 = '" +
           krl::doubleQuotes(krl::rtrim(code)) + "'";
}

std::string severalSubtypesCheckSql(const Variant& company, std::string_view code) {
    std::string trimmed = krl::rtrim(code);
    trimmed.erase(0, std::min(trimmed.find_first_not_of(' '), trimmed.size()));
    return "SELECT MG3G_CODDOCUM_MG36, MG36_TIPODOC, MG36_STIPODOC "
           "FROM MG3G_DOCDITTA WITH (NOLOCK) "
           "INNER JOIN MG36_DOCUMENTI WITH (NOLOCK) "
           "ON MG3G_CODDOCUM_MG36 = MG36_CODDOCUM "
           "AND MG3G_INDSTAPER_MG36 = MG36_INDSTAPER "
           "WHERE MG3G_DITTA_CG18 = " +
           company.textOrEmpty() + " " + "AND MG3G_CODDOCUM_MG36 = '" + krl::doubleQuotes(trimmed) +
           "'";
}

std::string customDocumentLookupSql(std::string_view standardText, std::string_view customisedText,
                                    const Variant& company, int type,
                                    std::span<const int> subtypes) {
    std::string sql = "SELECT MG3G_CODDOCUM_MG36, MG36_DESCDOCUM, ";
    sql += "CASE MG3G_INDSTAPER_MG36 ";
    sql += "WHEN 0 THEN '" + std::string(standardText) + "'";
    sql += "WHEN 1 THEN '" + std::string(customisedText) + "'";
    sql += "END AS MG3G_INDSTAPER ";
    sql += "FROM MG3G_DOCDITTA WITH (NOLOCK) ";
    sql +=
        "OUTER APPLY dbo.FNMG36_DOCUMENTI(MG3G_CODDOCUM_MG36, MG3G_DITTA_CG18, "
        "MG3G_INDSTAPER_MG36) ";
    sql += "WHERE MG3G_DITTA_CG18 = " + company.textOrEmpty() + " ";
    sql += "AND MG36_TIPODOC = " + std::to_string(type) + " ";
    sql += "AND MG36_STIPODOC IN(";
    for (std::size_t i = 0; i < subtypes.size(); ++i) {
        sql += (i == 0 ? "" : ", ") + std::to_string(subtypes[i]);
    }
    sql += ") ";
    sql += "ORDER BY MG3G_CODDOCUM_MG36";
    return sql;
}

std::string mixedDocumentLookupSql(std::string_view standardText, std::string_view customisedText,
                                   const Variant& company, std::span<const DocumentKind> kinds) {
    std::string sql = "SELECT " + std::string("MG3G_CODDOCUM_MG36, ") + "MG36_DESCDOCUM, " +
                      "CASE MG3G_INDSTAPER_MG36 WHEN 0 THEN '" + std::string(standardText) +
                      "' WHEN 1 THEN '" + std::string(customisedText) + "' END AS MG3G_INDSTAPER " +
                      "FROM " + "MG3G_DOCDITTA WITH (NOLOCK) " +
                      "OUTER APPLY dbo.FNMG36_DOCUMENTI(MG3G_CODDOCUM_MG36, MG3G_DITTA_CG18, "
                      "MG3G_INDSTAPER_MG36) " +
                      "WHERE " + "MG3G_DITTA_CG18 = " + company.textOrEmpty() + " " + "AND " + "(";
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (i > 0) {
            sql += "OR ";
        }
        // The spacing is the one the lookup has always sent.
        sql += "(MG36_TIPODOC = " + std::to_string(kinds[i].type) +
               " AND MG36_STIPODOC = " + std::to_string(kinds[i].subtype) +
               (i + 1 < kinds.size() ? " ) " : ")");
    }
    sql += ") " + std::string("ORDER BY ") + "MG3G_CODDOCUM_MG36";
    return sql;
}

namespace {

void checkDocument(CodeField& field, const std::string& code, bool& cancel) {
    const CodeFieldDef& def = field.definition();
    std::string routine =
        def.validateRoutine.empty() ? "ControlloValiditaDoc" : std::string(def.validateRoutine);
    if (const DocumentKindRule* rule = field.documentRule()) {
        cancel = rule->checked && field.page().documentRefused(routine, code, rule->kinds);
        return;
    }
    cancel = field.page().documentRefused(routine, code, def.documentType, def.subtypes);
}

// A refused qualification is cleared with its description: the person may leave the field.
void checkQualification(CodeField& field, const std::string&, bool& cancel) {
    auto decode = field.page().clsDecodeProduzione();
    cancel = false;
    if (decode && decode->qualificationRefused(field.edit().text())) {
        field.page().ShowMessage(msg::QualificationRefused, krl::host::vbExclamation,
                                 field.page().title());
        field.edit().setText("");
        if (auto label = field.edit().descriptionLabel()) {
            label->setCaption("");
        }
    }
}

krl::host::LookupQuery lookupDocuments(krl::host::ClsLookupProduzione& lookup,
                                       const CodeFieldDef& field) {
    Variant subtype = field.lookupSubtype != 0 ? Variant(std::int32_t{field.lookupSubtype})
                      : field.subtypes.empty() ? Variant()
                                               : Variant(std::int32_t{field.subtypes.front()});
    return lookup.lookupDocuments(Variant(std::int32_t{field.documentType}), subtype);
}

constexpr CodeKindBehaviour kCodeKinds[] = {
    {CodeKind::Document, data::ColumnKind::DocumentCode,
     [](krl::host::ClsDecodeProduzione& decode, std::string_view code, std::string_view label) {
         return decode.decodeDocument(code, label);
     },
     lookupDocuments, checkDocument},
    {CodeKind::UncheckedDocument, data::ColumnKind::DocumentCode,
     [](krl::host::ClsDecodeProduzione& decode, std::string_view code, std::string_view label) {
         return decode.decodeDocument(code, label);
     },
     lookupDocuments, nullptr},
    {CodeKind::Deposit, data::ColumnKind::DepositCode,
     [](krl::host::ClsDecodeProduzione& decode, std::string_view code, std::string_view label) {
         return decode.decodeDeposit(code, label);
     },
     [](krl::host::ClsLookupProduzione& lookup, const CodeFieldDef&) {
         return lookup.lookupDeposits();
     },
     nullptr},
    {CodeKind::Qualification, data::ColumnKind::QualificationCode,
     [](krl::host::ClsDecodeProduzione& decode, std::string_view code, std::string_view label) {
         return decode.decodeQualification(code, label);
     },
     [](krl::host::ClsLookupProduzione& lookup, const CodeFieldDef&) {
         return lookup.lookupQualifications();
     },
     checkQualification},
};

}  // namespace

const CodeKindBehaviour& codeKind(CodeKind kind) {
    for (const CodeKindBehaviour& behaviour : kCodeKinds) {
        if (behaviour.kind == kind) {
            return behaviour;
        }
    }
    krl::err::raise(krl::err::InvalidProcedureCall, "Tipo di campo codice sconosciuto");
}

CodeField::CodeField(ParameterPage& page, CodeFieldDef definition, std::shared_ptr<kc::EditM> edit)
    : page_(page), definition_(std::move(definition)), edit_(std::move(edit)) {}

std::string CodeField::routine(std::string_view event) const {
    return std::string(definition_.control) + "_" + std::string(event);
}

void CodeField::StartDecode(kc::DecodeRequest& request) {
    std::shared_ptr<krl::host::ClsDecodeProduzione> decode = page_.clsDecodeProduzione();
    if (!decode) {
        return;
    }
    std::shared_ptr<kc::Label> label = edit_->descriptionLabel();
    krl::trap::run(routine("StartDecode"),
                   {
                       [&] {
                           if (label && krl::rtrim(edit_->text()).empty()) {
                               label->setCaption("");
                               krl::trap::exitRoutine();
                           }
                       },
                       [&] {
                           request.cancel = false;
                           std::string labelName = label ? label->name() : std::string();
                           krl::host::DecodeQuery query =
                               codeKind(definition_.kind).decode(*decode, edit_->text(), labelName);
                           request.sql = std::move(query.sql);
                           request.extra = std::move(query.extra);
                       },
                       [&] { request.connectionString = page_.hostConnectionString(); },
                   },
                   page_.errorRoutine());
}

const DocumentKindRule* CodeField::documentRule() const {
    const auto& rules = definition_.byDocumentKind;
    if (rules.empty()) {
        return nullptr;
    }
    const std::string key = krl::rtrim(
        pageMember<DocumentMembers>(page_, "TipoSottotipoDocumento").tipoSottotipoDocumento());
    for (const DocumentKindRule& rule : rules) {
        if (!rule.key.empty() && rule.key == key) {
            return &rule;
        }
    }
    for (const DocumentKindRule& rule : rules) {
        if (rule.key.empty()) {
            return &rule;
        }
    }
    return nullptr;
}

void CodeField::StartLookup(kc::LookupRequest& request) {
    // A field whose kinds follow the document lists those of the current rule.
    CodeFieldDef listed = definition_;
    std::vector<DocumentKind> mixed;
    if (const DocumentKindRule* rule = documentRule(); rule && !rule->kinds.empty()) {
        listed.documentType = rule->kinds.front().type;
        listed.subtypes.clear();
        for (const DocumentKind& kind : rule->kinds) {
            listed.subtypes.push_back(kind.subtype);
            if (kind.type != listed.documentType) {
                mixed = rule->kinds;
            }
        }
    }
    const CodeFieldDef& definition = listed;
    const std::vector<int>& subtypes = definition.subtypes;
    krl::trap::run(
        routine("StartLookup"),
        {
            [&] { request.cancel = false; },
            [&] {
                if (!definition.asksLookupObject) {
                    return;
                }
                std::shared_ptr<krl::host::ClsLookupProduzione> lookupObject =
                    page_.clsLookupProduzione();
                if (!lookupObject) {
                    krl::err::objectNotSet("ClsLookupProduzione");
                }
                krl::host::LookupQuery query =
                    codeKind(definition.kind).lookup(*lookupObject, definition);
                request.extra = std::move(query.extra);
                request.lookupText = std::move(query.text);
                request.sql = std::move(query.sql);
                edit_->setLookup(std::move(query.columns));
            },
            [&] {
                if (!mixed.empty()) {
                    request.sql = mixedDocumentLookupSql(
                        page_.TranslateMessage("Standard", msg::Standard, {}, 1),
                        page_.TranslateMessage("Personalizzato", msg::Personalizzato, {}, 1),
                        page_.companyCode(), mixed);
                } else if (definition.kind == CodeKind::Document && subtypes.size() > 1) {
                    request.sql = customDocumentLookupSql(
                        page_.TranslateMessage("Standard", msg::Standard, {}, 1),
                        page_.TranslateMessage("Personalizzato", msg::Personalizzato, {}, 1),
                        page_.companyCode(), definition.documentType, subtypes);
                }
            },
            [&] { request.connectionString = page_.hostConnectionString(); },
        },
        page_.errorRoutine());
}

void CodeField::Validate(bool& cancel) {
    std::string code = krl::rtrim(edit_->text());
    if (code.empty()) {
        if (auto label = edit_->descriptionLabel();
            label && definition_.kind == CodeKind::Qualification) {
            label->setCaption("");
        }
        return;
    }
    codeKind(definition_.kind).validate(*this, code, cancel);
}

}  // namespace duza_zovrena::pages
