#pragma once

// How the layer reports a failure: the error goes into the connection's Errors collection (when
// there is one) and is raised as a VbError with the same number and description.

#include <string>
#include <vector>

#include "krl/ado/ado.h"

namespace krl::ado {

inline constexpr const char* kSource = "krl::ado";
inline constexpr const char* kSqliteSource = "SQLite";

namespace text {
inline constexpr const char* NoCurrentRecord =
    "BOF o EOF è True, oppure il record corrente è stato eliminato: l'operazione richiede un "
    "record "
    "corrente.";
inline constexpr const char* ItemNotFound =
    "Impossibile trovare nell'insieme l'elemento corrispondente al nome o al numero richiesto.";
inline constexpr const char* ObjectClosed = "Operazione non consentita se l'oggetto è chiuso.";
inline constexpr const char* ObjectOpen = "Operazione non consentita se l'oggetto è aperto.";
inline constexpr const char* NotUpdatable = "Il recordset non consente aggiornamenti.";
inline constexpr const char* NoConnection =
    "La connessione non può essere usata: non è impostata o non è aperta.";
inline constexpr const char* UnknownProvider =
    "Provider non trovato: la stringa di connessione deve iniziare con \"sqlite:\" o \"odbc:\".";
inline constexpr const char* UpdateConflict =
    "Il record è stato modificato o eliminato da un altro utente dopo la lettura.";
}  // namespace text

// What a database's refusal to write means for the person, whichever engine raised it: SQLite's
// extended result codes, SQL Server's native error numbers.
enum class Refusal {
    Other,
    MissingValue,
    DuplicateKey,
    MissingReference,
    NotAllowed,
    Busy,
    ReadOnly
};
Refusal refusalOf(const Error& error);

// Adds every error to the collection and raises the first one.
[[noreturn]] void raiseErrors(Errors* errors, std::vector<Error> list);

// One error of the layer itself.
[[noreturn]] void raiseError(Errors* errors, long number, std::string description);

}  // namespace krl::ado
