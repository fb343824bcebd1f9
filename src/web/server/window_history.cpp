#include "web/server/window_history.h"

#include <algorithm>
#include <span>

#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/pages/page_list.h"
#include "duza_zovrena/window/frmpd_zovrena.h"
#include "krl/ado/ado.h"
#include "krl/frame/virtual_frame.h"
#include "krl/variant/text.h"
#include "web/server/json_writer.h"

namespace zovrena::web {

namespace {

namespace data = duza_zovrena::data;
namespace pages = duza_zovrena::pages;

constexpr std::string_view kTransferTable = "PD49_PARDOCPROD";

// A column by the caption its control shows: the column table's for the parameter rows, the
// grid's for the transfer settings; the column's name when nothing shows it.
std::string captionOf(const std::string& table, const std::string& column) {
    if (table == kTransferTable) {
        if (const auto* page = pages::findPageByClass("CTLPD_PRT_TRPERS")) {
            for (const auto& grid : page->grids) {
                for (const auto& shown : grid.columns) {
                    if (krl::sameText(shown.field, column) && !shown.caption.empty()) {
                        return std::string(shown.caption);
                    }
                }
            }
        }
        return column;
    }
    const data::Record record = table == data::tableName(data::Record::General)
                                    ? data::Record::General
                                    : data::Record::Document;
    const data::ColumnDef* found = data::findColumn(record, column);
    return found && !found->caption.empty() ? std::string(found->caption) : column;
}

void writeValue(JsonWriter& json, std::string_view name, const std::optional<std::string>& value) {
    json.key(name);
    if (value) {
        json.value(*value);
    } else {
        json.null();
    }
}

}  // namespace

std::optional<HistoryView> HistoryView::open(duza_zovrena::window::FRMPD_ZOVRENA& window,
                                             std::string& notice) {
    HistoryView view;
    view.record_.company = window.companyCode().toInt32();
    const pages::PageDeclaration* page = pages::findPageByItem(window.currentItem());
    const pages::PageRecord kind = page ? page->record : pages::PageRecord::General;
    if (kind == pages::PageRecord::Transfer) {
        view.record_.table = std::string(kTransferTable);
        view.record_.allDocuments = true;
        view.title_ = "Storico - Trasferimento campi personalizzati";
    } else if (kind == pages::PageRecord::Document) {
        const auto frame = window.documentFrame();
        const auto rows = frame ? frame->recordset() : nullptr;
        if (!frame || frame->blank() || !rows || rows->eof() || rows->bof()) {
            notice = "Indicare prima il codice documento.";
            return std::nullopt;
        }
        view.record_.table = std::string(data::tableName(data::Record::Document));
        view.record_.documentCode = data::historyText((*rows)["PD88_CODDOC_MG36"].value());
        view.title_ = "Storico - Documento " + view.record_.documentCode.value_or("");
    } else {
        view.record_.table = std::string(data::tableName(data::Record::General));
        view.title_ = "Storico - Parametri generali";
    }
    auto& connection = *window.connection();
    view.ids_ = data::changeSetIds(connection, view.record_);
    view.more(window);
    return view;
}

void HistoryView::more(duza_zovrena::window::FRMPD_ZOVRENA& window) {
    const std::size_t from = shown_.size();
    if (from >= ids_.size()) {
        return;
    }
    const std::size_t count = std::min(kPageSize, ids_.size() - from);
    auto page = data::changeSets(*window.connection(),
                                 std::span<const std::int64_t>(ids_).subspan(from, count));
    std::move(page.begin(), page.end(), std::back_inserter(shown_));
}

void HistoryView::write(JsonWriter& json) const {
    json.object()
        .field("title", title_)
        .field("total", static_cast<std::int64_t>(ids_.size()))
        .key("rows")
        .array();
    for (const auto& entry : shown_) {
        json.object().field("id", entry.id).field("user", entry.user).field("time", entry.time);
        writeValue(json, "document", entry.documentCode);
        json.key("columns").array();
        for (const auto& line : entry.columns) {
            json.object()
                .field("column", line.column)
                .field("caption", captionOf(record_.table, line.column));
            writeValue(json, "before", line.before);
            writeValue(json, "after", line.after);
            json.end();
        }
        json.end().end();
    }
    json.end().end();
}

}  // namespace zovrena::web
