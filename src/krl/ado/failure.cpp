#include "krl/ado/failure.h"

#include <utility>

namespace krl::ado {

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
