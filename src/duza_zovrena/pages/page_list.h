#pragma once

#include <string_view>
#include <vector>

#include "duza_zovrena/pages/declaration.h"

namespace krl::host {
class ProgIdRegistry;
}

namespace duza_zovrena::pages {

// Every page of the side bar, in its order (also the order the window unloads them).
const std::vector<PageDeclaration>& pageList();

// The declaration of that class or side-bar item, or nullptr.
const PageDeclaration* findPageByClass(std::string_view className);
const PageDeclaration* findPageByItem(std::string_view itemKey);

// The page a declaration describes, built by its class when it has one.
std::shared_ptr<ParameterPage> makePage(const PageDeclaration& declaration);

// Registers every page class of the list under its ProgID ("DUZA_ZOVRENA." + class name).
void registerPages(krl::host::ProgIdRegistry& registry);

// Adds a page at the end of the list and registers it; the window opened next shows it. For
// throw-away pages of tests; not safe while a window reads the list.
void appendPage(PageDeclaration declaration, krl::host::ProgIdRegistry& registry);
// Takes a page added by appendPage off the list again.
void removePage(std::string_view className);

}  // namespace duza_zovrena::pages
