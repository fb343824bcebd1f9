#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/data/demo_database.h"
#include "duza_zovrena/data/sqlite_rows.h"

namespace duza_zovrena::data {
namespace {

using testing::SqliteFile;

struct DeclaredColumn {
    std::string name;
    std::string type;  // as declared, without COLLATE, NOT NULL or DEFAULT
    bool operator==(const DeclaredColumn&) const = default;
};
using DeclaredTables = std::map<std::string, std::vector<DeclaredColumn>>;

std::string trim(const std::string& text) {
    auto first = text.find_first_not_of(" \t\r");
    auto last = text.find_last_not_of(" \t\r,");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// The CREATE TABLE statements of a script written the way db/ writes them: one column a line,
// constraints after the columns, ");" on a line of its own.
DeclaredTables declaredTables(const std::string& script) {
    DeclaredTables tables;
    std::istringstream lines(script);
    std::string line;
    std::string table;
    while (std::getline(lines, line)) {
        if (line.starts_with("CREATE TABLE ")) {
            table = trim(line.substr(13, line.find('(') - 13));
            tables[table];
        } else if (line.starts_with(")")) {
            table.clear();
        } else if (!table.empty()) {
            std::string text = trim(line);
            if (text.empty() || text.starts_with("--") || text.starts_with("CONSTRAINT")) {
                continue;
            }
            auto space = text.find(' ');
            std::string type = trim(text.substr(space + 1));
            for (const char* tail : {" COLLATE", " NOT NULL", " DEFAULT"}) {
                if (auto at = type.find(tail); at != std::string::npos) {
                    type = type.substr(0, at);
                }
            }
            tables[table].push_back({text.substr(0, space), type});
        }
    }
    return tables;
}

std::string expectedTextType(const ColumnDef& column) {
    return "VARCHAR(" + std::to_string(column.width) + ")";
}

void expectColumnsMatchDefinitions(Record record, const std::vector<DeclaredColumn>& declared) {
    std::set<std::string> expected;
    for (const ColumnDef& column : columns(record)) {
        expected.insert(std::string(column.name));
    }
    std::set<std::string> found;
    for (const DeclaredColumn& column : declared) {
        found.insert(column.name);
        const ColumnDef* definition = findColumn(record, column.name);
        if (definition == nullptr) {
            continue;  // reported by the set comparison below
        }
        SCOPED_TRACE(column.name);
        if (definition->isText()) {
            EXPECT_EQ(column.type, expectedTextType(*definition));
        } else {
            EXPECT_FALSE(column.type.starts_with("VARCHAR")) << column.type;
        }
    }
    EXPECT_EQ(found, expected);
    EXPECT_EQ(declared.size(), expected.size());
}

TEST(Schema, Sqlite_tables_have_exactly_the_defined_columns_and_keys) {
    SqliteFile db(":memory:");
    db.exec(sqliteSchemaScript());
    struct Case {
        Record record;
        std::set<std::string> key;
    };
    const Case cases[] = {
        {Record::General, {"PD42_DITTA_CG18"}},
        {Record::Document, {"PD88_DITTA_CG18", "PD88_CODDOC_MG36"}},
    };
    for (const Case& c : cases) {
        std::string table(tableName(c.record));
        SCOPED_TRACE(table);
        std::vector<DeclaredColumn> declared;
        std::set<std::string> key;
        for (const auto& row : db.rows("PRAGMA table_info(" + table + ")")) {
            declared.push_back({row.at("name").toText(), row.at("type").toText()});
            if (row.at("pk").toInt32() > 0) {
                key.insert(row.at("name").toText());
            }
        }
        expectColumnsMatchDefinitions(c.record, declared);
        EXPECT_EQ(key, c.key);
    }
}

TEST(Schema, Both_engines_create_the_same_tables_with_the_same_columns) {
    DeclaredTables lite = declaredTables(sqliteSchemaScript());
    DeclaredTables server = declaredTables(sqlServerSchemaScript());
    std::set<std::string> known(demoTables().begin(), demoTables().end());
    std::set<std::string> liteNames;
    for (const auto& [name, columns] : lite) {
        liteNames.insert(name);
        ASSERT_TRUE(server.contains(name)) << name;
        const auto& other = server.at(name);
        ASSERT_EQ(columns.size(), other.size()) << name;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            EXPECT_EQ(columns[i].name, other[i].name) << name;
            // Types differ only where the engines spell them differently.
            bool integer = columns[i].type == "INTEGER" && other[i].type == "INT";
            bool binary = columns[i].type == "BLOB" && other[i].type == "VARBINARY(MAX)";
            bool date = columns[i].type == "TEXT" && other[i].type == "DATETIME";
            bool identity = columns[i].type == "INTEGER PRIMARY KEY AUTOINCREMENT" &&
                            other[i].type == "INT IDENTITY(1, 1)";
            EXPECT_TRUE(integer || binary || date || identity || columns[i].type == other[i].type)
                << name << "." << columns[i].name << ": " << columns[i].type << " / "
                << other[i].type;
        }
    }
    EXPECT_EQ(liteNames, known);
    EXPECT_EQ(server.size(), lite.size());
}

TEST(Schema, Compiled_scripts_are_the_scripts_of_the_source_tree) {
    struct Case {
        const char* path;
        std::string compiled;
    };
    const Case cases[] = {
        {"db/sqlite/schema.sql", sqliteSchemaScript()},
        {"db/sqlserver/schema.sql", sqlServerSchemaScript()},
        {"db/demo/demo.sql", demoDataScript()},
    };
    for (const Case& c : cases) {
        std::ifstream file(std::string(ZOVRENA_SOURCE_DIR) + "/" + c.path, std::ios::binary);
        ASSERT_TRUE(file) << c.path;
        std::stringstream text;
        text << file.rdbuf();
        EXPECT_EQ(c.compiled, text.str()) << c.path << ": rebuild to compile the edited script";
    }
}

TEST(Schema, Batches_end_at_lines_holding_only_go) {
    struct Case {
        std::string script;
        std::vector<std::string> batches;
    };
    const Case cases[] = {
        {"SELECT 1\nGO\nSELECT 2\n", {"SELECT 1\n", "SELECT 2\n"}},
        {"SELECT 1\n  go  \r\nSELECT 2", {"SELECT 1\n", "SELECT 2\n"}},
        {"SELECT PD42_FLGORDCLAV FROM T\nGOTO x\n", {"SELECT PD42_FLGORDCLAV FROM T\nGOTO x\n"}},
        {"GO\n\nGO\nSELECT 1\nGO\n   \nGO", {"SELECT 1\n"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_EQ(splitBatches(c.script), c.batches);
    }
}

TEST(Schema, Sql_server_script_runs_one_statement_a_batch) {
    std::vector<std::string> batches = splitBatches(sqlServerSchemaScript());
    ASSERT_EQ(batches.size(), demoTables().size() + 1);  // the tables and the document function
    int functions = 0;
    for (const std::string& batch : batches) {
        std::istringstream lines(batch);
        std::string line;
        while (std::getline(lines, line) && (line.empty() || line.starts_with("--"))) {
        }
        bool table = line.starts_with("CREATE TABLE ");
        bool function = line.starts_with("CREATE FUNCTION dbo.FNMG36_DOCUMENTI ");
        EXPECT_TRUE(table || function) << line;
        functions += function ? 1 : 0;
    }
    EXPECT_EQ(functions, 1);
}

}  // namespace
}  // namespace duza_zovrena::data
