#include "duza_zovrena/params/param_json.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

namespace duza_zovrena::params {

namespace {

using Json = nlohmann::json;

constexpr std::string_view kDocumentCode = "PD88_CODDOC_MG36";

Json valueJson(const krl::Variant& value) {
    if (value.isNull() || value.isEmpty()) {
        return nullptr;
    }
    if (value.isString()) {
        return value.textOrEmpty();
    }
    const double number = krl::numericValue(value);
    if (std::trunc(number) == number) {
        return static_cast<std::int64_t>(number);
    }
    return number;
}

Json rowJson(const Values& values) {
    Json row = Json::object();
    for (const auto& [column, value] : values) {
        row[column] = valueJson(value);
    }
    return row;
}

// Reads one object of the file, naming its place in every message.
class Reader {
  public:
    explicit Reader(std::string place) : place_(std::move(place)) {}

    [[noreturn]] void fail(const std::string& text) const { throw BadInput(place_ + ": " + text); }

    const Json& object(const Json& json) const {
        if (!json.is_object()) {
            fail("atteso un oggetto JSON");
        }
        return json;
    }

    // A row of the record: every column the sets carry, no other (the keys are read apart).
    Values row(const Json& json, data::Record record, std::string_view key = {}) const {
        object(json);
        Values values;
        for (const auto& [name, value] : json.items()) {
            if (name == key) {
                continue;
            }
            const data::ColumnDef* column = data::findColumn(record, name);
            if (column == nullptr || column->name != name || !carried(*column)) {
                fail("colonna sconosciuta \"" + name + "\"");
            }
            values.emplace(name, Reader(place_ + ", colonna " + name).value(*column, value));
        }
        for (const data::ColumnDef& column : data::columns(record)) {
            if (carried(column) && !values.contains(column.name)) {
                fail("colonna mancante \"" + std::string(column.name) + "\"");
            }
        }
        return values;
    }

    krl::Variant value(const data::ColumnDef& column, const Json& json) const {
        if (json.is_null()) {
            return krl::Variant::null();
        }
        switch (column.kind) {
            case data::ColumnKind::DocumentCode:
            case data::ColumnKind::DepositCode:
            case data::ColumnKind::QualificationCode:
                return text(json, column.width);
            case data::ColumnKind::Flag: {
                const std::int64_t flag = integer(json);
                if (flag != 0 && flag != 1) {
                    fail("atteso 0 o 1, trovato " + json.dump());
                }
                return krl::Variant(flag);
            }
            case data::ColumnKind::Indicator: {
                const std::int64_t code = integer(json);
                if (code < std::numeric_limits<std::int16_t>::min() ||
                    code > std::numeric_limits<std::int16_t>::max()) {
                    fail("valore fuori dall'intervallo ammesso: " + json.dump());
                }
                return krl::Variant(code);
            }
            case data::ColumnKind::PriorityTableId:
                // By code; an id that named no table of the company it came from stays a number.
                return json.is_string() ? krl::Variant(text(json, 20))
                                        : krl::Variant(integer(json));
            case data::ColumnKind::Number:
                return number(json, column.width);
            default:
                fail("colonna non trasferibile");
        }
    }

    std::string text(const Json& json, int width) const {
        if (!json.is_string()) {
            fail("atteso un testo, trovato " + json.dump());
        }
        std::string code = krl::rtrim(json.get<std::string>());
        if (width > 0 && static_cast<int>(code.size()) > width) {
            fail("testo di " + std::to_string(code.size()) + " caratteri, al massimo " +
                 std::to_string(width));
        }
        return code;
    }

    std::int64_t integer(const Json& json) const {
        if (json.is_number_integer()) {
            return json.get<std::int64_t>();
        }
        fail("atteso un numero intero, trovato " + json.dump());
    }

    krl::Variant number(const Json& json, int width) const {
        if (!json.is_number()) {
            fail("atteso un numero, trovato " + json.dump());
        }
        const krl::Variant value =
            canonical(data::ColumnKind::Number, krl::Variant(json.get<double>()));
        const std::string shown = krl::numberText(krl::numericValue(value));
        if (width > 0 && static_cast<int>(shown.size()) > width) {
            fail("numero di " + std::to_string(shown.size()) + " caratteri, al massimo " +
                 std::to_string(width));
        }
        return value;
    }

    const std::string& place() const { return place_; }

  private:
    std::string place_;
};

const Json& member(const Reader& reader, const Json& json, const char* name) {
    auto found = json.find(name);
    if (found == json.end()) {
        reader.fail(std::string("manca \"") + name + "\"");
    }
    return *found;
}

const Json& list(const Reader& reader, const Json& json, const char* name) {
    const Json& items = member(reader, json, name);
    if (!items.is_array()) {
        reader.fail(std::string("\"") + name + "\" deve essere un elenco");
    }
    return items;
}

std::string code(const Reader& reader, const Json& row, std::string_view key) {
    auto found = row.find(key);
    if (found == row.end()) {
        reader.fail("manca \"" + std::string(key) + "\"");
    }
    std::string text = Reader(reader.place() + ", colonna " + std::string(key)).text(*found, 14);
    if (text.empty()) {
        reader.fail("codice documento vuoto");
    }
    return text;
}

}  // namespace

std::string toJson(const ParamSet& set, long company) {
    Json documents = Json::array();
    for (const DocumentRow& row : set.documents) {
        Json json = rowJson(row.values);
        json[std::string(kDocumentCode)] = row.code;
        documents.push_back(std::move(json));
    }
    Json transfers = Json::array();
    for (const TransferRow& row : set.transfers) {
        transfers.push_back({{std::string(kTransferCode), row.code},
                             {std::string(kTransferHead), valueJson(row.head)},
                             {std::string(kTransferBody), valueJson(row.body)}});
    }
    Json file = {{"formato", kFormatName},
                 {"versione", kFormatVersion},
                 {"ditta", company},
                 {"generale", set.general ? rowJson(*set.general) : Json(nullptr)},
                 {"documenti", std::move(documents)},
                 {"trasferimento", std::move(transfers)}};
    return file.dump(2) + "\n";
}

ParamSet fromJson(std::string_view text, const std::string& source) {
    Json file;
    try {
        file = Json::parse(text);
    } catch (const Json::parse_error& error) {
        throw BadInput("file " + source + ": JSON non valido o troncato (byte " +
                       std::to_string(error.byte) + ")");
    }
    const Reader top("file " + source);
    top.object(file);
    const std::set<std::string> known = {"formato",  "versione",  "ditta",
                                         "generale", "documenti", "trasferimento"};
    for (const auto& [name, value] : file.items()) {
        if (!known.contains(name)) {
            top.fail("elemento sconosciuto \"" + name + "\"");
        }
    }
    const Json& format = member(top, file, "formato");
    if (!format.is_string() || format.get<std::string>() != kFormatName) {
        top.fail("non è un file di parametri (\"formato\" deve essere \"" +
                 std::string(kFormatName) + "\")");
    }
    const Json& version = member(top, file, "versione");
    if (!version.is_number_integer() || version.get<std::int64_t>() != kFormatVersion) {
        top.fail("versione del formato " + version.dump() + " non gestita (attesa " +
                 std::to_string(kFormatVersion) + ")");
    }
    ParamSet set;
    const Json& general = member(top, file, "generale");
    if (!general.is_null()) {
        set.general = Reader(top.place() + ", riga generale").row(general, data::Record::General);
    }
    std::set<std::string> seen;
    const Json& documents = list(top, file, "documenti");
    for (std::size_t i = 0; i < documents.size(); ++i) {
        Reader row(top.place() + ", documenti[" + std::to_string(i) + "]");
        row.object(documents[i]);
        std::string documentCode = code(row, documents[i], kDocumentCode);
        Reader named(row.place() + " (" + documentCode + ")");
        if (!seen.insert(documentCode).second) {
            named.fail("documento ripetuto");
        }
        set.documents.push_back(
            {documentCode, named.row(documents[i], data::Record::Document, kDocumentCode)});
    }
    seen.clear();
    const Json& transfers = list(top, file, "trasferimento");
    for (std::size_t i = 0; i < transfers.size(); ++i) {
        Reader row(top.place() + ", trasferimento[" + std::to_string(i) + "]");
        row.object(transfers[i]);
        TransferRow transfer{code(row, transfers[i], kTransferCode), krl::Variant(),
                             krl::Variant()};
        Reader named(row.place() + " (" + transfer.code + ")");
        if (!seen.insert(transfer.code).second) {
            named.fail("documento ripetuto");
        }
        for (const auto& [name, value] : transfers[i].items()) {
            krl::Variant* target = name == kTransferHead   ? &transfer.head
                                   : name == kTransferBody ? &transfer.body
                                                           : nullptr;
            if (name == kTransferCode) {
                continue;
            }
            if (target == nullptr) {
                named.fail("colonna sconosciuta \"" + name + "\"");
            }
            *target =
                value.is_null()
                    ? krl::Variant::null()
                    : krl::Variant(Reader(named.place() + ", colonna " + name).integer(value));
        }
        for (const auto& [name, value] :
             {std::pair{kTransferHead, &transfer.head}, std::pair{kTransferBody, &transfer.body}}) {
            if (value->isEmpty()) {
                named.fail("colonna mancante \"" + std::string(name) + "\"");
            }
        }
        set.transfers.push_back(std::move(transfer));
    }
    return set;
}

ParamSet readJsonFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw BadInput("file " + path + ": impossibile leggerlo");
    }
    std::ostringstream text;
    text << in.rdbuf();
    return fromJson(text.str(), path);
}

}  // namespace duza_zovrena::params
