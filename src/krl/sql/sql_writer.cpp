#include "krl/sql/sql_writer.h"

namespace krl::sql {
namespace {

// Characters that can combine with a neighbour into another operator or a comment marker.
bool joinsOperators(char c) {
    return c == '-' || c == '/' || c == '*' || c == '<' || c == '>' || c == '=' || c == '!' ||
           c == '|';
}

std::string quoted(std::string_view value, char quote) {
    std::string result(1, quote);
    for (const char c : value) {
        result.push_back(c);
        if (c == quote) {
            result.push_back(quote);
        }
    }
    result.push_back(quote);
    return result;
}

}  // namespace

std::string quoteString(std::string_view value) {
    return quoted(value, '\'');
}

std::string quoteName(std::string_view name) {
    return quoted(name, '"');
}

void SqlWriter::token(const Token& token) {
    switch (token.kind) {
        case TokenKind::String:
            word(quoteString(token.text), token.spaced);
            break;
        case TokenKind::QuotedName:
            word(quoteName(token.text), token.spaced);
            break;
        case TokenKind::Symbol:
            symbol(token.text, token.spaced);
            break;
        default:
            word(token.text, token.spaced);
            break;
    }
}

void SqlWriter::word(std::string_view text, bool spaced) {
    append(text, true, spaced);
}

void SqlWriter::symbol(std::string_view text, bool spaced) {
    append(text, false, spaced);
}

void SqlWriter::append(std::string_view text, bool wordLike, bool spaced) {
    if (text.empty()) {
        return;
    }
    if (!text_.empty()) {
        const bool clash = (lastWordLike_ && wordLike) ||
                           (joinsOperators(text_.back()) && joinsOperators(text.front()));
        if (spaced || clash) {
            text_.push_back(' ');
        }
    }
    text_.append(text);
    lastWordLike_ = wordLike;
}

}  // namespace krl::sql
