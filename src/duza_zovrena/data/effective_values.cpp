#include "duza_zovrena/data/effective_values.h"

#include <array>
#include <utility>

#include "krl/variant/text.h"

namespace duza_zovrena::data {

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 15> kFollows{{
    {"PD88_INDLOCDISBA", "PD42_INDLOCDISBA"},
    {"PD88_INDMODORDLAV", "PD42_FLGMODORDLAV"},
    {"PD88_INDINTORDLAV", "PD42_INDINTORDLAV"},
    {"PD88_INDIMPGENORD", "PD42_FLGIMPGENORD"},
    {"PD88_INDIMPGENLISP", "PD42_FLGIMPGENLISP"},
    {"PD88_INDSCAGENORD", "PD42_FLGSCAGENORD"},
    {"PD88_INDSCAGENLISP", "PD42_FLGSCAGENLISP"},
    {"PD88_INDSCAGENLISPCL", "PD42_FLGSCAGENLISPCL"},
    {"PD88_INDDDTCLVERS", "PD42_FLGDDTCLVERS"},
    {"PD88_INDSTATI", "PD42_FLGSTATI"},
    {"PD88_INDTIPOVERSQTA", "PD42_INDTIPOVERSQTA"},
    {"PD88_INDMODSCARTO", "PD42_INDMODSCARTO"},
    {"PD88_INDAVANZFASEINT", "PD42_INDAVANZFASEINT"},
    {"PD88_INDAVANZFASEEST", "PD42_INDAVANZFASEEST"},
    {"PD88_INDCARSFRIDOCL", "PD42_INDCARSFRIDOCL"},
}};

}  // namespace

std::string_view generalColumnFollowed(std::string_view documentColumn) {
    for (const auto& [document, general] : kFollows) {
        if (krl::sameText(document, documentColumn)) {
            return general;
        }
    }
    return {};
}

EffectiveValue effectiveValue(std::string_view documentColumn, const krl::Variant& stored,
                              const std::function<krl::Variant(std::string_view)>& general) {
    const std::string_view followed = generalColumnFollowed(documentColumn);
    const bool zero = stored.isNull() || krl::numericValue(stored) == 0;
    if (followed.empty() || !zero) {
        return {stored, {}};
    }
    const krl::Variant generalCode = general(followed);
    if (generalCode.isNull() || generalCode.isEmpty()) {
        return {krl::Variant::null(), followed};
    }
    return {krl::Variant(static_cast<std::int32_t>(krl::numericValue(generalCode)) + 1), followed};
}

}  // namespace duza_zovrena::data
