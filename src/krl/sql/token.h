#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace krl::sql {

enum class TokenKind {
    Word,        // identifier or keyword, as written
    QuotedName,  // "name" or [name]; text holds the name without quotes
    String,      // 'text' or N'text'; text holds the value with the doubled quotes undone
    Number,
    TempName,  // #name or ##name, as written
    Variable,  // @name or @@name, as written
    Symbol,    // operator or punctuation
};

struct Token {
    TokenKind kind;
    std::string text;
    bool spaced = false;     // blanks or a comment stood between this token and the previous one
    bool lineStart = false;  // first token of its line
};

// Splits T-SQL into tokens; comments are dropped. Throws TranslateError for an unterminated
// string, comment or quoted name, and for characters T-SQL statements of this system never hold
// (parameter markers, NUL bytes).
std::vector<Token> tokenize(std::string_view sql);

// Upper-case copy of an ASCII keyword (other bytes are kept).
std::string upper(std::string_view text);

// True when the token is the word `keyword` (which must be given in upper case).
bool isWord(const Token& token, std::string_view keyword);
bool isSymbol(const Token& token, std::string_view symbol);

}  // namespace krl::sql
