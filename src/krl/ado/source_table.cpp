#include "krl/ado/source_table.h"

#include <cctype>

namespace krl::ado {

namespace {

enum class TokenKind { Word, Quoted, Text, Symbol, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string_view text;
};

bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '#' || c == '@' ||
           c == '$' || static_cast<unsigned char>(c) >= 0x80;
}

// Words, [bracketed] and "quoted" identifiers, 'texts' and single symbols; comments and blanks
// are skipped.
class Tokenizer {
  public:
    explicit Tokenizer(std::string_view text) : text_(text) {}

    Token next() {
        skipBlanksAndComments();
        if (pos_ >= text_.size()) {
            return {};
        }
        const std::size_t start = pos_;
        const char c = text_[pos_];
        if (c == '[' || c == '"') {
            closeQuoted(c == '[' ? ']' : '"');
            return {TokenKind::Quoted, text_.substr(start, pos_ - start)};
        }
        if (c == '\'' ||
            ((c == 'N' || c == 'n') && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'')) {
            pos_ += c == '\'' ? 0 : 1;
            closeQuoted('\'');
            return {TokenKind::Text, text_.substr(start, pos_ - start)};
        }
        if (isWordChar(c)) {
            while (pos_ < text_.size() && isWordChar(text_[pos_])) {
                ++pos_;
            }
            return {TokenKind::Word, text_.substr(start, pos_ - start)};
        }
        ++pos_;
        return {TokenKind::Symbol, text_.substr(start, 1)};
    }

  private:
    void skipBlanksAndComments() {
        while (pos_ < text_.size()) {
            if (std::isspace(static_cast<unsigned char>(text_[pos_]))) {
                ++pos_;
            } else if (text_.substr(pos_, 2) == "--") {
                while (pos_ < text_.size() && text_[pos_] != '\n') {
                    ++pos_;
                }
            } else if (text_.substr(pos_, 2) == "/*") {
                auto end = text_.find("*/", pos_ + 2);
                pos_ = end == std::string_view::npos ? text_.size() : end + 2;
            } else {
                return;
            }
        }
    }

    // From an opening quote to its closing one; a doubled closing quote stands for itself.
    void closeQuoted(char close) {
        ++pos_;
        while (pos_ < text_.size()) {
            if (text_[pos_] == close) {
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == close) {
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                return;
            }
            ++pos_;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

bool is(const Token& token, std::string_view keyword) {
    if (token.kind != TokenKind::Word || token.text.size() != keyword.size()) {
        return false;
    }
    for (std::size_t i = 0; i < keyword.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(token.text[i])) != keyword[i]) {
            return false;
        }
    }
    return true;
}

bool isName(const Token& token) {
    return token.kind == TokenKind::Word || token.kind == TokenKind::Quoted;
}

}  // namespace

std::string singleTableOf(std::string_view source) {
    Tokenizer tokens(source);
    Token token = tokens.next();
    while (token.kind == TokenKind::Symbol && token.text == ";") {
        token = tokens.next();
    }
    if (!is(token, "SELECT")) {
        return {};
    }
    int depth = 0;
    std::string table;
    bool fromSeen = false;
    for (token = tokens.next(); token.kind != TokenKind::End; token = tokens.next()) {
        if (token.kind == TokenKind::Symbol) {
            if (token.text == "(") {
                ++depth;
            } else if (token.text == ")") {
                --depth;
            } else if (token.text == "," && depth == 0 && fromSeen) {
                return {};  // FROM a, b
            }
            continue;
        }
        if (depth != 0) {
            continue;
        }
        if (is(token, "FROM")) {
            if (fromSeen) {
                return {};
            }
            fromSeen = true;
            Token name = tokens.next();
            if (!isName(name)) {
                return {};  // a derived table or nothing
            }
            table = std::string(name.text);
            // Qualified names: part.part.part
            std::string_view rest = source.substr(
                static_cast<std::size_t>(name.text.data() - source.data()) + name.text.size());
            while (rest.size() >= 2 && rest[0] == '.') {
                Tokenizer partTokens(rest.substr(1));
                Token part = partTokens.next();
                if (!isName(part) || part.text.data() != rest.data() + 1) {
                    break;
                }
                table += '.';
                table += part.text;
                rest = rest.substr(1 + part.text.size());
            }
            tokens = Tokenizer(rest);
            token = tokens.next();
            if (token.kind == TokenKind::Symbol && token.text == "(") {
                return {};  // a table-valued function
            }
            if (token.kind == TokenKind::End) {
                break;
            }
            if (token.kind == TokenKind::Symbol && token.text == ",") {
                return {};
            }
            if (is(token, "JOIN") || is(token, "APPLY") || is(token, "UNION") ||
                is(token, "FROM")) {
                return {};
            }
            continue;
        }
        if (is(token, "JOIN") || is(token, "APPLY") || is(token, "UNION") || is(token, "EXCEPT") ||
            is(token, "INTERSECT")) {
            return {};
        }
    }
    return table;
}

std::vector<std::string> identifierParts(std::string_view name) {
    std::vector<std::string> parts;
    std::string current;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c == '[' || c == '"') {
            const char close = c == '[' ? ']' : '"';
            for (++i; i < name.size(); ++i) {
                if (name[i] == close) {
                    if (i + 1 < name.size() && name[i + 1] == close) {
                        current += close;
                        ++i;
                        continue;
                    }
                    break;
                }
                current += name[i];
            }
        } else if (c == '.') {
            parts.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(std::move(current));
    return parts;
}

}  // namespace krl::ado
