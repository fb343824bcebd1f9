#include "krl/sql/translator.h"

#include <optional>
#include <utility>
#include <vector>

#include "krl/sql/errors.h"
#include "krl/sql/sql_writer.h"
#include "krl/sql/token.h"
#include "krl/sql/tsql_words.h"

namespace krl::sql {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Deeper nesting is refused rather than followed: sub-expressions are translated recursively.
constexpr std::size_t kMaxNesting = 64;

// The table function that returns a company document's definition is, on SQLite, a join with the
// definitions table on the document code and the standard/customised indicator; the company
// argument does not change which definition it returns.
constexpr std::string_view kDocumentFunction = "FNMG36_DOCUMENTI";
constexpr std::string_view kDocumentTable = "MG36_DOCUMENTI";

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return upper(a) == upper(b);
}

// A table named after INTO, TABLE or DROP TABLE.
struct TableName {
    std::size_t next = 0;  // index of the token after the name
    bool temporary = false;
    std::string name;  // a temporary table's name as written ("#T"), otherwise its SQLite spelling
    std::string written;  // the name without quotes
};

class Rewriter {
  public:
    explicit Rewriter(std::vector<Token> tokens) : t_(std::move(tokens)) {}

    std::string run() {
        trimSemicolons();
        matchParentheses();
        const Token& first = t_.front();
        if (first.kind != TokenKind::Word) {
            unsupported(first.kind == TokenKind::Variable
                            ? first.text
                            : "istruzione che inizia con " + first.text);
        }
        const std::string keyword = upper(first.text);
        statement_ = keyword;
        if (keyword == "SELECT" || keyword == "WITH") {
            selectStatement();
        } else if (keyword == "INSERT") {
            insertStatement();
        } else if (keyword == "UPDATE") {
            updateStatement();
        } else if (keyword == "DELETE") {
            deleteStatement();
        } else if (keyword == "CREATE") {
            createStatement();
        } else if (keyword == "DROP") {
            dropStatement();
        } else if (keyword == "IF") {
            dropIfExistsStatement();
        } else {
            unsupported(keyword);
        }
        return out_.text();
    }

  private:
    // ---- structure of the text

    // One statement per text: a ';' before it (";WITH ...") and after it are allowed.
    void trimSemicolons() {
        std::size_t begin = 0;
        std::size_t end = t_.size();
        while (begin < end && isSymbol(t_[begin], ";")) {
            ++begin;
        }
        while (end > begin && isSymbol(t_[end - 1], ";")) {
            --end;
        }
        t_.erase(t_.begin() + static_cast<std::ptrdiff_t>(end), t_.end());
        t_.erase(t_.begin(), t_.begin() + static_cast<std::ptrdiff_t>(begin));
        if (t_.empty()) {
            invalid("testo vuoto");
        }
        for (const Token& token : t_) {
            if (isSymbol(token, ";")) {
                unsupported("più istruzioni nello stesso testo");
            }
        }
    }

    void matchParentheses() {
        partner_.assign(t_.size(), kNone);
        depth_.assign(t_.size(), 0);
        lastAs_.assign(t_.size(), kNone);
        std::vector<std::size_t> open;
        for (std::size_t i = 0; i < t_.size(); ++i) {
            if (isSymbol(t_[i], ")")) {
                if (open.empty()) {
                    invalid("parentesi non bilanciate");
                }
                partner_[i] = open.back();
                partner_[open.back()] = i;
                open.pop_back();
            }
            depth_[i] = open.size();
            if (isSymbol(t_[i], "(")) {
                if (open.size() == kMaxNesting) {
                    unsupported("parentesi annidate oltre 64 livelli");
                }
                open.push_back(i);
            } else if (!open.empty() && isWord(t_[i], "AS")) {
                lastAs_[open.back()] = i;
            }
        }
        if (!open.empty()) {
            invalid("parentesi non bilanciate");
        }
    }

    bool wordAt(std::size_t i, std::string_view keyword) const {
        return i < t_.size() && isWord(t_[i], keyword);
    }

    bool symbolAt(std::size_t i, std::string_view symbol) const {
        return i < t_.size() && isSymbol(t_[i], symbol);
    }

    // First token at nesting depth 0 that is the word `keyword`, from `from` on.
    std::size_t findTopLevelWord(std::size_t from, std::string_view keyword) const {
        for (std::size_t i = from; i < t_.size(); ++i) {
            if (depth_[i] == 0 && isWord(t_[i], keyword)) {
                return i;
            }
        }
        return kNone;
    }

    // ##name tables are shared between connections on the server; SQLite has nothing like them.
    static void refuseGlobalTemporary(const Token& token) {
        if (token.text.starts_with("##")) {
            unsupported("tabella temporanea globale " + token.text);
        }
    }

    static bool isTemporary(const Token& token) {
        const bool temporary = token.kind == TokenKind::TempName ||
                               (token.kind == TokenKind::QuotedName && token.text.starts_with('#'));
        if (temporary) {
            refuseGlobalTemporary(token);
        }
        return temporary;
    }

    std::optional<TableName> tableName(std::size_t i) const {
        if (wordAt(i, "DBO") && symbolAt(i + 1, ".")) {
            i += 2;
        }
        if (i >= t_.size()) {
            return std::nullopt;
        }
        const Token& token = t_[i];
        if (isTemporary(token)) {
            return TableName{i + 1, true, token.text, token.text};
        }
        if (token.kind == TokenKind::Word) {
            return TableName{i + 1, false, token.text, token.text};
        }
        if (token.kind == TokenKind::QuotedName) {
            return TableName{i + 1, false, quoteName(token.text), token.text};
        }
        return std::nullopt;
    }

    // ---- statements

    // SELECT, WITH ... SELECT, and SELECT ... INTO #t (a new table from the query's rows).
    void selectStatement() {
        if (statement_ == "WITH") {
            for (std::size_t i = 1; i < t_.size(); ++i) {
                if (depth_[i] != 0 || t_[i].kind != TokenKind::Word) {
                    continue;
                }
                const std::string word = upper(t_[i].text);
                if (word == "SELECT") {
                    break;
                }
                if (word == "INSERT" || word == "UPDATE" || word == "DELETE" || word == "MERGE") {
                    unsupported("WITH ... " + word);
                }
            }
        }
        const std::size_t into = findTopLevelWord(1, "INTO");
        if (into == kNone) {
            emitRange(0, t_.size());
            return;
        }
        const auto target = tableName(into + 1);
        if (!target) {
            unsupported("SELECT ... INTO senza nome di tabella");
        }
        out_.word("CREATE");
        if (target->temporary) {
            out_.word("TEMP");
            out_.word("TABLE");
            out_.word(quoteName(target->name));
        } else {
            out_.word("TABLE");
            out_.word(target->name);
        }
        out_.word("AS");
        emitRange(0, into);
        emitRange(target->next, t_.size());
    }

    void insertStatement() {
        out_.token(t_[0]);
        if (!wordAt(1, "INTO")) {
            out_.word("INTO");
        }
        emitRange(1, t_.size());
    }

    // UPDATE ... FROM joins the target again on SQLite instead of naming it, so it is refused.
    void updateStatement() {
        out_.token(t_[0]);
        emitRange(1, t_.size());
        if (findTopLevelWord(1, "FROM") != kNone) {
            unsupported("UPDATE ... FROM");
        }
    }

    // DELETE t WHERE ... is DELETE FROM t WHERE ...; DELETE t FROM t JOIN ... is refused.
    void deleteStatement() {
        const std::size_t target = wordAt(1, "FROM") ? 2 : 1;
        out_.token(t_[0]);
        if (target == 1) {
            out_.word("FROM");
        }
        emitRange(1, t_.size());
        if (findTopLevelWord(target, "FROM") != kNone) {
            unsupported("DELETE ... FROM");
        }
    }

    void createStatement() {
        if (wordAt(1, "TABLE")) {
            const auto target = tableName(2);
            if (target && target->temporary) {
                out_.word("CREATE");
                out_.word("TEMP");
                out_.word("TABLE");
                out_.word(quoteName(target->name));
                emitRange(target->next, t_.size());
                return;
            }
        } else if (!wordAt(1, "INDEX") && !wordAt(1, "UNIQUE") && !wordAt(1, "VIEW")) {
            unsupported("CREATE " + (t_.size() > 1 ? upper(t_[1].text) : std::string()));
        }
        out_.token(t_[0]);
        emitRange(1, t_.size());
    }

    void dropStatement() {
        if (!wordAt(1, "TABLE") && !wordAt(1, "INDEX") && !wordAt(1, "VIEW")) {
            unsupported("DROP " + (t_.size() > 1 ? upper(t_[1].text) : std::string()));
        }
        out_.token(t_[0]);
        out_.token(t_[1]);
        std::size_t next = 2;
        if (wordAt(2, "IF") && wordAt(3, "EXISTS")) {
            out_.word("IF");
            out_.word("EXISTS");
            next = 4;
        }
        emitRange(next, t_.size());
    }

    // IF NOT OBJECT_ID('tempdb..#t') IS NULL DROP TABLE #t, and the same test written
    // IF OBJECT_ID(...) IS NOT NULL: dropping a table only when it exists. Any other IF is refused.
    void dropIfExistsStatement() {
        std::size_t i = 1;
        const bool notBefore = wordAt(i, "NOT");
        if (notBefore) {
            ++i;
        }
        if (!wordAt(i, "OBJECT_ID") || !symbolAt(i + 1, "(")) {
            unsupported("IF");
        }
        const std::size_t close = partner_[i + 1];
        std::size_t k = i + 2;
        if (k >= close || t_[k].kind != TokenKind::String) {
            unsupported("IF");
        }
        const std::string object = t_[k++].text;
        if (symbolAt(k, ",") && k + 1 < close && t_[k + 1].kind == TokenKind::String &&
            equalsIgnoringCase(t_[k + 1].text, "U")) {
            k += 2;
        }
        if (k != close) {
            unsupported("IF");
        }
        i = close + 1;
        if (!wordAt(i++, "IS")) {
            unsupported("IF");
        }
        const bool notAfter = wordAt(i, "NOT");
        if (notAfter) {
            ++i;
        }
        if (!wordAt(i++, "NULL") || notBefore == notAfter || !wordAt(i, "DROP") ||
            !wordAt(i + 1, "TABLE")) {
            unsupported("IF");
        }
        const auto target = tableName(i + 2);
        if (!target || target->next != t_.size() || !namesTable(object, *target)) {
            unsupported("IF");
        }
        out_.word("DROP");
        out_.word("TABLE");
        out_.word("IF");
        out_.word("EXISTS");
        out_.word(target->temporary ? "temp." + quoteName(target->name) : target->name);
    }

    // Whether the name given to OBJECT_ID is the table dropped.
    static bool namesTable(std::string_view object, const TableName& target) {
        const std::string wanted = upper(object);
        const std::string name = upper(target.written);
        if (target.temporary) {
            return wanted == "TEMPDB.." + name || wanted == "TEMPDB.DBO." + name;
        }
        return wanted == name || wanted == "DBO." + name;
    }

    // ---- expressions and clauses

    void emitRange(std::size_t begin, std::size_t end) {
        std::size_t i = begin;
        while (i < end) {
            const Token& token = t_[i];
            switch (token.kind) {
                case TokenKind::Word:
                    i = emitWord(i, end);
                    continue;
                case TokenKind::Variable:
                    unsupported(token.text);
                case TokenKind::TempName:
                    refuseGlobalTemporary(token);
                    emitTemporary(token);
                    break;
                case TokenKind::QuotedName:
                    if (isTemporary(token)) {
                        emitTemporary(token);
                    } else {
                        out_.token(token);
                    }
                    break;
                case TokenKind::String:
                    checkString(i);
                    out_.token(token);
                    break;
                case TokenKind::Number:
                case TokenKind::Symbol:
                    out_.token(token);
                    break;
            }
            ++i;
        }
    }

    void emitTemporary(const Token& token) {
        out_.word("temp." + quoteName(token.text), token.spaced);
    }

    // T-SQL joins texts with "+", which SQLite reads as a sum; and LIKE patterns with [...]
    // character classes match differently.
    void checkString(std::size_t i) const {
        if (symbolAt(i + 1, "+") || (i > 0 && symbolAt(i - 1, "+"))) {
            unsupported("concatenazione di testi con +");
        }
        if (i > 0 && isWord(t_[i - 1], "LIKE") && t_[i].text.find('[') != std::string::npos) {
            unsupported("LIKE con [ ]");
        }
    }

    // Emits the word at `i` (or the construct it starts); returns the index after it.
    std::size_t emitWord(std::size_t i, std::size_t end) {
        const Token& token = t_[i];
        const std::string word = upper(token.text);
        if (word == "WITH" && symbolAt(i + 1, "(")) {
            return skipTableHints(i);
        }
        if (word == "OUTER" && wordAt(i + 1, "APPLY")) {
            return emitDocumentApply(i, end);
        }
        if (word == "CROSS" && wordAt(i + 1, "APPLY")) {
            unsupported("CROSS APPLY");
        }
        if (word == "CAST" && symbolAt(i + 1, "(")) {
            return emitCast(i);
        }
        if (word == "DBO" && symbolAt(i + 1, ".") && !(i > 0 && symbolAt(i - 1, ".")) &&
            i + 2 < end &&
            (t_[i + 2].kind == TokenKind::Word || t_[i + 2].kind == TokenKind::QuotedName)) {
            return emitWithoutSchema(i);
        }
        if (word == "APPLY" || word == "NOLOCK" || word == "IF" || isRefusedWord(word)) {
            unsupported(word == "NOLOCK" ? "(NOLOCK) senza WITH" : word);
        }
        if (word == "GO" && token.lineStart) {
            unsupported("GO");
        }
        if (depth_[i] == 0 && startsStatement(word)) {
            unsupported("più istruzioni nello stesso testo");
        }
        if (symbolAt(i + 1, "(") && isRefusedFunction(word)) {
            unsupported(word);
        }
        if (symbolAt(i + 1, "=") && isSelectItemStart(i)) {
            unsupported("alias con =");
        }
        out_.token(token);
        return i + 1;
    }

    // T-SQL's "SELECT Name = expression" names a column; SQLite would compare instead.
    bool isSelectItemStart(std::size_t i) const {
        if (i == 0) {
            return false;
        }
        const Token& previous = t_[i - 1];
        return isWord(previous, "SELECT") || isWord(previous, "DISTINCT") ||
               isWord(previous, "ALL") || (isSymbol(previous, ",") && statement_ != "UPDATE");
    }

    // WITH (NOLOCK) reads without shared locks on SQL Server; SQLite readers never block, so the
    // hint is dropped. Other hints change what the statement does and are refused.
    std::size_t skipTableHints(std::size_t with) const {
        const std::size_t close = partner_[with + 1];
        bool expectHint = true;
        for (std::size_t k = with + 2; k < close; ++k) {
            const Token& token = t_[k];
            if (expectHint ? !isWord(token, "NOLOCK") : !isSymbol(token, ",")) {
                unsupported("WITH (" + token.text + ")");
            }
            expectHint = !expectHint;
        }
        if (expectHint) {
            unsupported("WITH ( )");
        }
        return close + 1;
    }

    std::size_t emitWithoutSchema(std::size_t i) {
        if (symbolAt(i + 3, "(")) {
            unsupported("funzione dbo." + t_[i + 2].text);
        }
        Token name = t_[i + 2];
        name.spaced = t_[i].spaced;
        if (isTemporary(name)) {
            emitTemporary(name);
        } else {
            out_.token(name);
        }
        return i + 3;
    }

    // CAST(x AS TINYINT) and the other integer and text types in SQLite's names.
    std::size_t emitCast(std::size_t cast) {
        const std::size_t open = cast + 1;
        const std::size_t close = partner_[open];
        const std::size_t as = lastAs_[open];
        if (as == kNone) {
            unsupported("CAST senza AS");
        }
        out_.token(t_[cast]);
        out_.token(t_[open]);
        emitRange(open + 1, as);
        out_.token(t_[as]);
        out_.word(castType(as + 1, close));
        out_.token(t_[close]);
        return close + 1;
    }

    std::string castType(std::size_t begin, std::size_t end) const {
        if (begin >= end || t_[begin].kind != TokenKind::Word) {
            unsupported("CAST AS " + (begin < end ? t_[begin].text : std::string()));
        }
        const std::string type = upper(t_[begin].text);
        std::string sqliteType;
        if (type == "TINYINT" || type == "SMALLINT" || type == "INT" || type == "INTEGER" ||
            type == "BIGINT" || type == "BIT") {
            sqliteType = "INTEGER";
        } else if (type == "VARCHAR" || type == "NVARCHAR" || type == "CHAR" || type == "NCHAR" ||
                   type == "TEXT") {
            sqliteType = "TEXT";
        } else if (type == "FLOAT" || type == "REAL") {
            sqliteType = "REAL";
        } else {
            unsupported("CAST AS " + type);
        }
        // An optional length: (n), (MAX) or (p, s).
        const std::size_t open = begin + 1;
        if (open == end) {
            return sqliteType;
        }
        bool lengthOk = symbolAt(open, "(") && partner_[open] == end - 1;
        for (std::size_t k = open + 1; lengthOk && k + 1 < end; ++k) {
            const bool item = (k - open) % 2 == 1;
            lengthOk = item ? (t_[k].kind == TokenKind::Number || isWord(t_[k], "MAX"))
                            : isSymbol(t_[k], ",");
        }
        if (!lengthOk || end - open < 3 || end - open > 5) {
            unsupported("CAST AS " + type);
        }
        return sqliteType;
    }

    // OUTER APPLY dbo.FNMG36_DOCUMENTI(code, company, indicator) [AS alias].
    std::size_t emitDocumentApply(std::size_t outer, std::size_t end) {
        std::size_t i = outer + 2;
        if (wordAt(i, "DBO") && symbolAt(i + 1, ".")) {
            i += 2;
        }
        if (!wordAt(i, kDocumentFunction) || !symbolAt(i + 1, "(")) {
            unsupported("OUTER APPLY");
        }
        const std::size_t open = i + 1;
        const std::size_t close = partner_[open];
        const auto arguments = splitArguments(open, close);
        if (arguments.size() != 3) {
            unsupported("OUTER APPLY " + std::string(kDocumentFunction) +
                        " con un numero di argomenti diverso da 3");
        }
        std::size_t next = close + 1;
        std::string alias(kDocumentFunction);
        if (next + 1 < end && isWord(t_[next], "AS") && isAlias(t_[next + 1])) {
            alias = aliasText(t_[next + 1]);
            next += 2;
        } else if (next < end && isAlias(t_[next]) && !isClauseWord(t_[next])) {
            alias = aliasText(t_[next]);
            next += 1;
        }

        out_.word("LEFT", t_[outer].spaced);
        out_.word("JOIN");
        out_.word(kDocumentTable);
        out_.word("AS");
        out_.word(alias);
        out_.word("ON");
        emitArgumentMatch(alias + ".MG36_CODDOCUM", arguments[0]);
        out_.word("AND");
        emitArgumentMatch(alias + ".MG36_INDSTAPER", arguments[2]);

        // The company argument is not used, but it is checked like the others.
        SqlWriter discarded;
        std::swap(out_, discarded);
        emitRange(arguments[1].first, arguments[1].second);
        std::swap(out_, discarded);
        return next;
    }

    void emitArgumentMatch(const std::string& column,
                           std::pair<std::size_t, std::size_t> argument) {
        out_.word(column);
        out_.symbol("=", true);
        out_.symbol("(", true);
        t_[argument.first].spaced = false;
        emitRange(argument.first, argument.second);
        out_.symbol(")");
    }

    // The comma-separated arguments between two parentheses, as [begin, end) ranges.
    std::vector<std::pair<std::size_t, std::size_t>> splitArguments(std::size_t open,
                                                                    std::size_t close) const {
        std::vector<std::pair<std::size_t, std::size_t>> arguments;
        std::size_t start = open + 1;
        for (std::size_t k = open + 1; k <= close; ++k) {
            if (k == close || (isSymbol(t_[k], ",") && depth_[k] == depth_[open] + 1)) {
                if (k == start) {
                    unsupported("argomento mancante in " + std::string(kDocumentFunction));
                }
                arguments.emplace_back(start, k);
                start = k + 1;
            }
        }
        return arguments;
    }

    static bool isAlias(const Token& token) {
        return token.kind == TokenKind::Word || token.kind == TokenKind::QuotedName;
    }

    static bool isClauseWord(const Token& token) {
        static constexpr std::string_view clauses[] = {
            "CROSS", "EXCEPT", "FULL",  "GROUP", "HAVING", "INNER", "INTERSECT", "JOIN",
            "LEFT",  "ON",     "ORDER", "OUTER", "RIGHT",  "UNION", "WHERE",     "WITH",
        };
        for (const auto clause : clauses) {
            if (isWord(token, clause)) {
                return true;
            }
        }
        return false;
    }

    static std::string aliasText(const Token& token) {
        return token.kind == TokenKind::QuotedName ? quoteName(token.text) : token.text;
    }

    std::vector<Token> t_;
    std::vector<std::size_t> partner_;  // index of the matching parenthesis
    std::vector<std::size_t> depth_;    // parentheses open around each token
    std::vector<std::size_t> lastAs_;   // for a "(": the last AS directly inside it
    std::string statement_;             // first word of the statement, in upper case
    SqlWriter out_;
};

}  // namespace

std::string translate(std::string_view tsql) {
    return Rewriter(tokenize(tsql)).run();
}

const std::string& TranslationCache::translate(std::string_view tsql) {
    if (const auto found = cache_.find(tsql); found != cache_.end()) {
        return found->second;
    }
    std::string translated = sql::translate(tsql);
    if (cache_.size() >= kMaxEntries) {
        cache_.clear();
    }
    return cache_.emplace(std::string(tsql), std::move(translated)).first->second;
}

}  // namespace krl::sql
