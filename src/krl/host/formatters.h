#pragma once

#include <string>
#include <string_view>

#include "krl/variant/variant.h"

namespace krl::host {

// Numbers as SQL literals: integers as they are, other values in the runtime's number text with
// '.' as decimal separator. A value that is not a number raises 13.
class NumberFormatter : public krl::Object {
  public:
    std::string sqlText(const Variant& value) const;
};

// Dates typed by a person or kept as text, checked and written in the database's format
// 'YYYYMMDD' (with " HH:MM:SS" when a time was given). Accepts dd/mm/yyyy (also with '-' or '.',
// one-digit day and month, two-digit year: 00-29 are 2000-2029, 30-99 are 1930-1999),
// yyyy-mm-dd and yyyymmdd, each optionally followed by a time hh:mm or hh:mm:ss.
class DateFormatter : public krl::Object {
  public:
    static constexpr int Valid = 0;
    static constexpr int Blank = 1;
    static constexpr int NotADate = 2;
    static constexpr int OutOfRange = 3;

    // Reads the text; returns the code (also kept in code()).
    int setText(std::string_view text);
    int code() const { return code_; }
    // The database format of the last valid text; empty otherwise.
    const std::string& dbFormat() const { return dbFormat_; }

  private:
    int code_ = Blank;
    std::string dbFormat_;
};

}  // namespace krl::host
