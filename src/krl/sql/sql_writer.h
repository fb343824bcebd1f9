#pragma once

#include <string>
#include <string_view>

#include "krl/sql/token.h"

namespace krl::sql {

// Builds SQLite text from tokens. Tokens are joined with one blank where the source separated them
// and wherever two tokens written side by side would read as one (two names, or "-" and "-"
// making a comment).
class SqlWriter {
  public:
    // A token of the source, in SQLite spelling: strings in single quotes, names in double quotes.
    void token(const Token& token);
    // A name, keyword, literal or other text that must stay apart from its neighbours.
    void word(std::string_view text, bool spaced = true);
    // An operator or punctuation.
    void symbol(std::string_view text, bool spaced = false);

    const std::string& text() const { return text_; }

  private:
    void append(std::string_view text, bool wordLike, bool spaced);

    std::string text_;
    bool lastWordLike_ = false;
};

// SQLite spelling of a string value and of a name.
std::string quoteString(std::string_view value);
std::string quoteName(std::string_view name);

}  // namespace krl::sql
