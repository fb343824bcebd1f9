#include "krl/ado/failure.h"

#include <sqlite3.h>

#include <string_view>
#include <utility>

namespace krl::ado {

Refusal refusalOf(const Error& error) {
    const long code = error.nativeError;
    if (std::string_view(error.source) == kSqliteSource) {
        switch (code) {
            case SQLITE_CONSTRAINT_NOTNULL:
                return Refusal::MissingValue;
            case SQLITE_CONSTRAINT_PRIMARYKEY:
            case SQLITE_CONSTRAINT_UNIQUE:
                return Refusal::DuplicateKey;
            case SQLITE_CONSTRAINT_FOREIGNKEY:
                return Refusal::MissingReference;
            case SQLITE_CONSTRAINT_CHECK:
                return Refusal::NotAllowed;
            default:
                break;
        }
        switch (code & 0xFF) {
            case SQLITE_BUSY:
            case SQLITE_LOCKED:
                return Refusal::Busy;
            case SQLITE_READONLY:
                return Refusal::ReadOnly;
            default:
                return Refusal::Other;
        }
    }
    switch (code) {
        case 515:  // NULL into a NOT NULL column
            return Refusal::MissingValue;
        case 2601:  // duplicate key in a unique index
        case 2627:  // primary key or unique constraint
            return Refusal::DuplicateKey;
        case 547:  // foreign key or check constraint
            return Refusal::NotAllowed;
        case 1205:  // chosen as deadlock victim
        case 1222:  // lock request time-out
            return Refusal::Busy;
        case 3906:  // database is read-only
            return Refusal::ReadOnly;
        default:
            return Refusal::Other;
    }
}

void raiseErrors(Errors* errors, std::vector<Error> list) {
    if (list.empty()) {
        list.push_back({adErrProvider, "Errore sconosciuto del database.", kSource, {}, 0});
    }
    VbError raised(list.front().number, list.front().description, list.front().source);
    if (errors != nullptr) {
        for (auto& error : list) {
            errors->add(std::move(error));
        }
    }
    throw raised;
}

void raiseError(Errors* errors, long number, std::string description) {
    raiseErrors(errors, {{number, std::move(description), kSource, {}, 0}});
}

}  // namespace krl::ado
