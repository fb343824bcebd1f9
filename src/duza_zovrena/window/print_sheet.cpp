// The printable sheet of the company's parameters: each page's captions with the values as a
// person reads them on the page (list labels rather than codes, "Sì"/"No" for check boxes).

#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/pages/column_place.h"
#include "duza_zovrena/pages/page.h"
#include "duza_zovrena/pages/page_list.h"
#include "duza_zovrena/window/frmpd_zovrena.h"
#include "krl/ado/ado.h"
#include "krl/controls/check_box.h"
#include "krl/controls/combo.h"
#include "krl/host/print.h"
#include "krl/host/progid.h"
#include "krl/trap/trap.h"
#include "krl/variant/text.h"

namespace duza_zovrena::window {

namespace {

std::string cellText(const krl::Variant& value) {
    if (value.isNull() || value.isEmpty()) {
        return {};
    }
    return krl::rtrim(value.toText());
}

// The page's control bound to the column, when the page has one.
const krl::controls::Control* boundTo(const pages::Page* page, std::string_view column) {
    if (page == nullptr) {
        return nullptr;
    }
    for (const auto& control : page->controls()) {
        if (krl::sameText(control->dbField(), column)) {
            return control.get();
        }
    }
    return nullptr;
}

// The value as the page's control shows it.
std::string readable(const pages::Page* page, const data::ColumnDef& column,
                     const krl::Variant& value) {
    std::string code = cellText(value);
    const krl::controls::Control* control = boundTo(page, column.name);
    if (auto* combo = dynamic_cast<const krl::controls::Combo*>(control)) {
        for (const auto& row : combo->rows()) {
            if (!code.empty() && krl::parseNumber(row.value) == krl::parseNumber(code)) {
                return row.label;
            }
        }
    }
    if (dynamic_cast<const krl::controls::CheckBox*>(control) != nullptr) {
        return krl::numericValue(value) == 1 ? "Sì" : "No";
    }
    return code;
}

}  // namespace

krl::host::PrintSheet FRMPD_ZOVRENA::printSheet() {
    krl::host::PrintSheet sheet;
    sheet.title = caption_;
    if (!rsGeneral_ || rsGeneral_->state() != krl::ado::adStateOpen || rsGeneral_->bof() ||
        rsGeneral_->eof()) {
        return sheet;
    }
    for (const auto& declared : pages::pageList()) {
        if (declared.record != pages::PageRecord::General) {
            continue;
        }
        // The page shown in the window knows its lists; otherwise a fresh one is built for it.
        std::shared_ptr<pages::Page> page = this->page(declared.item);
        if (!page) {
            krl::trap::ignoring([&] {
                page =
                    krl::host::createObjectAs<pages::Page>(pages::pageProgId(declared.className));
                page->prepareValueLists();
            });
        }
        for (const auto& column : data::generalColumns()) {
            const auto place = pages::columnPlace(data::Record::General, column.name);
            if (!place || place->page->className != declared.className) {
                continue;
            }
            krl::Variant value;
            krl::trap::ignoring([&] { value = (*rsGeneral_)[column.name].value(); });
            sheet.rows.push_back(
                {declared.title, std::string(column.caption), readable(page.get(), column, value)});
        }
    }
    return sheet;
}

}  // namespace duza_zovrena::window
