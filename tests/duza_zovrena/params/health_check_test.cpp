#include "duza_zovrena/params/health_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "duza_zovrena/params/params_fixture.h"

namespace duza_zovrena::params {
namespace {

using testing::ParamsDatabase;

TEST(HealthCheck, The_demo_has_only_its_deliberately_stale_transfer_row) {
    ParamsDatabase db;
    const std::vector<Problem> first = checkCompany(db.connection(), 1);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(problemLine(first[0]),
              "Ditta 1, PD49_PARDOCPROD, documento DOCDISMESSO, PD49_CODDOC_MG3G = "
              "'DOCDISMESSO': documento non presente nella ditta");
    EXPECT_EQ(first[0].place.item, "ITM_PRT_TRPERS");
    EXPECT_TRUE(checkCompany(db.connection(), 2).empty());
}

struct Damage {
    const char* name;
    const char* sql;
    const char* table;
    const char* document;
    const char* column;  // empty: a rule about the whole row
    const char* text;    // the start of what is wrong; null: nothing may be reported on the column
    const char* control = "";  // the control the window shows it in, when checked
};

class HealthCheckDamage : public ::testing::TestWithParam<Damage> {};

TEST_P(HealthCheckDamage, Is_found_where_it_is) {
    const Damage& damage = GetParam();
    ParamsDatabase db;
    db.exec(damage.sql);
    const Problem* found = nullptr;
    for (const Problem& problem : checkCompany(db.connection(), 1)) {
        if (problem.table == damage.table && problem.documentCode == damage.document &&
            problem.column == damage.column &&
            (damage.text == nullptr || problem.text.starts_with(damage.text))) {
            found = &problem;
            EXPECT_EQ(problem.company, 1);
            if (*damage.control != '\0') {
                EXPECT_EQ(problem.place.control, damage.control);
            }
        }
    }
    if (damage.text == nullptr) {
        EXPECT_EQ(found, nullptr) << problemLine(*found);
    } else {
        EXPECT_NE(found, nullptr);
    }
}

constexpr const char* kNoDocument = "documento non presente nella ditta";
constexpr const char* kWrongKind = "tipo documento non ammesso nel campo";

INSTANTIATE_TEST_SUITE_P(
    Kinds, HealthCheckDamage,
    ::testing::Values(
        Damage{"document_gone", "UPDATE PD42_ZOVRENA SET PD42_OLMONO_MG3G = 'ODPOLD'",
               "PD42_ZOVRENA", "", "PD42_OLMONO_MG3G", kNoDocument, "TXT_OLMONO"},
        Damage{"document_of_another_company",
               "UPDATE PD42_ZOVRENA SET PD42_ORDFORCL_MG3G = 'ODPEXT'", "PD42_ZOVRENA", "",
               "PD42_ORDFORCL_MG3G", kNoDocument},
        Damage{"general_wrong_kind", "UPDATE PD42_ZOVRENA SET PD42_CARREP_MG3G = 'ODP'",
               "PD42_ZOVRENA", "", "PD42_CARREP_MG3G",
               "tipo documento non ammesso nel campo "
               "(ammessi: 24/10)",
               "TXT_CARINT"},
        Damage{"kind_by_the_row_document",
               "UPDATE PD88_ZOVRENADOC SET PD88_AVANZ_MG3G = 'SCAREP' "
               "WHERE PD88_CODDOC_MG36 = 'ODP'",
               "PD88_ZOVRENADOC", "ODP", "PD88_AVANZ_MG3G", kWrongKind, "TXT_INTAVANZ_DOC"},
        Damage{"unchecked_field_takes_any_kind",
               "UPDATE PD88_ZOVRENADOC SET PD88_CARSFRIDOCL_MG3G = 'SCAREP' "
               "WHERE PD88_CODDOC_MG36 = 'ODP'",
               "PD88_ZOVRENADOC", "ODP", "PD88_CARSFRIDOCL_MG3G", nullptr},
        Damage{"row_of_a_document_the_company_lacks",
               "INSERT INTO PD88_ZOVRENADOC (PD88_DITTA_CG18, PD88_CODDOC_MG36) "
               "VALUES (1, 'ODPEXT')",
               "PD88_ZOVRENADOC", "ODPEXT", "PD88_CODDOC_MG36", kNoDocument},
        Damage{"deposit", "UPDATE PD88_ZOVRENADOC SET PD88_DEPSCARTO_MG58 = 'ZZ'",
               "PD88_ZOVRENADOC", "ODP", "PD88_DEPSCARTO_MG58", "deposito non presente"},
        Damage{"qualification", "UPDATE PD42_ZOVRENA SET PD42_QSETUP_PD04 = 'MANUT2'",
               "PD42_ZOVRENA", "", "PD42_QSETUP_PD04", "qualifica non presente"},
        Damage{"priority_table_of_another_company", "UPDATE PD42_ZOVRENA SET PD42_IDCLA_LP09 = 8",
               "PD42_ZOVRENA", "", "PD42_IDCLA_LP09", "tabella priorità non presente"},
        Damage{"general_refusal",
               "UPDATE PD42_ZOVRENA SET PD42_FLGMODELLODB = 1, PD42_INDGESDISBA = 1",
               "PD42_ZOVRENA", "", "", "La gestione contemporanea dei modelli distinta base"},
        Damage{"general_mandatory_value", "UPDATE PD42_ZOVRENA SET PD42_STEPNUMLEGDB = 0",
               "PD42_ZOVRENA", "", "", "Campo obbligatorio mancante", "TXT_STEPLEGDB"},
        Damage{"general_repair",
               "UPDATE PD42_ZOVRENA SET PD42_FLGGESCICLI = 0, PD42_INDLEADTIME = 1", "PD42_ZOVRENA",
               "", "PD42_INDLEADTIME", "il salvataggio scriverebbe 2"},
        Damage{"document_lots_names_the_document",
               "UPDATE PD88_ZOVRENADOC SET PD88_INDSCAGENLISPCL = 2", "PD88_ZOVRENADOC", "ODP", "",
               "La gestione contemporanea dei lotti e del trasferimento materiali sulle "
               "lavorazioni esterne (ODP) non è ammessa"},
        Damage{"transfer_value",
               "UPDATE PD49_PARDOCPROD SET PD49_INDTRPERSCORPO = 3 "
               "WHERE PD49_CODDOC_MG3G = 'ODP'",
               "PD49_PARDOCPROD", "ODP", "PD49_INDTRPERSCORPO", "valore ammesso: 0, 1 o 2"}),
    [](const ::testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace duza_zovrena::params
