#!/usr/bin/python3
"""Second opinion on the SQLite path: every T-SQL text the program sends, translated by an
independent T-SQL parser (sqlglot) and by the program's translator, run on two copies of a fresh
demo database; the results must agree statement by statement, and the tables at the end.

The texts come from the SQL tests' table of program texts (printed by program_sql_texts, in the
order the program runs them) and from the program's test suites run with ZOVRENA_SQL_TRACE, which
makes the data layer write down every text the program sends while the pages are built and used.

sqlglot cannot write some SQL Server forms for SQLite. Each gap is worked around here, in the test,
and named in GAPS; a text sqlglot still cannot handle makes the test fail with the text and the
reason.

Usage: differential.py ZOVRENA PROGRAM_SQL_TEXTS [TEST_BINARY...]
"""

import json
import os
import re
import shutil
import sqlite3
import subprocess
import sys
import tempfile

import sqlglot
from sqlglot import exp

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# What sqlglot cannot write for SQLite, and what this test does instead.
GAPS = {
    "leading semicolon": "';WITH ...' parses as an empty statement and the WITH statement: the "
    "empty one is dropped",
    "table hints": "WITH (NOLOCK) is written to SQLite unchanged: the hints are removed",
    "temporary table names": "#name is written unquoted, which SQLite does not read: the name is "
    "quoted",
    "SELECT INTO": "SELECT ... INTO #t is written to SQLite unchanged: it becomes CREATE TEMP "
    "TABLE \"#t\" AS SELECT ...",
    "OUTER APPLY of a table function": "written as LEFT JOIN LATERAL, which SQLite lacks: the "
    "function's body, read from db/sqlserver/schema.sql, is joined with LEFT JOIN, its WHERE "
    "(parameters replaced by the arguments) becoming the ON condition; like sqlglot's own output, "
    "the join comes after the other joins of its FROM (a join that used the function's columns "
    "would then fail on SQLite and show as a difference)",
    "IF ... DROP TABLE": "IF NOT OBJECT_ID('tempdb..#t') IS NULL DROP TABLE #t does not parse: "
    "the condition is evaluated here on the database and the DROP TABLE alone goes through sqlglot",
}

IF_DROP = re.compile(
    r"^\s*IF\s+NOT\s+OBJECT_ID\s*\(\s*'tempdb\.\.(#\w+)'\s*\)\s+IS\s+NULL\s+(DROP\s+TABLE\s+#\w+)\s*$",
    re.IGNORECASE,
)


class Unsupported(Exception):
    """sqlglot cannot give a SQLite text for the statement."""


def table_functions():
    """The inline table functions of the SQL Server schema: name -> (parameters, body SELECT)."""
    with open(os.path.join(SOURCE_DIR, "db", "sqlserver", "schema.sql"), encoding="utf-8") as f:
        schema = f.read()
    functions = {}
    pattern = re.compile(
        r"CREATE\s+FUNCTION\s+(?:dbo\.)?(\w+)\s*\((.*?)\)\s*RETURNS\s+TABLE\s+AS\s+RETURN\s*\((.*?)\)\s*;?\s*GO",
        re.IGNORECASE | re.DOTALL,
    )
    for name, parameters, body in pattern.findall(schema):
        names = [p.split()[0] for p in parameters.split(",")]
        functions[name.upper()] = (names, body)
    return functions


FUNCTIONS = table_functions()


def apply_as_join(lateral):
    """LEFT JOIN (function body without WHERE) AS name ON (the body's WHERE on the arguments)."""
    call = lateral.this
    if isinstance(call, exp.Dot):
        call = call.expression
    name = call.name.upper()
    if not isinstance(call, exp.Anonymous) or name not in FUNCTIONS:
        raise Unsupported("OUTER APPLY of something other than a table function of the schema")
    parameters, body = FUNCTIONS[name]
    if len(parameters) != len(call.expressions):
        raise Unsupported(f"{name} called with {len(call.expressions)} arguments")
    select = sqlglot.parse_one(body, read="tsql")
    condition = select.args.get("where").this
    select.set("where", None)
    for table in select.find_all(exp.Table):
        table.set("db", None)
    arguments = {p.upper(): a for p, a in zip(parameters, call.expressions)}

    def replace(node):
        if isinstance(node, exp.Column) and not node.table:
            if node.name.upper() in arguments:
                return arguments[node.name.upper()].copy()
            return exp.column(node.name, table=name)
        if isinstance(node, (exp.Parameter, exp.Var)) and f"@{node.name}".upper() in arguments:
            return arguments[f"@{node.name}".upper()].copy()
        return node

    condition = condition.transform(replace)
    alias = lateral.args.get("alias")
    alias_name = alias.name if alias is not None and alias.name else name
    return exp.Join(
        this=exp.Subquery(this=select, alias=exp.TableAlias(this=exp.to_identifier(alias_name))),
        side="LEFT",
        on=condition,
    )


def rewrite(tree):
    """The workarounds that apply inside a parsed statement."""
    for table in tree.find_all(exp.Table):
        table.set("hints", None)
        if table.name.startswith("#"):
            table.set("this", exp.to_identifier(table.name, quoted=True))
    for select in list(tree.find_all(exp.Select)):
        laterals = select.args.get("laterals") or []
        if laterals:
            joins = select.args.get("joins") or []
            for join in laterals:
                lateral = join.this if isinstance(join, exp.Join) else join
                joins.append(apply_as_join(lateral))
            select.set("laterals", None)
            select.set("joins", joins)
    into = tree.args.get("into") if isinstance(tree, exp.Select) else None
    if into is not None:
        tree.set("into", None)
        name = into.this.name
        return f'CREATE TEMP TABLE "{name}" AS ' + tree.sql(dialect="sqlite")
    return tree.sql(dialect="sqlite")


def temp_table_exists(connection, name):
    row = connection.execute(
        "SELECT 1 FROM sqlite_temp_master WHERE type = 'table' AND name = ?", (name,)
    ).fetchone()
    return row is not None


def sqlglot_text(tsql, connection):
    """sqlglot's SQLite text for a T-SQL statement (None: nothing to run)."""
    match = IF_DROP.match(tsql)
    if match:
        if not temp_table_exists(connection, match.group(1)):
            return None
        tsql = match.group(2)
    try:
        statements = [s for s in sqlglot.parse(tsql, read="tsql") if s is not None]
    except sqlglot.errors.ParseError as error:
        raise Unsupported(f"sqlglot does not parse it: {error}") from error
    if len(statements) != 1:
        raise Unsupported(f"{len(statements)} statements in one text")
    return rewrite(statements[0])


def program_text(zovrena, database, tsql):
    done = subprocess.run(
        [zovrena, "sql", "--explain", "--database", "sqlite:" + database, tsql],
        capture_output=True, text=True, check=False,
    )
    if done.returncode != 0:
        raise Unsupported("the program's translator refuses it: " + done.stderr.strip())
    return done.stdout.rstrip("\n")


def run(connection, sql):
    """(rows, changes) of one statement, or ("error", message)."""
    try:
        before = connection.total_changes
        cursor = connection.execute(sql)
        rows = cursor.fetchall()
        return rows, connection.total_changes - before
    except sqlite3.Error as error:
        return "error", str(error)


def ordered(sql):
    return re.search(r"\bORDER\s+BY\b", sql, re.IGNORECASE) is not None


def same(ours, theirs, keep_order):
    if ours[0] == "error" or theirs[0] == "error":
        return ours == theirs
    if keep_order:
        return ours == theirs
    key = lambda row: tuple("" if v is None else str(v) for v in row)
    return sorted(ours[0], key=key) == sorted(theirs[0], key=key) and ours[1] == theirs[1]


def contents(connection):
    tables = connection.execute(
        "SELECT 'main', name FROM sqlite_master WHERE type = 'table' "
        "UNION ALL SELECT 'temp', name FROM sqlite_temp_master WHERE type = 'table' ORDER BY 1, 2"
    ).fetchall()
    result = {}
    for schema, name in tables:
        rows = connection.execute(f'SELECT * FROM {schema}."{name}"').fetchall()
        result[(schema, name)] = sorted(rows, key=repr)
    return result


def compare(zovrena, demo, group, texts, failures):
    """Runs one sequence of texts on two copies of the demo database; returns how many agreed."""
    with tempfile.TemporaryDirectory() as folder:
        ours_file = os.path.join(folder, "ours.db")
        theirs_file = os.path.join(folder, "theirs.db")
        shutil.copy(demo, ours_file)
        shutil.copy(demo, theirs_file)
        ours_db = sqlite3.connect(ours_file)
        theirs_db = sqlite3.connect(theirs_file)
        agreed = 0
        for what, tsql in texts:
            label = f"{group}: {what}"
            try:
                ours_sql = program_text(zovrena, ours_file, tsql)
            except Unsupported as reason:
                failures.append(f"{label}\n    {tsql}\n    {reason}")
                continue
            ours = run(ours_db, ours_sql)
            try:
                theirs_sql = sqlglot_text(tsql, theirs_db)
            except Unsupported as reason:
                failures.append(f"{label}\n    {tsql}\n    sqlglot: {reason}")
                continue
            theirs = run(theirs_db, theirs_sql) if theirs_sql is not None else ([], 0)
            if same(ours, theirs, ordered(tsql)):
                agreed += 1
                if ours[0] == "error":
                    # Texts of the suites' own fixtures, made for another database.
                    print(f"  both refused by SQLite alike: {tsql}\n    {ours[1]}")
            else:
                failures.append(
                    f"{label}\n    T-SQL:   {tsql}\n    program: {ours_sql}\n             -> {ours}"
                    f"\n    sqlglot: {theirs_sql}\n             -> {theirs}"
                )
        if contents(ours_db) != contents(theirs_db):
            failures.append(f"{group}: the tables differ after the last statement")
        ours_db.close()
        theirs_db.close()
        return agreed


def golden_texts(printer):
    out = subprocess.run([printer], capture_output=True, text=True, check=True).stdout
    return [(item["what"], item["tsql"]) for item in map(json.loads, out.splitlines())]


def traced_texts(binaries, folder):
    """Every distinct text the test suites made the program send, in the order first sent."""
    trace = os.path.join(folder, "trace.jsonl")
    environment = dict(os.environ, ZOVRENA_SQL_TRACE=trace)
    for binary in binaries:
        done = subprocess.run([binary, "--gtest_brief=1"], env=environment, check=False,
                              capture_output=True, text=True)
        if done.returncode != 0:
            sys.stdout.write(done.stdout + done.stderr)
            raise RuntimeError(f"{binary} failed")
    seen = []
    if os.path.exists(trace):
        with open(trace, encoding="utf-8", errors="surrogateescape") as f:
            for line in f:
                text = json.loads(line)
                if text not in seen:
                    seen.append(text)
    return [("sent", text) for text in seen]


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    zovrena, printer, binaries = sys.argv[1], sys.argv[2], sys.argv[3:]
    print(f"sqlglot {sqlglot.__version__}; gaps worked around in this test:")
    for gap, what in GAPS.items():
        print(f"  - {gap}: {what}")
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        demo = os.path.join(folder, "demo.db")
        subprocess.run([zovrena, "demo", "--database", "sqlite:" + demo], check=True,
                       stdout=subprocess.DEVNULL)
        groups = [("program texts", golden_texts(printer))]
        if binaries:
            groups.append(("texts sent by the test suites", traced_texts(binaries, folder)))
        for group, texts in groups:
            agreed = compare(zovrena, demo, group, texts, failures)
            print(f"{group}: {agreed} of {len(texts)} agree")
            if not texts:
                failures.append(f"{group}: no texts")
    for failure in failures:
        print("DIFFERENCE " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
