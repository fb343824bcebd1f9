#include "krl/host/lookup_decode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "page_fixture.h"

namespace duza_zovrena::pages::testing {
namespace {

class HostLookupDecode : public PageTest {
  protected:
    // The rows of a query as the edit control runs it: every cell as text.
    std::vector<std::string> rows(const std::string& sql) {
        std::vector<std::string> result;
        auto set = kc::decodeConnection(connectionString_)->execute(sql);
        for (; !set->eof(); set->moveNext()) {
            std::string row;
            for (auto& field : set->fields()) {
                row += (row.empty() ? "" : "|") + field.value().textOrEmpty();
            }
            result.push_back(row);
        }
        set->close();
        return result;
    }

    std::string description(const kh::DecodeQuery& query) {
        auto found = rows(query.sql);
        if (found.empty()) {
            return "<none>";
        }
        return found.front().substr(found.front().find('|') + 1);
    }
};

TEST_F(HostLookupDecode, Decodes_describe_the_code_for_the_current_company) {
    struct Case {
        int company;
        const char* kind;
        const char* code;
        const char* description;
    };
    const Case cases[] = {
        {2, "document", "CARPROD", "Carico produzione"},  // company 1 has its own definition
        {1, "document", "ODPEXT", "<none>"},              // another company's document
        {1, "document", "OD'P", "<none>"},
        {1, "document", "ODP   ", "Ordine di produzione"},
        {2, "deposit", "CL", "<none>"},
        {1, "qualification", "ATTR", "Attrezzista"},
        {2, "price list", "CLA", "<none>"},
    };
    kh::ClsDecodeListiniParametrici priceLists;
    priceLists.setProgramInterface(program_);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " " + c.code + " company " + std::to_string(c.company));
        global_->setCurrentCompany(Variant(std::int32_t{c.company}));
        std::string kind = c.kind;
        kh::DecodeQuery query = kind == "document"  ? decode_->decodeDocument(c.code, "LBL_DES")
                                : kind == "deposit" ? decode_->decodeDeposit(c.code)
                                : kind == "qualification"
                                    ? decode_->decodeQualification(c.code, "LBL_DES")
                                    : priceLists.decodePriorityTable(c.code, "LBL_DES");
        EXPECT_EQ(description(query), c.description);
        ASSERT_TRUE(query.extra.isArray());
        EXPECT_EQ(query.extra.array().at(0).toText(), c.code);
    }
    EXPECT_TRUE(decode_->decodeDeposit("01").extra.array().at(1).isNull());
}

TEST_F(HostLookupDecode, Document_lookup_lists_the_company_documents_of_the_kind) {
    EXPECT_EQ(
        rows(lookup_->lookupDocuments(Variant(std::int32_t{24}), Variant(std::int32_t{20})).sql),
        (std::vector<std::string>{"ODP|Ordine di produzione",
                                  "ODP2|Ordine di produzione reparto 2"}));
    EXPECT_EQ(rows(lookup_
                       ->lookupDocuments(Variant(std::int32_t{24}), Variant(std::int32_t{20}),
                                         Variant(std::int32_t{2}))
                       .sql),
              (std::vector<std::string>{"ODP|Ordine di produzione",
                                        "ODPEXT|Ordine di produzione esterno"}));
    global_->setCurrentCompany(Variant(std::int32_t{2}));
    kh::LookupQuery all = lookup_->lookupDocuments();
    EXPECT_EQ(rows(all.sql).size(), 13u);
    EXPECT_EQ(all.text, "Documenti");
    ASSERT_TRUE(all.columns.isArray());
    EXPECT_EQ(all.columns.array().size(), 2u);
}

TEST_F(HostLookupDecode, Other_lookups_list_the_company_codes_in_order) {
    EXPECT_EQ(
        rows(lookup_->lookupQualifications().sql),
        (std::vector<std::string>{"ATTR|Attrezzista", "CAPO|Capo reparto", "MANUT|Manutentore",
                                  "OPE1|Operaio primo livello", "OPE2|Operaio secondo livello"}));
    global_->setCurrentCompany(Variant(std::int32_t{2}));
    EXPECT_EQ(rows(lookup_->lookupDeposits().sql),
              (std::vector<std::string>{"01|Magazzino centrale", "02|Magazzino prodotti finiti"}));
    kh::ClsLookupListiniParametrici priceLists;
    priceLists.setProgramInterface(program_);
    EXPECT_EQ(rows(priceLists.lookupPriorityTables().sql),
              (std::vector<std::string>{"INT|Priorita listini fasi interne|8",
                                        "MAT|Priorita listini materiali|7"}));
}

TEST_F(HostLookupDecode, Checks_run_on_the_host_database) {
    EXPECT_FALSE(decode_->qualificationRefused("OPE1"));
    EXPECT_FALSE(decode_->qualificationRefused("OPE1  "));
    EXPECT_FALSE(decode_->qualificationRefused(""));
    EXPECT_TRUE(decode_->qualificationRefused("O'X"));

    kh::ClsDecodeListiniParametrici priceLists;
    priceLists.setProgramInterface(program_);
    EXPECT_TRUE(priceLists.idOfCode(" ").isNull());
    EXPECT_EQ(priceLists.codeOfId(Variant(std::int32_t{4})).toText(), "CLA");
    EXPECT_TRUE(priceLists.codeOfId(Variant(std::int32_t{7})).isNull());  // company 2's
    EXPECT_TRUE(priceLists.codeOfId(Variant::null()).isNull());
    global_->setCurrentCompany(Variant(std::int32_t{2}));
    EXPECT_EQ(priceLists.idOfCode("MAT").toInt32(), 7);
    priceLists.release();
}

TEST_F(HostLookupDecode, Without_program_interface_or_numeric_company_nothing_is_built) {
    kh::ClsDecodeProduzione orphan;
    EXPECT_THROW(orphan.decodeDocument("ODP", "LBL"), krl::VbError);
    global_->setCurrentCompany(Variant("1 OR 1=1"));
    EXPECT_THROW(decode_->decodeDeposit("01"), krl::VbError);
    EXPECT_THROW(lookup_->lookupDeposits(), krl::VbError);
}

}  // namespace
}  // namespace duza_zovrena::pages::testing
