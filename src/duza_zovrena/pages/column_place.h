#pragma once

#include <optional>
#include <string_view>

#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/pages/declaration.h"

namespace duza_zovrena::pages {

// Where a column of a parameter record is shown: the page of the list and its control bound to it.
struct ColumnPlace {
    const PageDeclaration* page = nullptr;
    const ControlDef* control = nullptr;
};

// The place of the column (name compared ignoring case) on the pages of the list; nullopt when no
// page shows it.
std::optional<ColumnPlace> columnPlace(data::Record record, std::string_view column);

// The record whose columns the page's controls show; nullopt for a page without one.
std::optional<data::Record> recordShown(const PageDeclaration& page);

}  // namespace duza_zovrena::pages
