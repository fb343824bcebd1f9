#include <utility>

#include "krl/ado/ado.h"
#include "krl/ado/failure.h"
#include "krl/ado/provider.h"

namespace krl::ado {

namespace {

constexpr std::string_view kSqlitePrefix = "sqlite:";
constexpr std::string_view kOdbcPrefix = "odbc:";

}  // namespace

std::shared_ptr<Connection> Connection::create() {
    return std::shared_ptr<Connection>(new Connection());
}

Connection::~Connection() = default;

void Connection::setConnectionString(std::string value) {
    if (provider_) {
        raiseError(nullptr, adErrObjectOpen, text::ObjectOpen);
    }
    connectionString_ = std::move(value);
}

void Connection::open(std::string_view user, std::string_view password, long /*options*/) {
    if (provider_) {
        raiseError(nullptr, adErrObjectOpen, text::ObjectOpen);
    }
    errors_.clear();
    std::string_view target = connectionString_;
    if (target.starts_with(kSqlitePrefix)) {
        provider_ = openSqliteProvider(target.substr(kSqlitePrefix.size()), errors_);
    } else if (target.starts_with(kOdbcPrefix)) {
        std::string odbc(target.substr(kOdbcPrefix.size()));
        if (!user.empty()) {
            if (!odbc.empty() && odbc.back() != ';') {
                odbc += ';';
            }
            odbc += "UID=" + std::string(user) + ";PWD=" + std::string(password) + ";";
        }
        provider_ = openOdbcProvider(odbc, errors_);
    } else {
        raiseError(&errors_, adErrProviderNotFound, text::UnknownProvider);
    }
}

void Connection::close() {
    if (!provider_) {
        raiseError(nullptr, adErrObjectClosed, text::ObjectClosed);
    }
    provider_.reset();
}

int Connection::state() const {
    return provider_ ? adStateOpen : adStateClosed;
}

Provider& Connection::provider() {
    if (!provider_) {
        raiseError(nullptr, adErrObjectClosed, text::ObjectClosed);
    }
    return *provider_;
}

Variant Connection::lastInsertedId() {
    Provider& engine = provider();
    errors_.clear();
    const std::string query = engine.lastIdentityQuery();
    if (query.empty()) {
        return Variant::null();
    }
    QueryResult result = engine.run(query, {}, true);
    if (result.rows.empty() || result.rows.front().empty()) {
        return Variant::null();
    }
    return result.rows.front().front();
}

void Connection::beginTrans() {
    errors_.clear();
    provider().beginTransaction();
}

void Connection::commitTrans() {
    errors_.clear();
    provider().commit();
}

void Connection::rollbackTrans() {
    if (provider_) {
        provider_->rollback();
    }
}

std::shared_ptr<Recordset> Connection::execute(std::string_view commandText, long* recordsAffected,
                                               long options) {
    Provider& engine = provider();
    errors_.clear();
    const bool noRecords = options != adOptionUnspecified && (options & adExecuteNoRecords) != 0;
    traceProgramText(commandText);
    QueryResult result = engine.run(engine.engineText(commandText), {}, !noRecords);
    if (recordsAffected != nullptr) {
        *recordsAffected = result.recordsAffected;
    }
    if (noRecords) {
        return nullptr;
    }
    auto recordset = Recordset::create();
    if (result.columns) {
        recordset->openResult(shared_from_this(), std::string(commandText), std::move(result));
    }
    return recordset;
}

}  // namespace krl::ado
