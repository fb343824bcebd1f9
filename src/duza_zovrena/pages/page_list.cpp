#include "duza_zovrena/pages/page_list.h"

#include <algorithm>
#include <string>

#include "duza_zovrena/pages/ctlpd_prd_dccla.h"
#include "duza_zovrena/pages/ctlpd_prd_dclie.h"
#include "duza_zovrena/pages/ctlpd_prd_ind.h"
#include "duza_zovrena/pages/ctlpd_prd_prd.h"
#include "duza_zovrena/pages/ctlpd_prg_cicli.h"
#include "duza_zovrena/pages/ctlpd_prg_cladoc.h"
#include "duza_zovrena/pages/ctlpd_prg_claind.h"
#include "duza_zovrena/pages/ctlpd_prg_grtagcol.h"
#include "duza_zovrena/pages/ctlpd_prg_indges.h"
#include "duza_zovrena/pages/ctlpd_prg_lavestdoc.h"
#include "duza_zovrena/pages/ctlpd_prg_lavestind.h"
#include "duza_zovrena/pages/ctlpd_prg_lavintdoc.h"
#include "duza_zovrena/pages/ctlpd_prg_lavintind.h"
#include "duza_zovrena/pages/ctlpd_prg_scadibadoc.h"
#include "duza_zovrena/pages/ctlpd_prg_scadibaind.h"
#include "duza_zovrena/pages/ctlpd_prg_valoriz.h"
#include "duza_zovrena/pages/ctlpd_prt_trpers.h"
#include "duza_zovrena/pages/document_page.h"
#include "duza_zovrena/pages/parameter_page.h"
#include "krl/host/progid.h"

namespace duza_zovrena::pages {

namespace {

std::vector<PageDeclaration>& list() {
    // One line per page, in side-bar order.
    // clang-format off
    static std::vector<PageDeclaration> pages = {
        indgesPage(),
        lavIntIndPage(),
        lavIntDocPage(),
        lavEstIndPage(),
        lavEstDocPage(),
        claIndPage(),
        claDocPage(),
        scaDibaIndPage(),
        scaDibaDocPage(),
        grTagColPage(),
        valorizPage(),
        trPersPage(),
        cicliPage(),
        prdIndPage(),
        prdPrdPage(),
        prdDcliePage(),
        prdDcclaPage(),
    };
    // clang-format on
    return pages;
}

void add(const PageDeclaration& declaration, krl::host::ProgIdRegistry& registry) {
    registry.add(pageProgId(declaration.className),
                 [className = declaration.className]() -> krl::ObjectPtr {
                     const PageDeclaration* found = findPageByClass(className);
                     return found ? makePage(*found) : nullptr;
                 });
}

}  // namespace

const std::vector<PageDeclaration>& pageList() {
    return list();
}

const PageDeclaration* findPageByClass(std::string_view className) {
    for (const PageDeclaration& page : list()) {
        if (page.className == className) {
            return &page;
        }
    }
    return nullptr;
}

const PageDeclaration* findPageByItem(std::string_view itemKey) {
    for (const PageDeclaration& page : list()) {
        if (page.item == itemKey) {
            return &page;
        }
    }
    return nullptr;
}

std::shared_ptr<ParameterPage> makePage(const PageDeclaration& declaration) {
    if (declaration.make) {
        return declaration.make(declaration);
    }
    if (declaration.members.documentType) {
        return std::make_shared<DocumentPage>(declaration);
    }
    return std::make_shared<ParameterPage>(declaration);
}

void registerPages(krl::host::ProgIdRegistry& registry) {
    for (const PageDeclaration& page : list()) {
        add(page, registry);
    }
}

void appendPage(PageDeclaration declaration, krl::host::ProgIdRegistry& registry) {
    removePage(declaration.className);
    list().push_back(std::move(declaration));
    add(list().back(), registry);
}

void removePage(std::string_view className) {
    auto& pages = list();
    pages.erase(
        std::remove_if(pages.begin(), pages.end(),
                       [&](const PageDeclaration& page) { return page.className == className; }),
        pages.end());
}

}  // namespace duza_zovrena::pages
