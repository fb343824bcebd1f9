#pragma once

#include <string>
#include <string_view>

namespace duza_zovrena::params {

// Where the window shows what a problem is about: the side-bar item, the page and its control.
struct WindowPlace {
    std::string group;
    std::string item;
    std::string pageClass;
    std::string control;
};

// One problem of the stored parameters.
struct Problem {
    long company = 0;
    std::string table;
    std::string documentCode;  // empty for the general row
    std::string column;        // empty for a rule about the whole row
    std::string value;         // as displayValue writes it
    std::string text;          // what is wrong, in Italian
    WindowPlace place;
};

// "Ditta 1, PD88_ZOVRENADOC, documento ODP, PD88_CARREP_MG3G = 'XX': <text>".
std::string problemLine(const Problem& problem);

// A message of the save rules on one line: its line breaks become blanks.
std::string oneLine(std::string_view text);

// The page and control showing a column, from the page declarations; empty when none shows it.
WindowPlace placeOfColumn(std::string_view column);

}  // namespace duza_zovrena::params
