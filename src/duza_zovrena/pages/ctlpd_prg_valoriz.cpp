#include "duza_zovrena/pages/ctlpd_prg_valoriz.h"

#include "duza_zovrena/pages/parameter_page.h"
#include "krl/controls/edit_id.h"
#include "krl/host/lookup_decode.h"

namespace duza_zovrena::pages {

namespace kc = krl::controls;
using krl::Variant;

namespace {

constexpr std::string_view kFrame = "WLFrame28";

// Each priority-table field with the label its decode describes the table in.
struct PriorityField {
    std::string_view field;
    std::string_view descriptionLabel;
};

constexpr PriorityField kPriorityFields[] = {
    {"TXT_TABPRIORITA_MAT", "TXT_DESTABPRIORITA_MATERIALI"},
    {"TXT_TABPRIORITA_INT", "TXT_DESTABPRIORITA_INT"},
    {"TXT_TABPRIORITA_INTMAC", "TXT_DESTABPRIORITA_INTMAC"},
    {"TXT_TABPRIORITA_CLA", "TXT_DESTABPRIORITA_CLA"},
    {"TXT_TABPRIORITA_CLP", "TXT_DESTABPRIORITA_CLP"},
};

std::string routine(std::string_view field, std::string_view event) {
    return std::string(field) + "_" + std::string(event);
}

// The decode and lookup of a priority-table field go through the host's price-list objects. The
// decode has no shortcut for a blank code: the query finds nothing and the description empties.
void priorityTableField(ParameterPage& page, const PriorityField& def) {
    auto edit = page.control<kc::EditId>(def.field);
    auto label = page.control<kc::Label>(def.descriptionLabel);
    edit->setDescriptionLabel(label);
    kc::EditId* field = edit.get();
    field->StartDecode.connect([&page, field, def](kc::DecodeRequest& request) {
        auto decode = page.clsDecodeListiniParametrici();
        if (!decode) {
            return;
        }
        krl::trap::run(routine(def.field, "StartDecode"),
                       {
                           [&] {
                               krl::host::DecodeQuery query = decode->decodePriorityTable(
                                   krl::rtrim(field->text()), def.descriptionLabel);
                               request.cancel = false;
                               request.sql = std::move(query.sql);
                               // The label the control writes the description into comes first.
                               request.extra = Variant(krl::VariantArray{
                                   Variant(krl::VariantArray{Variant(def.descriptionLabel)}),
                                   std::move(query.extra)});
                           },
                           [&] { request.connectionString = page.hostConnectionString(); },
                       },
                       page.errorRoutine());
    });
    field->StartLookup.connect([&page, field, def](kc::LookupRequest& request) {
        krl::trap::run(routine(def.field, "StartLookup"),
                       {
                           [&] {
                               krl::host::LookupQuery query =
                                   krl::require(page.clsLookupListiniParametrici(),
                                                "ClsLookupListiniParametrici")
                                       .lookupPriorityTables();
                               request.cancel = false;
                               request.sql = std::move(query.sql);
                               request.extra = std::move(query.extra);
                               request.lookupText = std::move(query.text);
                               field->setLookup(std::move(query.columns));
                           },
                           [&] { request.connectionString = page.hostConnectionString(); },
                       },
                       page.errorRoutine());
    });
}

void declareRules(ParameterPage& page) {
    for (const PriorityField& def : kPriorityFields) {
        priorityTableField(page, def);
    }
}

}  // namespace

PageDeclaration valorizPage() {
    PageDeclaration page;
    page.className = "CTLPD_PRG_VALORIZ";
    page.group = "GRP_PRG_VAL";
    page.groupCaption = "Valorizzazioni";
    page.item = "ITM_PRG_VAL";
    page.itemCaption = "Valorizzazioni";
    page.title = "Parametri generali - valorizzazioni";
    page.members.priceListObjects = true;
    // This page reports a missing program interface with the data frame's message.
    page.initialize = {
        {InitializeStep::ActiveInterface, msg::NoVirtualFrame},
        {InitializeStep::VirtualFrame, msg::NoVirtualFrame},
        {InitializeStep::Recordset, msg::NoRecord},
        {InitializeStep::ClsDecodeListiniParametrici, msg::NoDecode},
        {InitializeStep::ClsLookupListiniParametrici, msg::NoLookup},
        {InitializeStep::FillCombos},
        {InitializeStep::InitializeEditId},
        {InitializeStep::AddVirtualFrameControl},
        {InitializeStep::InitializeScriptObjectModel},
    };
    page.firstControl = "CHK_LISTPAR";
    page.registeredTypes = {"KRL_CHECKBOX", "TXT_EDITM", "TXT_EDITID", "KRL_COMBO"};
    page.frames = {{kFrame, "", "", 15}};
    // Tab order: the switch of the price lists comes after every other value.
    page.controls = {
        {kFrame, "TXT_TABPRIORITA_MAT", "PD42_IDMAT_LP09", "Tabella priorità materiali"},
        {kFrame, "TXT_DESTABPRIORITA_MATERIALI", "", ""},
        {kFrame, "TXT_TABPRIORITA_INT", "PD42_IDINT_LP09",
         "Tabella priorità fasi interne (manodopera)"},
        {kFrame, "TXT_DESTABPRIORITA_INT", "", ""},
        {kFrame, "TXT_TABPRIORITA_INTMAC", "PD42_IDINTMAC_LP09",
         "Tabella priorità fasi interne (macchine)"},
        {kFrame, "TXT_DESTABPRIORITA_INTMAC", "", ""},
        {kFrame, "TXT_TABPRIORITA_CLA", "PD42_IDCLA_LP09", "Tabella priorità fasi c/lavoro attivo"},
        {kFrame, "TXT_DESTABPRIORITA_CLA", "", ""},
        {kFrame, "TXT_TABPRIORITA_CLP", "PD42_IDCLP_LP09",
         "Tabella priorità fasi c/lavoro passivo"},
        {kFrame, "TXT_DESTABPRIORITA_CLP", "", ""},
        {kFrame, "CHK_LISTPARDOC", "PD42_FLGLISTPARDOC", ""},
        {kFrame, "CMB_INDLOTOPERSETUP", "PD42_INDLOTOPERSETUP", "Qta per costo operazione setup",
         Design{}.byDefault(0)},
        {kFrame, "CMB_INDCSTOPERSETUP", "PD42_INDCSTOPERSETUP", "Pezzi operazione setup",
         Design{}.byDefault(0)},
        {kFrame, "CHK_FLGMANULTCONSODP", "PD42_FLGMANULTCONSODP", ""},
        {kFrame, "CHK_LISTPAR", "PD42_FLGLISTPAR", ""},
    };
    page.valueLists = {
        {"CMB_INDLOTOPERSETUP",
         {{"Quantità standard di produzione", code(0)},
          {"Lotto economico", code(1)},
          {"Lotto minimo di riordino", code(2)}}},
        {"CMB_INDCSTOPERSETUP",
         {{"Non considera pezzi setup ciclo", code(0)}, {"Considera pezzi setup ciclo", code(1)}}},
    };
    // Switching the price lists off keeps the tables chosen.
    PatternRule priceLists{"CHK_LISTPAR",
                           RuleCondition::ticked(),
                           {"TXT_TABPRIORITA_MAT", "TXT_TABPRIORITA_INT", "TXT_TABPRIORITA_INTMAC",
                            "TXT_TABPRIORITA_CLA", "TXT_TABPRIORITA_CLP", "CHK_LISTPARDOC"}};
    priceLists.routine = "CHK_LISTPAR_Click";
    page.patternRules = {priceLists};
    page.rules = declareRules;
    return page;
}

}  // namespace duza_zovrena::pages
