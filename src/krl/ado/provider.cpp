#include "krl/ado/provider.h"

#include "krl/variant/text.h"

#include <cctype>
#include <utility>

#include "krl/ado/failure.h"

namespace krl::ado {

std::string lowerName(std::string_view name) {
    return krl::lowerAscii(name);
}

void Provider::fail(std::vector<Error> errors) {
    raiseErrors(&errors_, std::move(errors));
}

void ColumnSet::index() {
    byLowerName.clear();
    byLowerName.reserve(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        byLowerName.emplace(lowerName(columns[i].name), i);
    }
}

std::optional<std::size_t> ColumnSet::find(std::string_view name) const {
    auto found = byLowerName.find(lowerName(name));
    if (found == byLowerName.end()) {
        return std::nullopt;
    }
    return found->second;
}

}  // namespace krl::ado
