#include "krl/host/lookup_decode.h"

#include "krl/ado/ado.h"
#include "krl/host/cinterface.h"
#include "krl/host/global.h"
#include "krl/host/message_service.h"

namespace krl::host {

namespace {

constexpr std::string_view kDocumentSource =
    "FROM MG3G_DOCDITTA WITH (NOLOCK) "
    "OUTER APPLY dbo.FNMG36_DOCUMENTI(MG3G_CODDOCUM_MG36, MG3G_DITTA_CG18, MG3G_INDSTAPER_MG36) ";

Variant labelOrNull(std::string_view descriptionLabel) {
    return descriptionLabel.empty() ? Variant::null() : Variant(descriptionLabel);
}

DecodeQuery decodeQuery(std::string sql, std::string_view code, std::string_view descriptionLabel) {
    return {std::move(sql), Variant(VariantArray{Variant(code), labelOrNull(descriptionLabel)})};
}

constexpr LookupCaption kCode{11860, "Codice"};
constexpr LookupCaption kDescription{21091, "Descrizione"};
constexpr LookupCaption kId{0, "Id"};

// A whole number as a SQL literal; 13 when the value is not one.
std::string integerLiteral(const Variant& value) {
    return std::to_string(value.toInt32());
}

// The first column of the first row of a query, Null when there is no row.
Variant firstValue(ado::Connection& connection, const std::string& sql) {
    auto rows = connection.execute(sql, nullptr, ado::adCmdText);
    Variant value = Variant::null();
    if (rows && rows->state() == ado::adStateOpen) {
        if (!rows->eof()) {
            value = rows->fields().item(0).value();
        }
        rows->close();
    }
    return value;
}

}  // namespace

std::string codeLiteral(std::string_view code) {
    return "'" + doubleQuotes(rtrim(code)) + "'";
}

// --- HostQueryObject ---------------------------------------------------------------------------

HostQueryObject::~HostQueryObject() {
    try {
        release();
    } catch (...) {  // NOLINT(bugprone-empty-catch): nothing to report a closing error to
    }
}

void HostQueryObject::setProgramInterface(std::shared_ptr<Cinterface> programInterface) {
    programInterface_ = std::move(programInterface);
}

void HostQueryObject::release() {
    if (connection_ && connection_->state() == ado::adStateOpen) {
        connection_->close();
    }
    connection_.reset();
}

std::string HostQueryObject::companyLiteral(const Variant& company) const {
    if (!company.isEmpty()) {
        return integerLiteral(company);
    }
    if (!programInterface_) {
        err::objectNotSet("Cinterface");
    }
    std::shared_ptr<ClsGlobal> global = programInterface_->clsGlobal();
    if (!global) {
        err::objectNotSet("ClsGlobal");
    }
    return integerLiteral(global->currentCompany());
}

std::string HostQueryObject::connectionString() const {
    if (!programInterface_) {
        err::objectNotSet("Cinterface");
    }
    std::shared_ptr<ClsGlobal> global = programInterface_->clsGlobal();
    if (!global) {
        err::objectNotSet("ClsGlobal");
    }
    return global->connectionString();
}

ado::Connection& HostQueryObject::connection() {
    std::string wanted = connectionString();
    if (connection_ &&
        (connection_->state() != ado::adStateOpen || connection_->connectionString() != wanted)) {
        release();
    }
    if (!connection_) {
        auto opened = ado::Connection::create();
        opened->setConnectionString(wanted);
        opened->open();
        connection_ = std::move(opened);
    }
    return *connection_;
}

// --- ClsDecodeProduzione -----------------------------------------------------------------------

DecodeQuery ClsDecodeProduzione::decodeDocument(std::string_view code,
                                                std::string_view descriptionLabel) {
    std::string sql = "SELECT MG3G_CODDOCUM_MG36, MG36_DESCDOCUM ";
    sql += kDocumentSource;
    sql += "WHERE MG3G_DITTA_CG18 = " + companyLiteral() + " ";
    sql += "AND MG3G_CODDOCUM_MG36 = " + codeLiteral(code);
    return decodeQuery(std::move(sql), code, descriptionLabel);
}

DecodeQuery ClsDecodeProduzione::decodeDeposit(std::string_view code,
                                               std::string_view descriptionLabel) {
    std::string sql =
        "SELECT MG58_CODICE, MG58_DESCRIZIONE FROM MG58_DEPOSITI WITH (NOLOCK) "
        "WHERE MG58_DITTA_CG18 = " +
        companyLiteral() + " AND MG58_CODICE = " + codeLiteral(code);
    return decodeQuery(std::move(sql), code, descriptionLabel);
}

DecodeQuery ClsDecodeProduzione::decodeQualification(std::string_view code,
                                                     std::string_view descriptionLabel) {
    std::string sql =
        "SELECT PD04_CODICE, PD04_DESCRIZIONE FROM PD04_QUALIFICHE WITH (NOLOCK) "
        "WHERE PD04_DITTA_CG18 = " +
        companyLiteral() + " AND PD04_CODICE = " + codeLiteral(code);
    return decodeQuery(std::move(sql), code, descriptionLabel);
}

bool ClsDecodeProduzione::qualificationRefused(std::string_view code) {
    if (rtrim(code).empty()) {
        return false;
    }
    std::string sql =
        "SELECT COUNT(*) FROM PD04_QUALIFICHE WITH (NOLOCK) WHERE PD04_DITTA_CG18 = " +
        companyLiteral() + " AND PD04_CODICE = " + codeLiteral(code);
    return numericValue(firstValue(connection(), sql)) == 0;
}

Variant HostQueryObject::captions(std::initializer_list<LookupCaption> list) const {
    std::shared_ptr<MessageService> service;
    if (programInterface_) {
        if (auto global = programInterface_->clsGlobal()) {
            service = global->messageService();
        }
    }
    VariantArray array;
    for (const LookupCaption& caption : list) {
        std::string text = caption.text;
        if (service && caption.messageId != 0) {
            std::string translated = service->textFromId(caption.messageId, {});
            if (!translated.empty()) {
                text = std::move(translated);
            }
        }
        array.emplace_back(std::move(text));
    }
    return Variant(std::move(array));
}

// --- ClsLookupProduzione -----------------------------------------------------------------------

LookupQuery ClsLookupProduzione::lookupDocuments(const Variant& type, const Variant& subtype,
                                                 const Variant& company) {
    std::string sql = "SELECT MG3G_CODDOCUM_MG36, MG36_DESCDOCUM ";
    sql += kDocumentSource;
    sql += "WHERE MG3G_DITTA_CG18 = " + companyLiteral(company) + " ";
    if (!type.isEmpty()) {
        sql += "AND MG36_TIPODOC = " + integerLiteral(type) + " ";
    }
    if (!subtype.isEmpty()) {
        sql += "AND MG36_STIPODOC = " + integerLiteral(subtype) + " ";
    }
    sql += "ORDER BY MG3G_CODDOCUM_MG36";
    return {std::move(sql), Variant(VariantArray{type, subtype, company}), "Documenti",
            captions({kCode, kDescription})};
}

LookupQuery ClsLookupProduzione::lookupDeposits(const Variant& company) {
    std::string sql =
        "SELECT MG58_CODICE, MG58_DESCRIZIONE FROM MG58_DEPOSITI WITH (NOLOCK) "
        "WHERE MG58_DITTA_CG18 = " +
        companyLiteral(company) + " ORDER BY MG58_CODICE";
    return {std::move(sql), Variant(VariantArray{company}), "Depositi",
            captions({kCode, kDescription})};
}

LookupQuery ClsLookupProduzione::lookupQualifications(const Variant& company) {
    std::string sql =
        "SELECT PD04_CODICE, PD04_DESCRIZIONE FROM PD04_QUALIFICHE WITH (NOLOCK) "
        "WHERE PD04_DITTA_CG18 = " +
        companyLiteral(company) + " ORDER BY PD04_CODICE";
    return {std::move(sql), Variant(VariantArray{company}), "Qualifiche",
            captions({kCode, kDescription})};
}

// --- Parametric price lists --------------------------------------------------------------------

DecodeQuery ClsDecodeListiniParametrici::decodePriorityTable(std::string_view code,
                                                             std::string_view descriptionLabel) {
    std::string sql =
        "SELECT LP09_CODICE, LP09_DESCRIZIONE FROM LP09_TESTATAPRIORITA WITH (NOLOCK) "
        "WHERE LP09_DITTA_CG18 = " +
        companyLiteral() + " AND LP09_CODICE = " + codeLiteral(code);
    return decodeQuery(std::move(sql), code, descriptionLabel);
}

Variant ClsDecodeListiniParametrici::idOfCode(std::string_view code) {
    if (rtrim(code).empty()) {
        return Variant::null();
    }
    return firstValue(connection(),
                      "SELECT LP09_ID FROM LP09_TESTATAPRIORITA WITH (NOLOCK) "
                      "WHERE LP09_DITTA_CG18 = " +
                          companyLiteral() + " AND LP09_CODICE = " + codeLiteral(code));
}

Variant ClsDecodeListiniParametrici::codeOfId(const Variant& id) {
    if (id.isNull() || id.isEmpty() || rtrim(id.textOrEmpty()).empty()) {
        return Variant::null();
    }
    return firstValue(connection(),
                      "SELECT LP09_CODICE FROM LP09_TESTATAPRIORITA WITH (NOLOCK) "
                      "WHERE LP09_DITTA_CG18 = " +
                          companyLiteral() + " AND LP09_ID = " + integerLiteral(id));
}

LookupQuery ClsLookupListiniParametrici::lookupPriorityTables(const Variant& company) {
    std::string sql =
        "SELECT LP09_CODICE, LP09_DESCRIZIONE, LP09_ID FROM LP09_TESTATAPRIORITA WITH (NOLOCK) "
        "WHERE LP09_DITTA_CG18 = " +
        companyLiteral(company) + " ORDER BY LP09_CODICE";
    return {std::move(sql), Variant(VariantArray{company}), "Tabelle priorità listini",
            captions({kCode, kDescription, kId})};
}

}  // namespace krl::host
