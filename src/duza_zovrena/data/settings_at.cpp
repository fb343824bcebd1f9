#include "duza_zovrena/data/settings_at.h"

#include <cctype>
#include <map>

#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/data/effective_values.h"
#include "duza_zovrena/data/history.h"
#include "krl/ado/ado.h"
#include "krl/variant/text.h"

namespace duza_zovrena::data {

namespace {

namespace ado = krl::ado;

using Values = std::map<std::string, std::optional<std::string>>;

std::string quoted(std::string_view text) {
    return "'" + krl::doubleQuotes(text) + "'";
}

bool exists(ado::Connection& connection, const std::string& sql) {
    auto rows = connection.execute(sql);
    const bool found = rows->state() == ado::adStateOpen && !rows->eof();
    if (rows->state() == ado::adStateOpen) {
        rows->close();
    }
    return found;
}

std::string rowCondition(Record record, std::int32_t company,
                         const std::optional<std::string>& document) {
    if (record == Record::General) {
        return "PD42_DITTA_CG18 = " + std::to_string(company);
    }
    return "PD88_DITTA_CG18 = " + std::to_string(company) +
           " AND PD88_CODDOC_MG36 = " + quoted(document.value_or(""));
}

// The row's columns as stored now (every one NULL when there is no row), then taken back through
// the changes recorded after the moment, newest first: each line's old value is what the column
// held before it.
Values valuesAt(ado::Connection& connection, Record record, std::int32_t company,
                const std::optional<std::string>& document, const std::optional<std::string>& at) {
    Values values;
    for (const ColumnDef& column : columns(record)) {
        values[std::string(column.name)] = std::nullopt;
    }
    auto rows =
        connection.execute("SELECT * FROM " + std::string(tableName(record)) +
                           " WITH (NOLOCK) WHERE " + rowCondition(record, company, document));
    if (rows->state() == ado::adStateOpen) {
        if (!rows->eof()) {
            for (auto& field : rows->fields()) {
                values[krl::upperAscii(field.name())] = historyText(field.value());
            }
        }
        rows->close();
    }
    if (at) {
        const HistoryRecord history{company, std::string(tableName(record)), document, false};
        for (const HistoryEntry& entry : changesAfter(connection, history, *at)) {
            for (const ColumnChange& line : entry.columns) {
                values[krl::upperAscii(line.column)] = line.before;
            }
        }
    }
    return values;
}

int number(std::string_view text) {
    int value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::string historyMoment(std::string_view text) {
    const auto bad = [&] {
        return SettingsError("Data non valida per --at: \"" + std::string(text) +
                             "\" (indicare AAAA-MM-GG oppure AAAA-MM-GGTHH:MM).");
    };
    const bool withTime = text.size() == 16;
    if (text.size() != 10 && !withTime) {
        throw bad();
    }
    const std::string_view pattern = "dddd-dd-ddTdd:dd";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (pattern[i] == 'd' ? !digit : text[i] != pattern[i]) {
            throw bad();
        }
    }
    const int year = number(text.substr(0, 4));
    const int month = number(text.substr(5, 2));
    const int day = number(text.substr(8, 2));
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1 ||
        day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) {
        throw bad();
    }
    if (withTime && (number(text.substr(11, 2)) > 23 || number(text.substr(14, 2)) > 59)) {
        throw bad();
    }
    return withTime ? std::string(text) + ":00" : std::string(text) + "T00:00:00";
}

std::vector<SettingLine> settingsAt(ado::Connection& connection, const SettingsQuery& query) {
    const std::string company = std::to_string(query.company);
    if (!exists(
            connection,
            "SELECT CG18_CODICE FROM CG18_DITTE WITH (NOLOCK) WHERE CG18_CODICE = " + company)) {
        throw SettingsError("Ditta " + company + " sconosciuta: non è nella tabella delle ditte.");
    }
    const Record record = query.document ? Record::Document : Record::General;
    std::optional<std::string> document;
    if (query.document) {
        document = krl::rtrim(*query.document);
        const bool known =
            exists(connection, "SELECT PD88_CODDOC_MG36 FROM PD88_ZOVRENADOC WITH (NOLOCK) WHERE " +
                                   rowCondition(record, query.company, document)) ||
            exists(connection,
                   "SELECT PD97_ID FROM PD97_STORICO WITH (NOLOCK) WHERE "
                   "PD97_DITTA_CG18 = " +
                       company +
                       " AND PD97_TABELLA = 'PD88_ZOVRENADOC' AND "
                       "PD97_CODDOC_MG36 = " +
                       quoted(*document));
        if (!known) {
            throw SettingsError("Documento \"" + *document + "\" sconosciuto: la ditta " + company +
                                " non ha parametri per questo documento.");
        }
    }

    const Values values = valuesAt(connection, record, query.company, document, query.at);
    Values general;
    if (record == Record::Document) {
        general = valuesAt(connection, Record::General, query.company, std::nullopt, query.at);
    }
    const auto readGeneral = [&](std::string_view column) {
        const auto found = general.find(std::string(column));
        return found != general.end() && found->second ? krl::Variant(*found->second)
                                                       : krl::Variant::null();
    };

    std::vector<SettingLine> lines;
    for (const ColumnDef& column : columns(record)) {
        SettingLine line;
        line.column = std::string(column.name);
        line.caption = column.caption;
        line.stored = values.at(line.column);
        if (record == Record::Document && !generalColumnFollowed(column.name).empty()) {
            const krl::Variant stored =
                line.stored ? krl::Variant(*line.stored) : krl::Variant::null();
            const EffectiveValue effective = effectiveValue(column.name, stored, readGeneral);
            if (!effective.fromGeneral.empty()) {
                line.effective = historyText(effective.code);
                line.fromGeneral = effective.fromGeneral;
            }
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace duza_zovrena::data
