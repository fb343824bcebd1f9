#include "duza_zovrena/pages/column_place.h"

#include "duza_zovrena/pages/page_list.h"
#include "krl/variant/text.h"

namespace duza_zovrena::pages {

std::optional<data::Record> recordShown(const PageDeclaration& page) {
    switch (page.record) {
        case PageRecord::General:
            return data::Record::General;
        case PageRecord::Document:
            return data::Record::Document;
        case PageRecord::Transfer:
            break;
    }
    return std::nullopt;
}

std::optional<ColumnPlace> columnPlace(data::Record record, std::string_view column) {
    for (const PageDeclaration& page : pageList()) {
        if (recordShown(page) != record) {
            continue;
        }
        for (const ControlDef& control : page.controls) {
            if (!control.column.empty() && krl::sameText(control.column, column)) {
                return ColumnPlace{&page, &control};
            }
        }
    }
    return std::nullopt;
}

}  // namespace duza_zovrena::pages
