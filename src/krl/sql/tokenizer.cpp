#include <cstdio>

#include "krl/sql/errors.h"
#include "krl/sql/token.h"

namespace krl::sql {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Letters of any script are allowed in names: every byte of a UTF-8 sequence is >= 0x80.
bool isNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool isNamePart(char c) {
    return isNameStart(c) || isDigit(c) || c == '$';
}

std::string describeCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X", byte);
        return std::string("carattere ") + code;
    }
    return std::string("carattere '") + c + "'";
}

class Tokenizer {
  public:
    explicit Tokenizer(std::string_view sql) : sql_(sql) {}

    std::vector<Token> run() {
        while (skipBlanksAndComments()) {
            readToken();
        }
        return std::move(tokens_);
    }

  private:
    // Skips to the next token; false at the end of the text.
    bool skipBlanksAndComments() {
        while (pos_ < sql_.size()) {
            const char c = sql_[pos_];
            if (isBlank(c)) {
                if (c == '\n') {
                    lineStart_ = true;
                }
                spaced_ = true;
                ++pos_;
            } else if (startsWith("--")) {
                const auto end = sql_.find('\n', pos_);
                pos_ = end == std::string_view::npos ? sql_.size() : end;
                spaced_ = true;
            } else if (startsWith("/*")) {
                skipBlockComment();
                spaced_ = true;
            } else {
                return true;
            }
        }
        return false;
    }

    // Block comments nest in T-SQL: /* a /* b */ c */ is one comment.
    void skipBlockComment() {
        std::size_t depth = 0;
        while (pos_ < sql_.size()) {
            if (startsWith("/*")) {
                ++depth;
                pos_ += 2;
            } else if (startsWith("*/")) {
                pos_ += 2;
                if (--depth == 0) {
                    return;
                }
            } else {
                if (sql_[pos_] == '\n') {
                    lineStart_ = true;
                }
                ++pos_;
            }
        }
        invalid("commento non terminato");
    }

    void readToken() {
        const char c = sql_[pos_];
        const char next = pos_ + 1 < sql_.size() ? sql_[pos_ + 1] : '\0';
        if (c == '\'') {
            add(TokenKind::String, readQuoted('\'', "stringa non terminata"));
        } else if ((c == 'N' || c == 'n') && next == '\'') {
            ++pos_;
            add(TokenKind::String, readQuoted('\'', "stringa non terminata"));
        } else if (c == '"') {
            add(TokenKind::QuotedName,
                readQuoted('"', "identificatore tra virgolette non terminato"));
        } else if (c == '[') {
            add(TokenKind::QuotedName,
                readQuoted(']', "identificatore tra parentesi quadre non terminato"));
        } else if (isDigit(c) || (c == '.' && isDigit(next))) {
            add(TokenKind::Number, readNumber());
        } else if (isNameStart(c)) {
            add(TokenKind::Word, readName(pos_));
        } else if (c == '#' || c == '@') {
            std::size_t start = pos_;
            std::size_t nameStart = pos_ + 1;
            if (nameStart < sql_.size() && sql_[nameStart] == c) {
                ++nameStart;
            }
            if (nameStart >= sql_.size() || !isNamePart(sql_[nameStart])) {
                unsupported(describeCharacter(c));
            }
            pos_ = nameStart;
            readName(nameStart);
            add(c == '#' ? TokenKind::TempName : TokenKind::Variable,
                std::string(sql_.substr(start, pos_ - start)));
        } else {
            add(TokenKind::Symbol, readSymbol());
        }
    }

    // Reads a quoted text starting at its opening character; the closing character doubled stands
    // for itself. Returns the text between the quotes with the doubling undone.
    std::string readQuoted(char close, std::string_view unterminated) {
        ++pos_;
        std::string value;
        while (true) {
            const auto end = sql_.find(close, pos_);
            if (end == std::string_view::npos) {
                invalid(unterminated);
            }
            value.append(sql_.substr(pos_, end - pos_));
            pos_ = end + 1;
            if (pos_ < sql_.size() && sql_[pos_] == close) {
                value.push_back(close);
                ++pos_;
            } else {
                return value;
            }
        }
    }

    std::string readNumber() {
        const std::size_t start = pos_;
        if (startsWith("0x") || startsWith("0X")) {
            pos_ += 2;
            while (pos_ < sql_.size() && isHexDigit(sql_[pos_])) {
                ++pos_;
            }
            return std::string(sql_.substr(start, pos_ - start));
        }
        skipDigits();
        if (pos_ < sql_.size() && sql_[pos_] == '.') {
            ++pos_;
            skipDigits();
        }
        if (pos_ < sql_.size() && (sql_[pos_] == 'e' || sql_[pos_] == 'E')) {
            std::size_t exponent = pos_ + 1;
            if (exponent < sql_.size() && (sql_[exponent] == '+' || sql_[exponent] == '-')) {
                ++exponent;
            }
            if (exponent < sql_.size() && isDigit(sql_[exponent])) {
                pos_ = exponent;
                skipDigits();
            }
        }
        return std::string(sql_.substr(start, pos_ - start));
    }

    void skipDigits() {
        while (pos_ < sql_.size() && isDigit(sql_[pos_])) {
            ++pos_;
        }
    }

    std::string readName(std::size_t start) {
        pos_ = start;
        while (pos_ < sql_.size() && isNamePart(sql_[pos_])) {
            ++pos_;
        }
        return std::string(sql_.substr(start, pos_ - start));
    }

    std::string readSymbol() {
        static constexpr std::string_view pairs[] = {"<>", "!=", "<=", ">=", "!<", "!>", "||"};
        for (const auto pair : pairs) {
            if (startsWith(pair)) {
                pos_ += pair.size();
                return std::string(pair);
            }
        }
        static constexpr std::string_view singles = "(),.;=<>+-*/%&|^~";
        const char c = sql_[pos_];
        if (singles.find(c) == std::string_view::npos) {
            unsupported(describeCharacter(c));
        }
        ++pos_;
        return std::string(1, c);
    }

    bool startsWith(std::string_view text) const { return sql_.substr(pos_).starts_with(text); }

    void add(TokenKind kind, std::string text) {
        tokens_.push_back(Token{kind, std::move(text), spaced_, lineStart_ || tokens_.empty()});
        spaced_ = false;
        lineStart_ = false;
    }

    std::string_view sql_;
    std::size_t pos_ = 0;
    bool spaced_ = false;
    bool lineStart_ = false;
    std::vector<Token> tokens_;
};

}  // namespace

std::vector<Token> tokenize(std::string_view sql) {
    if (sql.find('\0') != std::string_view::npos) {
        unsupported(describeCharacter('\0'));
    }
    return Tokenizer(sql).run();
}

std::string upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return result;
}

bool isWord(const Token& token, std::string_view keyword) {
    if (token.kind != TokenKind::Word || token.text.size() != keyword.size()) {
        return false;
    }
    for (std::size_t i = 0; i < keyword.size(); ++i) {
        char c = token.text[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if (c != keyword[i]) {
            return false;
        }
    }
    return true;
}

bool isSymbol(const Token& token, std::string_view symbol) {
    return token.kind == TokenKind::Symbol && token.text == symbol;
}

}  // namespace krl::sql
