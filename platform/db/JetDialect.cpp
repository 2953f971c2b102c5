// Jet (Access) SQL to SQLite: a tokenizer, a few tree rewrites, and the plan
// the engine executes. String literals are opaque tokens, so no rewrite can
// ever touch the text inside them.
#include "db/DbEngine.h"
#include "db/JetDialect_p.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSet>

namespace kv::db {
namespace detail {
namespace {

QString tr(const char *text) { return QCoreApplication::translate("TDbEngine", text); }

// The engine the statement being planned on this thread is rendered for.
thread_local TTarget g_target = TTarget::SQLite;
bool pg() { return g_target == TTarget::PostgreSQL; }

struct TTargetScope {
    explicit TTargetScope(TTarget t) : saved(g_target) { g_target = t; }
    ~TTargetScope() { g_target = saved; }
    TTarget saved;
};

[[noreturn]] void fail(const QString &what, const QString &sql = QString())
{
    QString msg = what;
    if (!sql.isEmpty())
        msg += QStringLiteral("\n") + sql;
    throw EDatabaseError(msg);
}

using TToks = QVector<TTok>;

// Every word SQLite reserves; an identifier spelled like one must be quoted.
const QSet<QString> &sqliteKeywords()
{
    static const QSet<QString> s = [] {
        const char *words[] = {
            "ABORT", "ACTION", "ADD", "AFTER", "ALL", "ALTER", "ALWAYS", "ANALYZE", "AND", "AS",
            "ASC", "ATTACH", "AUTOINCREMENT", "BEFORE", "BEGIN", "BETWEEN", "BY", "CASCADE",
            "CASE", "CAST", "CHECK", "COLLATE", "COLUMN", "COMMIT", "CONFLICT", "CONSTRAINT",
            "CREATE", "CROSS", "CURRENT", "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP",
            "DATABASE", "DEFAULT", "DEFERRABLE", "DEFERRED", "DELETE", "DESC", "DETACH",
            "DISTINCT", "DO", "DROP", "EACH", "ELSE", "END", "ESCAPE", "EXCEPT", "EXCLUDE",
            "EXCLUSIVE", "EXISTS", "EXPLAIN", "FAIL", "FILTER", "FIRST", "FOLLOWING", "FOR",
            "FOREIGN", "FROM", "FULL", "GENERATED", "GLOB", "GROUP", "GROUPS", "HAVING", "IF",
            "IGNORE", "IMMEDIATE", "IN", "INDEX", "INDEXED", "INITIALLY", "INNER", "INSERT",
            "INSTEAD", "INTERSECT", "INTO", "IS", "ISNULL", "JOIN", "KEY", "LAST", "LEFT", "LIKE",
            "LIMIT", "MATCH", "MATERIALIZED", "NATURAL", "NO", "NOT", "NOTHING", "NOTNULL", "NULL",
            "NULLS", "OF", "OFFSET", "ON", "OR", "ORDER", "OTHERS", "OUTER", "OVER", "PARTITION",
            "PLAN", "PRAGMA", "PRECEDING", "PRIMARY", "QUERY", "RAISE", "RANGE", "RECURSIVE",
            "REFERENCES", "REGEXP", "REINDEX", "RELEASE", "RENAME", "REPLACE", "RESTRICT",
            "RETURNING", "RIGHT", "ROLLBACK", "ROW", "ROWS", "SAVEPOINT", "SELECT", "SET", "TABLE",
            "TEMP", "TEMPORARY", "THEN", "TIES", "TO", "TRANSACTION", "TRIGGER", "UNBOUNDED",
            "UNION", "UNIQUE", "UPDATE", "USING", "VACUUM", "VALUES", "VIEW", "VIRTUAL", "WHEN",
            "WHERE", "WINDOW", "WITH", "WITHOUT"};
        QSet<QString> r;
        for (const char *w : words)
            r.insert(QString::fromLatin1(w));
        return r;
    }();
    return s;
}

// Words PostgreSQL reserves beyond SQLite's: names spelled so are quoted there.
const QSet<QString> &pgOnlyKeywords()
{
    static const QSet<QString> s = [] {
        const char *words[] = {
            "ANALYSE", "ARRAY", "ASYMMETRIC", "AUTHORIZATION", "BINARY", "BOTH", "COLLATION",
            "CONCURRENTLY", "CURRENT_CATALOG", "CURRENT_ROLE", "CURRENT_SCHEMA", "CURRENT_USER",
            "FETCH", "FREEZE", "GRANT", "ILIKE", "LATERAL", "LEADING", "LOCALTIME", "LOCALTIMESTAMP",
            "ONLY", "OVERLAPS", "PLACING", "SESSION_USER", "SIMILAR", "SOME", "SYMMETRIC",
            "TABLESAMPLE", "TRAILING", "USER", "VARIADIC", "VERBOSE"};
        QSet<QString> r;
        for (const char *w : words)
            r.insert(QString::fromLatin1(w));
        return r;
    }();
    return s;
}

bool reservedWord(const QString &upper)
{
    return sqliteKeywords().contains(upper) || (pg() && pgOnlyKeywords().contains(upper));
}

// Words that the statements of this dialect only ever use as keywords.
const QSet<QString> &keywordRole()
{
    static const QSet<QString> s = [] {
        const char *words[] = {
            "SELECT", "FROM", "WHERE", "AND", "OR", "NOT", "ORDER", "BY", "ASC", "DESC", "LIKE",
            "IN", "IS", "NULL", "INSERT", "INTO", "VALUES", "UPDATE", "SET", "DELETE", "CREATE",
            "TABLE", "ALTER", "ADD", "CONSTRAINT", "FOREIGN", "REFERENCES", "ON", "CASCADE",
            "PRIMARY", "AS", "DISTINCT", "GROUP", "HAVING", "BETWEEN", "JOIN", "INNER", "LEFT",
            "RIGHT", "OUTER", "FULL", "CROSS", "UNION", "ALL", "DROP", "UNIQUE", "DEFAULT",
            "CHECK", "COLUMN", "EXISTS", "CASE", "WHEN", "THEN", "ELSE", "END", "ESCAPE", "LIMIT",
            "OFFSET", "COLLATE", "CAST", "EXCEPT", "INTERSECT", "AUTOINCREMENT", "CURRENT_DATE",
            "CURRENT_TIME", "CURRENT_TIMESTAMP", "BEGIN", "COMMIT", "ROLLBACK", "TRANSACTION",
            "PRAGMA", "WITH", "RENAME", "TO", "USING", "NATURAL", "GLOB"};
        QSet<QString> r;
        for (const char *w : words)
            r.insert(QString::fromLatin1(w));
        return r;
    }();
    return s;
}

// Words that end an operand of '&' (the concatenation binds looser than
// arithmetic and tighter than comparison).
const QSet<QString> &operandBoundary()
{
    static const QSet<QString> s = [] {
        QSet<QString> r = keywordRole();
        r.remove(QStringLiteral("NULL"));
        r.remove(QStringLiteral("CAST"));
        r.remove(QStringLiteral("CURRENT_DATE"));
        r.remove(QStringLiteral("CURRENT_TIME"));
        r.remove(QStringLiteral("CURRENT_TIMESTAMP"));
        r.insert(QStringLiteral("TOP"));
        return r;
    }();
    return s;
}

const QSet<QString> &aggregates()
{
    static const QSet<QString> s = {
        QStringLiteral("COUNT"), QStringLiteral("SUM"),   QStringLiteral("AVG"),
        QStringLiteral("MIN"),   QStringLiteral("MAX"),   QStringLiteral("FIRST"),
        QStringLiteral("LAST"),  QStringLiteral("STDEV"), QStringLiteral("STDEVP"),
        QStringLiteral("VAR"),   QStringLiteral("VARP"),  QStringLiteral("GROUP_CONCAT"),
        QStringLiteral("TOTAL")};
    return s;
}

bool isWord(const TTok &t, const char *upper)
{
    return t.kind == TTokKind::Word && t.text.compare(QLatin1String(upper), Qt::CaseInsensitive) == 0;
}
bool isOp(const TTok &t, const char *op) { return t.kind == TTokKind::Op && t.text == QLatin1String(op); }
bool isName(const TTok &t) { return t.kind == TTokKind::Word || t.kind == TTokKind::Ident; }
QString up(const TTok &t) { return t.text.toUpper(); }

TTok mk(TTokKind k, const QString &text)
{
    TTok t;
    t.kind = k;
    t.text = text;
    return t;
}
TTok W(const char *s) { return mk(TTokKind::Word, QString::fromLatin1(s)); }
TTok S(const QString &s) { return mk(TTokKind::String, s); }
TTok N(const QString &s) { return mk(TTokKind::Number, s); }
TTok O(const char *s) { return mk(TTokKind::Op, QString::fromLatin1(s)); }
TTok I(const QString &s) { return mk(TTokKind::Ident, s); }
TTok G(const TToks &kids)
{
    TTok t = mk(TTokKind::Group, QString());
    t.kids = kids;
    return t;
}

// ---------------------------------------------------------------- lexing

bool wordStart(QChar c) { return c.isLetter() || c == QLatin1Char('_') || (c.unicode() >= 0x80 && !c.isSpace()); }
bool wordChar(QChar c) { return wordStart(c) || c.isDigit() || c == QLatin1Char('$'); }

// #...# of Jet: US month/day/year or ISO order, optional time.
QString jetDateLiteral(const QString &raw, const QString &sql)
{
    const QString t = raw.trimmed();
    const char *dateTimeFormats[] = {"M/d/yyyy h:m:s AP", "M/d/yyyy h:m AP", "M/d/yyyy H:m:s", "M/d/yyyy H:m",
                                     "yyyy-M-d H:m:s",    "yyyy-M-d H:m",    "yyyy/M/d H:m:s", "yyyy/M/d H:m",
                                     "yyyy-M-dTH:m:s"};
    for (const char *f : dateTimeFormats) {
        QDateTime dt = QDateTime::fromString(t, QString::fromLatin1(f));
        if (dt.isValid())
            return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    const char *dateFormats[] = {"M/d/yyyy", "yyyy-M-d", "yyyy/M/d", "M/d/yy"};
    for (const char *f : dateFormats) {
        QDate d = QDate::fromString(t, QString::fromLatin1(f));
        if (d.isValid())
            return d.toString(QStringLiteral("yyyy-MM-dd"));
    }
    const char *timeFormats[] = {"h:m:s AP", "h:m AP", "H:m:s", "H:m"};
    for (const char *f : timeFormats) {
        QTime tm = QTime::fromString(t, QString::fromLatin1(f));
        if (tm.isValid())
            return tm.toString(QStringLiteral("HH:mm:ss"));
    }
    fail(tr("无法识别的日期: #%1#").arg(raw), sql);
}

TToks lexFlat(const QString &s, bool sqliteText)
{
    TToks out;
    const int n = s.size();
    int i = 0;
    auto push = [&](TTokKind k, const QString &text, int from, int to) {
        TTok t = mk(k, text);
        t.pos = from;
        t.end = to;
        out.append(t);
    };
    while (i < n) {
        const QChar c = s.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        const int start = i;
        if (c == QLatin1Char('\'') || (c == QLatin1Char('"') && !sqliteText)) {
            // Text literal, the quote doubled inside.
            QString value;
            ++i;
            bool closed = false;
            while (i < n) {
                if (s.at(i) == c) {
                    if (i + 1 < n && s.at(i + 1) == c) {
                        value += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += s.at(i++);
            }
            if (!closed)
                fail(tr("文本常量缺少结束引号"), s);
            push(TTokKind::String, value, start, i);
            continue;
        }
        if (c == QLatin1Char('[') || c == QLatin1Char('`') || c == QLatin1Char('"')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            QString name;
            ++i;
            bool closed = false;
            while (i < n) {
                if (s.at(i) == close) {
                    if (close != QLatin1Char(']') && i + 1 < n && s.at(i + 1) == close) {
                        name += close;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                name += s.at(i++);
            }
            if (!closed)
                fail(tr("名称缺少结束括号"), s);
            push(TTokKind::Ident, name, start, i);
            continue;
        }
        if (c == QLatin1Char('#') && !sqliteText) {
            const int close = s.indexOf(QLatin1Char('#'), i + 1);
            if (close < 0)
                fail(tr("日期常量缺少结束符 #"), s);
            push(TTokKind::String, jetDateLiteral(s.mid(i + 1, close - i - 1), s), start, close + 1);
            i = close + 1;
            continue;
        }
        if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s.at(i + 1).isDigit())) {
            // A number ends where its digits end, so "0and" is 0 followed by and.
            while (i < n && s.at(i).isDigit())
                ++i;
            if (i < n && s.at(i) == QLatin1Char('.')) {
                ++i;
                while (i < n && s.at(i).isDigit())
                    ++i;
            }
            if (i < n && (s.at(i) == QLatin1Char('e') || s.at(i) == QLatin1Char('E'))) {
                int j = i + 1;
                if (j < n && (s.at(j) == QLatin1Char('+') || s.at(j) == QLatin1Char('-')))
                    ++j;
                if (j < n && s.at(j).isDigit()) {
                    while (j < n && s.at(j).isDigit())
                        ++j;
                    i = j;
                }
            }
            push(TTokKind::Number, s.mid(start, i - start), start, i);
            continue;
        }
        if (wordStart(c)) {
            while (i < n && wordChar(s.at(i)))
                ++i;
            push(TTokKind::Word, s.mid(start, i - start), start, i);
            continue;
        }
        const QString two = s.mid(i, 2);
        if (two == QLatin1String("<>") || two == QLatin1String("<=") || two == QLatin1String(">=") ||
            two == QLatin1String("!=") || (sqliteText && (two == QLatin1String("||") || two == QLatin1String("==")))) {
            push(TTokKind::Op, two, start, i + 2);
            i += 2;
            continue;
        }
        static const QString singles = QStringLiteral("(),.;*/+-=<>&%?:");
        if (singles.contains(c) || (sqliteText && (c == QLatin1Char('|') || c == QLatin1Char('~')))) {
            push(TTokKind::Op, QString(c), start, i + 1);
            ++i;
            continue;
        }
        fail(tr("语句中有无法识别的字符 '%1'").arg(c), s);
    }
    return out;
}

TToks nest(const TToks &flat, const QString &sql)
{
    QVector<TToks> stack(1);
    QVector<int> opens;
    for (const TTok &t : flat) {
        if (isOp(t, "(")) {
            stack.append(TToks());
            opens.append(t.pos);
        } else if (isOp(t, ")")) {
            if (stack.size() == 1)
                fail(tr("括号不匹配"), sql);
            TTok g = G(stack.takeLast());
            g.pos = opens.takeLast();
            g.end = t.end;
            stack.last().append(g);
        } else {
            stack.last().append(t);
        }
    }
    if (stack.size() != 1)
        fail(tr("括号不匹配"), sql);
    return stack.first();
}

// ---------------------------------------------------------------- helpers

QVector<TToks> splitArgs(const TToks &v)
{
    QVector<TToks> out(1);
    for (const TTok &t : v) {
        if (isOp(t, ","))
            out.append(TToks());
        else
            out.last().append(t);
    }
    if (out.size() == 1 && out.first().isEmpty())
        out.clear();
    return out;
}

TToks joinArgs(const QVector<TToks> &args)
{
    TToks out;
    for (int i = 0; i < args.size(); ++i) {
        if (i)
            out.append(O(","));
        out += args[i];
    }
    return out;
}

int findTop(const TToks &v, const char *word, int from = 0)
{
    for (int i = from; i < v.size(); ++i)
        if (isWord(v[i], word))
            return i;
    return -1;
}

// ---------------------------------------------------------------- functions

TToks call(const char *name, const QVector<TToks> &args) { return {W(name), G(joinArgs(args))}; }
TToks paren(const TToks &v) { return {G(v)}; }

TToks castAs(const TToks &x, const char *type)
{
    TToks inner = x;
    inner.append(W("AS"));
    inner.append(W(type));
    return {W("CAST"), G(inner)};
}

// A helper function of the PostgreSQL session (pg_temp.kv_num, kv_text, kv_round).
TToks pgFn(const char *name, const QVector<TToks> &args)
{
    return {W("pg_temp"), O("."), W(name), G(joinArgs(args))};
}
TToks pgNum(const TToks &x) { return pgFn("kv_num", {x}); }
TToks pgText(const TToks &x) { return pgFn("kv_text", {x}); }

// Format(x, "0.00") and Format(d, "yyyy-mm-dd hh:nn:ss") as printf/strftime
// (PostgreSQL: round to numeric text / to_char).
TToks formatCall(const QVector<TToks> &args, const QString &sql)
{
    if (args.size() != 2 || args[1].size() != 1 || args[1][0].kind != TTokKind::String)
        fail(tr("Format 的格式必须是文本常量"), sql);
    const QString f = args[1][0].text;
    const QString lf = f.toLower();
    auto fixed = [&](int decimals) {
        if (pg())
            return castAs(call("round", {castAs(pgNum(args[0]), "numeric"), {N(QString::number(decimals))}}), "text");
        return call("printf", {{S(QStringLiteral("%.%1f").arg(decimals))}, args[0]});
    };
    if (lf == QLatin1String("fixed") || lf == QLatin1String("standard"))
        return fixed(2);
    if (lf == QLatin1String("general number"))
        return paren(args[0]);
    bool numeric = !f.isEmpty();
    for (QChar c : f)
        if (c != QLatin1Char('0') && c != QLatin1Char('#') && c != QLatin1Char('.'))
            numeric = false;
    if (numeric) {
        const int dot = f.indexOf(QLatin1Char('.'));
        return fixed(dot < 0 ? 0 : f.size() - dot - 1);
    }
    QString out, pgOut;
    bool lastWasHour = false;
    for (int i = 0; i < f.size();) {
        auto run = [&](QChar ch) {
            int j = i;
            while (j < f.size() && f.at(j).toLower() == ch)
                ++j;
            return j - i;
        };
        const QChar c = f.at(i).toLower();
        int k = 0;
        if (c == QLatin1Char('y') && (k = run(c)) > 0) {
            out += QStringLiteral("%Y");
            pgOut += QStringLiteral("YYYY");
        } else if (c == QLatin1Char('m') && (k = run(c)) > 0) {
            out += lastWasHour ? QStringLiteral("%M") : QStringLiteral("%m");
            pgOut += lastWasHour ? QStringLiteral("MI") : QStringLiteral("MM");
        } else if (c == QLatin1Char('d') && (k = run(c)) > 0) {
            out += QStringLiteral("%d");
            pgOut += QStringLiteral("DD");
        } else if (c == QLatin1Char('h') && (k = run(c)) > 0) {
            out += QStringLiteral("%H");
            pgOut += QStringLiteral("HH24");
            lastWasHour = true;
            i += k;
            continue;
        } else if (c == QLatin1Char('n') && (k = run(c)) > 0) {
            out += QStringLiteral("%M");
            pgOut += QStringLiteral("MI");
        } else if (c == QLatin1Char('s') && (k = run(c)) > 0) {
            out += QStringLiteral("%S");
            pgOut += QStringLiteral("SS");
        } else if (c.isLetter()) {
            fail(tr("不支持的 Format 格式: %1").arg(f), sql);
        } else {
            out += c == QLatin1Char('%') ? QStringLiteral("%%") : QString(f.at(i));
            pgOut += QString(f.at(i));
            k = 1;
        }
        if (c != QLatin1Char(':'))
            lastWasHour = lastWasHour && c.isSpace();
        i += k;
    }
    if (pg())
        return call("to_char", {castAs(args[0], "timestamp"), {S(pgOut)}});
    return call("strftime", {{S(out)}, args[0]});
}

// The Jet functions whose SQLite form PostgreSQL lacks: text arguments pass
// kv_text, number arguments kv_num (numbers kept as text convert as in Jet).
template <typename Need>
bool rewritePgFunction(const QString &name, const QVector<TToks> &a, Need need, TToks &r, const QString &sql)
{
    Q_UNUSED(sql);
    const TToks one{N(QStringLiteral("1"))};
    if (name == QLatin1String("VAL") || name == QLatin1String("CDBL") || name == QLatin1String("CSNG")) {
        need(1, 1);
        r = pgNum(a[0]);
    } else if (name == QLatin1String("CSTR")) {
        need(1, 1);
        r = pgText(a[0]);
    } else if (name == QLatin1String("CINT") || name == QLatin1String("CLNG")) {
        need(1, 1);
        r = castAs(call("round", {pgNum(a[0])}), "bigint");
    } else if (name == QLatin1String("FIX")) {
        need(1, 1);
        r = castAs(call("trunc", {pgNum(a[0])}), "bigint");
    } else if (name == QLatin1String("INT")) {
        need(1, 1);
        r = castAs(call("floor", {pgNum(a[0])}), "bigint");
    } else if (name == QLatin1String("ROUND")) {
        need(1, 2);
        r = pgFn("kv_round", {pgNum(a[0]), a.size() == 2 ? a[1] : TToks{N(QStringLiteral("0"))}});
    } else if (name == QLatin1String("SUM") || name == QLatin1String("AVG")) {
        if (a.size() != 1 || (a[0].size() == 1 && isOp(a[0][0], "*")))
            return false;
        r = call(name == QLatin1String("SUM") ? "sum" : "avg", {pgNum(a[0])});
    } else if (name == QLatin1String("MID")) {
        need(2, 3);
        QVector<TToks> b = a;
        b[0] = pgText(a[0]);
        r = call("substr", b);
    } else if (name == QLatin1String("LEFT")) {
        need(2, 2);
        r = call("substr", {pgText(a[0]), one, a[1]});
    } else if (name == QLatin1String("RIGHT")) {
        need(2, 2);
        TToks start = call("length", {pgText(a[0])});
        start.append(O("-"));
        start += paren(a[1]);
        start.append(O("+"));
        start += one;
        r = call("substr", {pgText(a[0]), call("greatest", {start, one})});
    } else if (name == QLatin1String("LEN")) {
        need(1, 1);
        r = call("length", {pgText(a[0])});
    } else if (name == QLatin1String("UCASE") || name == QLatin1String("LCASE")) {
        need(1, 1);
        r = call(name == QLatin1String("UCASE") ? "upper" : "lower", {pgText(a[0])});
    } else if (name == QLatin1String("INSTR") && a.size() == 2) {
        r = call("strpos", {pgText(a[0]), pgText(a[1])});
    } else if (name == QLatin1String("INSTR") && a.size() == 3) {
        TToks sub = call("strpos", {call("substr", {pgText(a[1]), a[0]}), pgText(a[2])});
        TToks c{W("CASE"), W("WHEN")};
        c += sub;
        c += TToks{O(">"), N(QStringLiteral("0")), W("THEN")};
        c += sub;
        c.append(O("+"));
        c += paren(a[0]);
        c += TToks{O("-"), N(QStringLiteral("1")), W("ELSE"), N(QStringLiteral("0")), W("END")};
        r = paren(c);
    } else if ((name == QLatin1String("NOW") || name == QLatin1String("DATE") || name == QLatin1String("TIME")) &&
               a.isEmpty()) {
        const char *f = name == QLatin1String("NOW") ? "YYYY-MM-DD HH24:MI:SS"
                        : name == QLatin1String("DATE") ? "YYYY-MM-DD"
                                                        : "HH24:MI:SS";
        r = call("to_char", {TToks{W("now"), G({})}, {S(QString::fromLatin1(f))}});
    } else if (name == QLatin1String("YEAR") || name == QLatin1String("MONTH") || name == QLatin1String("DAY")) {
        need(1, 1);
        const char *f = name == QLatin1String("YEAR") ? "YYYY" : name == QLatin1String("MONTH") ? "MM" : "DD";
        r = castAs(call("to_char", {castAs(a[0], "timestamp"), {S(QString::fromLatin1(f))}}), "integer");
    } else if (name == QLatin1String("NZ")) {
        need(1, 2);
        r = call("coalesce", {a[0], a.size() == 2 ? a[1] : TToks{S(QString())}});
    } else if (name == QLatin1String("ASC")) {
        need(1, 1);
        r = call("ascii", {pgText(a[0])});
    } else if (name == QLatin1String("CHR")) {
        need(1, 1);
        r = call("chr", {castAs(pgNum(a[0]), "integer")});
    } else {
        return false;
    }
    return true;
}

bool blocksCall(const TToks &v, int i)
{
    if (i == 0)
        return false;
    const TTok &p = v[i - 1];
    return isOp(p, ".") || isWord(p, "INTO") || isWord(p, "TABLE") || isWord(p, "REFERENCES") ||
           isWord(p, "FROM") || isWord(p, "JOIN") || isWord(p, "UPDATE") || isWord(p, "AS");
}

void rewriteFunctions(TToks &v, const QString &sql)
{
    for (TTok &t : v)
        if (t.kind == TTokKind::Group)
            rewriteFunctions(t.kids, sql);
    for (int i = 0; i + 1 < v.size(); ++i) {
        if (v[i].kind != TTokKind::Word || v[i + 1].kind != TTokKind::Group || blocksCall(v, i))
            continue;
        const QString name = up(v[i]);
        const QVector<TToks> a = splitArgs(v[i + 1].kids);
        auto need = [&](int lo, int hi) {
            if (a.size() < lo || a.size() > hi)
                fail(tr("函数 %1 的参数个数不对").arg(v[i].text), sql);
        };
        TToks r;
        if (pg() && rewritePgFunction(name, a, need, r, sql)) {
            // done
        } else if (name == QLatin1String("IIF")) {
            need(3, 3);
            TToks c{W("CASE"), W("WHEN")};
            c += a[0];
            c.append(W("THEN"));
            c += a[1];
            c.append(W("ELSE"));
            c += a[2];
            c.append(W("END"));
            r = paren(c);
        } else if (name == QLatin1String("VAL") || name == QLatin1String("CDBL") || name == QLatin1String("CSNG")) {
            need(1, 1);
            r = castAs(a[0], "REAL");
        } else if (name == QLatin1String("CSTR")) {
            need(1, 1);
            r = castAs(a[0], "TEXT");
        } else if (name == QLatin1String("CINT") || name == QLatin1String("CLNG")) {
            need(1, 1);
            r = castAs(call("round", {a[0]}), "INTEGER");
        } else if (name == QLatin1String("FIX")) {
            need(1, 1);
            r = castAs(a[0], "INTEGER");
        } else if (name == QLatin1String("INT")) {
            need(1, 1);
            TToks x = paren(a[0]);
            TToks c = castAs(x, "INTEGER");
            TToks lt = x;
            lt.append(O("<"));
            lt += c;
            TToks e = c;
            e.append(O("-"));
            e += paren(lt);
            r = paren(e);
        } else if (name == QLatin1String("MID")) {
            need(2, 3);
            r = call("substr", a);
        } else if (name == QLatin1String("LEFT")) {
            need(2, 2);
            r = call("substr", {a[0], {N(QStringLiteral("1"))}, a[1]});
        } else if (name == QLatin1String("RIGHT")) {
            need(2, 2);
            TToks start = call("length", {a[0]});
            start.append(O("-"));
            start += paren(a[1]);
            start.append(O("+"));
            start.append(N(QStringLiteral("1")));
            r = call("substr", {a[0], call("max", {start, {N(QStringLiteral("1"))}})});
        } else if (name == QLatin1String("LEN")) {
            need(1, 1);
            r = call("length", a);
        } else if (name == QLatin1String("UCASE")) {
            need(1, 1);
            r = call("upper", a);
        } else if (name == QLatin1String("LCASE")) {
            need(1, 1);
            r = call("lower", a);
        } else if (name == QLatin1String("INSTR") && a.size() == 3) {
            // InStr(start, s, t): position counted from the start of s.
            TToks sub = call("instr", {call("substr", {a[1], a[0]}), a[2]});
            TToks c{W("CASE"), W("WHEN")};
            c += sub;
            c.append(O(">"));
            c.append(N(QStringLiteral("0")));
            c.append(W("THEN"));
            c += sub;
            c.append(O("+"));
            c += paren(a[0]);
            c.append(O("-"));
            c.append(N(QStringLiteral("1")));
            c.append(W("ELSE"));
            c.append(N(QStringLiteral("0")));
            c.append(W("END"));
            r = paren(c);
        } else if (name == QLatin1String("NOW") && a.isEmpty()) {
            r = call("datetime", {{S(QStringLiteral("now"))}, {S(QStringLiteral("localtime"))}});
        } else if (name == QLatin1String("DATE") && a.isEmpty()) {
            r = call("date", {{S(QStringLiteral("now"))}, {S(QStringLiteral("localtime"))}});
        } else if (name == QLatin1String("TIME") && a.isEmpty()) {
            r = call("time", {{S(QStringLiteral("now"))}, {S(QStringLiteral("localtime"))}});
        } else if (name == QLatin1String("YEAR") || name == QLatin1String("MONTH") || name == QLatin1String("DAY")) {
            need(1, 1);
            const char *f = name == QLatin1String("YEAR") ? "%Y" : name == QLatin1String("MONTH") ? "%m" : "%d";
            r = castAs(call("strftime", {{S(QString::fromLatin1(f))}, a[0]}), "INTEGER");
        } else if (name == QLatin1String("NZ")) {
            need(1, 2);
            r = call("ifnull", {a[0], a.size() == 2 ? a[1] : TToks{S(QString())}});
        } else if (name == QLatin1String("SGN")) {
            need(1, 1);
            TToks x = paren(a[0]);
            TToks c{W("CASE"), W("WHEN")};
            c += x;
            c.append(O(">"));
            c.append(N(QStringLiteral("0")));
            c.append(W("THEN"));
            c.append(N(QStringLiteral("1")));
            c.append(W("WHEN"));
            c += x;
            c.append(O("<"));
            c.append(N(QStringLiteral("0")));
            c.append(W("THEN"));
            c.append(N(QStringLiteral("-1")));
            c.append(W("ELSE"));
            c.append(N(QStringLiteral("0")));
            c.append(W("END"));
            r = paren(c);
        } else if (name == QLatin1String("ASC")) {
            need(1, 1);
            r = call("unicode", a);
        } else if (name == QLatin1String("CHR")) {
            need(1, 1);
            r = call("char", a);
        } else if (name == QLatin1String("FORMAT")) {
            r = formatCall(a, sql);
        } else {
            continue;
        }
        v.remove(i, 2);
        for (int k = 0; k < r.size(); ++k)
            v.insert(i + k, r[k]);
        i += r.size() - 1;
    }
}

// ---------------------------------------------------------------- operators

bool isBoundary(const TTok &t)
{
    if (t.kind == TTokKind::Op) {
        static const QSet<QString> ops = {QStringLiteral(","),  QStringLiteral("="),  QStringLiteral("<>"),
                                          QStringLiteral("<"),  QStringLiteral(">"),  QStringLiteral("<="),
                                          QStringLiteral(">="), QStringLiteral("!="), QStringLiteral(";")};
        return ops.contains(t.text);
    }
    return t.kind == TTokKind::Word && operandBoundary().contains(up(t));
}

// a & b → (ifnull((a),'') || ifnull((b),'')): Jet joins text with '&' and
// treats a null operand as empty text.
void rewriteConcat(TToks &v, const QString &sql)
{
    for (TTok &t : v)
        if (t.kind == TTokKind::Group)
            rewriteConcat(t.kids, sql);
    bool any = false;
    for (const TTok &t : v)
        any = any || isOp(t, "&");
    if (!any)
        return;
    TToks out;
    int segStart = 0;
    auto flush = [&](int end) {
        TToks seg = v.mid(segStart, end - segStart);
        bool has = false;
        for (const TTok &t : seg)
            has = has || isOp(t, "&");
        if (!has) {
            out += seg;
            return;
        }
        TToks joined;
        TToks operand;
        auto addOperand = [&]() {
            if (operand.isEmpty())
                fail(tr("运算符 & 缺少操作数"), sql);
            if (!joined.isEmpty())
                joined.append(O("||"));
            if (pg())
                joined += call("coalesce", {pgText(paren(operand)), {S(QString())}});
            else
                joined += call("ifnull", {paren(operand), {S(QString())}});
            operand.clear();
        };
        for (const TTok &t : seg) {
            if (isOp(t, "&"))
                addOperand();
            else
                operand.append(t);
        }
        addOperand();
        out.append(G(joined));
    };
    for (int i = 0; i < v.size(); ++i) {
        if (isBoundary(v[i])) {
            flush(i);
            out.append(v[i]);
            segStart = i + 1;
        }
    }
    flush(v.size());
    v = out;
}

// Jet's '/' always divides as floating point; SQLite divides integers as
// integers. Multiplying the left side by 1.0 keeps the left-to-right grouping.
void rewriteDivision(TToks &v)
{
    for (int i = 0; i < v.size(); ++i) {
        if (v[i].kind == TTokKind::Group) {
            rewriteDivision(v[i].kids);
        } else if (isOp(v[i], "/")) {
            v.insert(i, N(QStringLiteral("1.0")));
            v.insert(i, O("*"));
            i += 2;
        }
    }
}

bool arithmeticOp(const TTok &t)
{
    return t.kind == TTokKind::Op && (t.text == QLatin1String("+") || t.text == QLatin1String("-") ||
                                      t.text == QLatin1String("*") || t.text == QLatin1String("/"));
}

// The end of the operand that starts at i (-1: none starts there); plain is
// set for a column name (not a call).
int operandEnd(const TToks &v, int i, bool *plain)
{
    *plain = false;
    const TTok &t = v[i];
    if (t.kind == TTokKind::Number || t.kind == TTokKind::String || t.kind == TTokKind::Group)
        return i + 1;
    if (isWord(t, "CAST") && i + 1 < v.size() && v[i + 1].kind == TTokKind::Group)
        return i + 2;
    if (t.kind != TTokKind::Ident && !(t.kind == TTokKind::Word && !keywordRole().contains(up(t))))
        return -1;
    int e = i + 1;
    while (e + 1 < v.size() && isOp(v[e], ".") && isName(v[e + 1]))
        e += 2;
    if (e < v.size() && v[e].kind == TTokKind::Group)
        return e + 1;
    *plain = true;
    return e;
}

// PostgreSQL: a column next to + - * / is read as a number (Jet's text
// columns hold numbers), and every divisor is a floating-point number with
// 0 read as null, so a division never truncates and never fails.
void wrapArithmetic(TToks &v)
{
    for (TTok &t : v)
        if (t.kind == TTokKind::Group)
            wrapArithmetic(t.kids);
    TToks out;
    for (int i = 0; i < v.size();) {
        bool plain = false;
        const int e = operandEnd(v, i, &plain);
        if (e < 0) {
            out.append(v[i++]);
            continue;
        }
        TToks operand = v.mid(i, e - i);
        const bool afterOp = !out.isEmpty() && arithmeticOp(out.last());
        const bool beforeOp = e < v.size() && arithmeticOp(v[e]);
        if (plain && (afterOp || beforeOp))
            operand = pgNum(operand);
        if (afterOp && isOp(out.last(), "/"))
            operand = call("NULLIF", {plain ? operand : pgNum(operand), {N(QStringLiteral("0"))}});
        out += operand;
        i = e;
    }
    v = out;
}

bool afterDotOrAs(const TToks &v, int i) { return i > 0 && (isOp(v[i - 1], ".") || isWord(v[i - 1], "AS")); }

// MOD → %, True/False → -1/0 (Jet's Boolean values).
void rewriteWords(TToks &v)
{
    for (int i = 0; i < v.size(); ++i) {
        TTok &t = v[i];
        if (t.kind == TTokKind::Group) {
            rewriteWords(t.kids);
            continue;
        }
        if (t.kind != TTokKind::Word || afterDotOrAs(v, i))
            continue;
        const bool call = i + 1 < v.size() && v[i + 1].kind == TTokKind::Group;
        const QString u = up(t);
        if (u == QLatin1String("MOD") && !call)
            t = O("%");
        else if (u == QLatin1String("TRUE") && !call)
            t = N(QStringLiteral("-1"));
        else if (u == QLatin1String("FALSE") && !call)
            t = N(QStringLiteral("0"));
    }
}

// Bare words that SQLite reserves but that are names here (the column
// Index of table Unit, for one) become quoted identifiers; so do names in
// other scripts, such as the Chinese column titles.
void quoteNames(TToks &v, const TTok *outerPrev = nullptr)
{
    for (int i = 0; i < v.size(); ++i) {
        TTok &t = v[i];
        const TTok *prev = i > 0 ? &v[i - 1] : outerPrev;
        if (t.kind == TTokKind::Group) {
            quoteNames(t.kids, nullptr);
            continue;
        }
        if (t.kind != TTokKind::Word)
            continue;
        bool ascii = true;
        for (QChar c : t.text)
            ascii = ascii && c.unicode() < 0x80;
        if (!ascii) {
            t.kind = TTokKind::Ident;
            continue;
        }
        const QString u = up(t);
        if (!reservedWord(u))
            continue;
        const bool nameSlot = prev && (isOp(*prev, ".") || isWord(*prev, "AS"));
        const QString p = prev ? up(*prev) : QString();
        const bool tableSlot = prev && prev->kind == TTokKind::Word &&
                               (p == QLatin1String("INTO") || p == QLatin1String("TABLE") ||
                                p == QLatin1String("REFERENCES") || p == QLatin1String("FROM") ||
                                p == QLatin1String("JOIN") || (p == QLatin1String("UPDATE") && i == 1 && !outerPrev));
        bool keyword = false;
        if (!nameSlot && !tableSlot) {
            if (keywordRole().contains(u))
                keyword = true;
            else if (u == QLatin1String("INDEX"))
                keyword = p == QLatin1String("CREATE") || p == QLatin1String("UNIQUE") || p == QLatin1String("DROP");
            else if (u == QLatin1String("KEY"))
                keyword = p == QLatin1String("PRIMARY") || p == QLatin1String("FOREIGN");
            else if (u == QLatin1String("ACTION"))
                keyword = p == QLatin1String("NO");
            else if (u == QLatin1String("NO") || u == QLatin1String("RESTRICT"))
                keyword = p == QLatin1String("DELETE") || p == QLatin1String("UPDATE");
            else if (u == QLatin1String("TEMP") || u == QLatin1String("TEMPORARY") || u == QLatin1String("VIEW"))
                keyword = p == QLatin1String("CREATE") || p == QLatin1String("DROP");
            else if (u == QLatin1String("REPLACE") || u == QLatin1String("IGNORE"))
                keyword = p == QLatin1String("OR");
            else if (i + 1 < v.size() && v[i + 1].kind == TTokKind::Group)
                keyword = true; // a function such as replace(...)
        }
        if (!keyword)
            t.kind = TTokKind::Ident;
    }
}

// ---------------------------------------------------------------- statements

// SELECT [DISTINCT] TOP n ... → SELECT [DISTINCT] ... LIMIT n (also in
// sub-selects); DISTINCTROW, meaningless on one table, is dropped.
void rewriteTop(TToks &v, const QString &sql)
{
    for (TTok &t : v)
        if (t.kind == TTokKind::Group)
            rewriteTop(t.kids, sql);
    if (v.isEmpty() || !isWord(v[0], "SELECT"))
        return;
    int i = 1;
    if (i < v.size() && isWord(v[i], "DISTINCTROW"))
        v.remove(i);
    if (i < v.size() && (isWord(v[i], "DISTINCT") || isWord(v[i], "ALL")))
        ++i;
    if (i + 1 < v.size() && isWord(v[i], "TOP") && v[i + 1].kind == TTokKind::Number) {
        const QString n = v[i + 1].text;
        if (i + 2 < v.size() && isWord(v[i + 2], "PERCENT"))
            fail(tr("不支持 TOP ... PERCENT"), sql);
        v.remove(i, 2);
        v.append(W("LIMIT"));
        v.append(N(n));
    }
}

// Insert ... Values(..., A): a bare name as a value is taken as the text 'A'.
void rewriteBareValues(TToks &v)
{
    const int at = findTop(v, "VALUES");
    if (at < 0 || at + 1 >= v.size() || v[at + 1].kind != TTokKind::Group)
        return;
    static const QSet<QString> keep = {QStringLiteral("NULL"), QStringLiteral("TRUE"), QStringLiteral("FALSE"),
                                       QStringLiteral("DEFAULT"), QStringLiteral("CURRENT_DATE"),
                                       QStringLiteral("CURRENT_TIME"), QStringLiteral("CURRENT_TIMESTAMP")};
    for (int g = at + 1; g < v.size() && v[g].kind == TTokKind::Group; g += 2) {
        QVector<TToks> args = splitArgs(v[g].kids);
        for (TToks &a : args)
            if (a.size() == 1 && a[0].kind == TTokKind::Word && !keep.contains(up(a[0])))
                a[0] = S(a[0].text);
        v[g].kids = joinArgs(args);
        if (g + 1 >= v.size() || !isOp(v[g + 1], ","))
            break;
    }
}

enum class TColType { Other, Text, Counter };

const QSet<QString> &constraintStarts()
{
    static const QSet<QString> s = {QStringLiteral("CONSTRAINT"), QStringLiteral("PRIMARY"), QStringLiteral("NOT"),
                                    QStringLiteral("NULL"),       QStringLiteral("UNIQUE"),  QStringLiteral("CHECK"),
                                    QStringLiteral("DEFAULT"),    QStringLiteral("REFERENCES"),
                                    QStringLiteral("COLLATE"),    QStringLiteral("WITH"),    QStringLiteral("GENERATED")};
    return s;
}

// One column definition of Create Table / Add Column: Jet type names
// become SQLite ones; text columns compare case-insensitively, as in Jet.
TColType rewriteColumnDef(TToks &e, const QString &sql)
{
    if (e.isEmpty() || !isName(e[0]))
        fail(tr("列定义不正确"), sql);
    TColType kind = TColType::Other;
    if (e.size() < 2 || e[1].kind != TTokKind::Word || constraintStarts().contains(up(e[1])))
        return kind;
    const QString type = up(e[1]);
    const bool width = e.size() > 2 && e[2].kind == TTokKind::Group;
    TToks repl;
    int consumed = width ? 2 : 1;
    static const QSet<QString> textTypes = {QStringLiteral("TEXT"),    QStringLiteral("VARCHAR"),
                                            QStringLiteral("CHAR"),    QStringLiteral("CHARACTER"),
                                            QStringLiteral("NVARCHAR"), QStringLiteral("NCHAR"),
                                            QStringLiteral("STRING"),  QStringLiteral("ALPHANUMERIC"),
                                            QStringLiteral("VARYING")};
    static const QSet<QString> memoTypes = {QStringLiteral("MEMO"), QStringLiteral("LONGTEXT"),
                                            QStringLiteral("LONGCHAR"), QStringLiteral("NOTE"),
                                            QStringLiteral("NTEXT"), QStringLiteral("GUID"),
                                            QStringLiteral("UNIQUEIDENTIFIER")};
    static const QSet<QString> intTypes = {QStringLiteral("INT"),      QStringLiteral("INTEGER"),
                                           QStringLiteral("LONG"),     QStringLiteral("INTEGER4"),
                                           QStringLiteral("SMALLINT"), QStringLiteral("SHORT"),
                                           QStringLiteral("INTEGER2"), QStringLiteral("BYTE"),
                                           QStringLiteral("TINYINT"),  QStringLiteral("INTEGER1"),
                                           QStringLiteral("BIT"),      QStringLiteral("YESNO"),
                                           QStringLiteral("LOGICAL"),  QStringLiteral("LOGICAL1"),
                                           QStringLiteral("BOOLEAN"),  QStringLiteral("BIGINT")};
    static const QSet<QString> realTypes = {QStringLiteral("SINGLE"), QStringLiteral("REAL"),
                                            QStringLiteral("FLOAT4"), QStringLiteral("DOUBLE"),
                                            QStringLiteral("FLOAT"),  QStringLiteral("FLOAT8"),
                                            QStringLiteral("NUMBER"), QStringLiteral("IEEEDOUBLE"),
                                            QStringLiteral("IEEESINGLE")};
    static const QSet<QString> numericTypes = {QStringLiteral("DECIMAL"), QStringLiteral("NUMERIC"),
                                               QStringLiteral("DEC"), QStringLiteral("CURRENCY"),
                                               QStringLiteral("MONEY")};
    static const QSet<QString> dateTypes = {QStringLiteral("DATETIME"), QStringLiteral("DATE"),
                                            QStringLiteral("TIME"), QStringLiteral("TIMESTAMP")};
    static const QSet<QString> blobTypes = {QStringLiteral("BINARY"),   QStringLiteral("VARBINARY"),
                                            QStringLiteral("IMAGE"),    QStringLiteral("LONGBINARY"),
                                            QStringLiteral("GENERAL"),  QStringLiteral("OLEOBJECT")};
    if (pg() && (textTypes.contains(type) || memoTypes.contains(type))) {
        repl = {W("citext")}; // compares without regard to case, as Jet's text
        kind = TColType::Text;
    } else if (pg() && (intTypes.contains(type) || realTypes.contains(type))) {
        repl = {W(type == QLatin1String("BIGINT") ? "bigint" : intTypes.contains(type) ? "integer" : "double precision")};
    } else if (pg() && dateTypes.contains(type)) {
        repl = {W("timestamp")};
    } else if (pg() && blobTypes.contains(type)) {
        repl = {W("bytea")};
    } else if (textTypes.contains(type)) {
        repl = width ? TToks{W("varchar"), e[2]} : TToks{W("TEXT")};
        kind = TColType::Text;
    } else if (memoTypes.contains(type)) {
        repl = {W("TEXT")};
        kind = TColType::Text;
    } else if (intTypes.contains(type)) {
        repl = {W("INTEGER")};
    } else if (realTypes.contains(type)) {
        repl = {W("REAL")};
    } else if (numericTypes.contains(type)) {
        repl = width && type != QLatin1String("CURRENCY") && type != QLatin1String("MONEY")
                   ? TToks{W("NUMERIC"), e[2]}
                   : TToks{W("NUMERIC")};
    } else if (dateTypes.contains(type)) {
        repl = {W("DATETIME")};
    } else if (blobTypes.contains(type)) {
        repl = {W("BLOB")};
    } else if (type == QLatin1String("COUNTER") || type == QLatin1String("AUTOINCREMENT") ||
               type == QLatin1String("IDENTITY")) {
        repl = pg() ? TToks{W("serial"), W("PRIMARY"), W("KEY")}
                    : TToks{W("INTEGER"), W("PRIMARY"), W("KEY"), W("AUTOINCREMENT")};
        kind = TColType::Counter;
    } else {
        return kind; // any other type name is kept as written
    }
    TToks rest = e.mid(1 + consumed);
    // Jet's WITH COMPRESSION has no meaning here.
    for (int i = 0; i + 1 < rest.size(); ++i)
        if (isWord(rest[i], "WITH") && (isWord(rest[i + 1], "COMPRESSION") || isWord(rest[i + 1], "COMP")))
            rest.remove(i--, 2);
    if (kind == TColType::Counter) {
        for (int i = 0; i + 1 < rest.size(); ++i)
            if (isWord(rest[i], "PRIMARY") && isWord(rest[i + 1], "KEY"))
                rest.remove(i--, 2);
    }
    if (kind == TColType::Text && findTop(rest, "COLLATE") < 0 && !pg()) {
        repl.append(W("COLLATE"));
        repl.append(W("NOCASE"));
    }
    TToks out{e[0]};
    out += repl;
    out += rest;
    e = out;
    return kind;
}

QStringList groupNames(const TTok &g)
{
    QStringList names;
    for (const TToks &a : splitArgs(g.kids))
        if (!a.isEmpty() && isName(a[0]))
            names.append(a[0].text);
    return names;
}

void rewriteCreateTable(TToks &v, TJetPlan &plan, const QString &sql)
{
    const int t = findTop(v, "TABLE");
    int g = -1;
    for (int i = t + 1; i < v.size(); ++i)
        if (v[i].kind == TTokKind::Group) {
            g = i;
            break;
        }
    if (g < 0)
        fail(tr("Create Table 缺少列定义"), sql);
    QVector<TToks> elems = splitArgs(v[g].kids);
    QStringList pkCols;
    int counterCol = -1;
    for (int k = 0; k < elems.size(); ++k) {
        TToks &e = elems[k];
        if (e.isEmpty())
            fail(tr("列定义不正确"), sql);
        const QString first = up(e[0]);
        const bool tableConstraint = e[0].kind == TTokKind::Word &&
                                     (first == QLatin1String("CONSTRAINT") || first == QLatin1String("PRIMARY") ||
                                      first == QLatin1String("FOREIGN") || first == QLatin1String("UNIQUE") ||
                                      first == QLatin1String("CHECK"));
        if (tableConstraint) {
            for (int i = 0; i + 2 < e.size(); ++i)
                if (isWord(e[i], "PRIMARY") && isWord(e[i + 1], "KEY") && e[i + 2].kind == TTokKind::Group)
                    pkCols = groupNames(e[i + 2]);
            continue;
        }
        if (rewriteColumnDef(e, sql) == TColType::Counter) {
            if (counterCol >= 0)
                fail(tr("一个表只能有一个自动编号列"), sql);
            counterCol = k;
            plan.counterColumn = e[0].text;
        }
    }
    if (counterCol >= 0 && t + 1 < g && isName(v[g - 1]))
        plan.counterTable = v[g - 1].text;
    if (counterCol >= 0 && !pkCols.isEmpty()) {
        // A counter is the key of its table: a key on that column alone is the same key.
        if (pkCols.size() != 1 || pkCols[0].compare(elems[counterCol][0].text, Qt::CaseInsensitive) != 0)
            fail(tr("自动编号列不能与其他主键同时使用"), sql);
        for (int k = 0; k < elems.size(); ++k)
            if (findTop(elems[k], "PRIMARY") >= 0 && k != counterCol && isName(elems[k][0]) &&
                (up(elems[k][0]) == QLatin1String("CONSTRAINT") || up(elems[k][0]) == QLatin1String("PRIMARY"))) {
                elems.remove(k);
                break;
            }
        pkCols.clear();
    }
    // Jet never stores a null in a key column.
    for (TToks &e : elems) {
        if (e.isEmpty() || !isName(e[0]))
            continue;
        bool isPk = false;
        for (const QString &c : pkCols)
            isPk = isPk || c.compare(e[0].text, Qt::CaseInsensitive) == 0;
        if (!isPk)
            continue;
        bool hasNotNull = false;
        for (int i = 0; i + 1 < e.size(); ++i)
            hasNotNull = hasNotNull || (isWord(e[i], "NOT") && isWord(e[i + 1], "NULL"));
        if (!hasNotNull) {
            e.append(W("NOT"));
            e.append(W("NULL"));
        }
    }
    v[g].kids = joinArgs(elems);
}

bool isAggregateCall(const TToks &v)
{
    for (int i = 0; i < v.size(); ++i) {
        if (v[i].kind == TTokKind::Group) {
            if (isAggregateCall(v[i].kids))
                return true;
        } else if (v[i].kind == TTokKind::Word && i + 1 < v.size() && v[i + 1].kind == TTokKind::Group &&
                   aggregates().contains(up(v[i]))) {
            return true;
        }
    }
    return false;
}

// Names unaliased computed columns Expr1000, Expr1001, ... as Jet does, and
// finds out whether the result comes from exactly one table.
void analyseSelect(TToks &v, TJetPlan &plan)
{
    int listStart = 1;
    bool distinct = false;
    if (listStart < v.size() && isWord(v[listStart], "DISTINCT")) {
        distinct = true;
        ++listStart;
    } else if (listStart < v.size() && isWord(v[listStart], "ALL")) {
        ++listStart;
    }
    int from = findTop(v, "FROM", listStart);
    const int listEnd = from < 0 ? v.size() : from;
    QVector<TToks> items = splitArgs(v.mid(listStart, listEnd - listStart));
    int position = 0;
    plan.items.clear();
    for (TToks &it : items) {
        const int exprNo = 1000 + position++;
        TSelectItem si;
        int coreEnd = it.size();
        bool aliased = false;
        if (it.size() >= 3 && isWord(it[it.size() - 2], "AS")) {
            if (it.last().kind == TTokKind::String)
                it.last().kind = TTokKind::Ident;
            coreEnd = it.size() - 2;
            aliased = true;
        } else if (it.size() >= 2 && isName(it.last()) && it[it.size() - 2].kind != TTokKind::Op &&
                   !(it.last().kind == TTokKind::Word && sqliteKeywords().contains(up(it.last())))) {
            coreEnd = it.size() - 1;
            aliased = true;
        }
        if (aliased)
            it.last().keepCase = true; // the grid title as written
        const TToks core = it.mid(0, coreEnd);
        if (core.size() == 1 && isOp(core[0], "*")) {
            si.star = true;
        } else if (core.size() == 3 && isName(core[0]) && isOp(core[1], ".") && isOp(core[2], "*")) {
            si.star = true;
        } else if (core.size() == 1 && isName(core[0]) &&
                   !(core[0].kind == TTokKind::Word && sqliteKeywords().contains(up(core[0])))) {
            si.column = core[0].text;
        } else if (core.size() == 3 && isName(core[0]) && isOp(core[1], ".") && isName(core[2])) {
            si.column = core[2].text;
        } else {
            if (!aliased) {
                it.append(W("AS"));
                it.append(I(QStringLiteral("Expr%1").arg(exprNo)));
                it.last().keepCase = true;
            }
        }
        if (pg() && !aliased && !si.column.isEmpty()) {
            // PostgreSQL would name the column in lower case; Jet as written.
            it.append(W("AS"));
            it.append(I(si.column));
            it.last().keepCase = true;
        }
        plan.items.append(si);
    }
    TToks rebuilt = v.mid(0, listStart);
    rebuilt += joinArgs(items);
    const int newFrom = rebuilt.size();
    if (from >= 0)
        rebuilt += v.mid(from);
    v = rebuilt;
    from = from >= 0 ? newFrom : -1;

    // Editable: SELECT items FROM one table [alias] [WHERE ...] [ORDER BY ...].
    if (from < 0 || distinct || from + 1 >= v.size() || !isName(v[from + 1]))
        return;
    if (isAggregateCall(v.mid(listStart, from - listStart)))
        return;
    int k = from + 2;
    QString ref = QuoteIdent(v[from + 1].text);
    if (k < v.size() && isWord(v[k], "AS"))
        ++k;
    if (k < v.size() && isName(v[k]) &&
        !(v[k].kind == TTokKind::Word && sqliteKeywords().contains(up(v[k])))) {
        ref = QuoteIdent(v[k].text);
        ++k;
    }
    const int fromEnd = k;
    if (k < v.size() && !isWord(v[k], "WHERE") && !isWord(v[k], "ORDER") && !isWord(v[k], "LIMIT"))
        return;
    for (int i = k; i < v.size(); ++i)
        if (isWord(v[i], "GROUP") || isWord(v[i], "HAVING") || isWord(v[i], "UNION") || isWord(v[i], "EXCEPT") ||
            isWord(v[i], "INTERSECT") || isWord(v[i], "JOIN"))
            return;
    plan.table = v[from + 1].text;
    // The row's address: SQLite's rowid, PostgreSQL's ctid (as text).
    const QString rowAddress = pg() ? QStringLiteral("ctid") : QStringLiteral("rowid");
    const QString hidden = QStringLiteral(", %1.%2 AS %3 ").arg(ref, rowAddress, QuoteIdent(HiddenRowidName()));
    const QString list = Render(v.mid(listStart, from - listStart));
    plan.rowidSql = Render(v.mid(0, from)) + hidden + Render(v.mid(from));
    plan.refreshSql = QStringLiteral("SELECT ") + list + hidden + Render(v.mid(from, fromEnd - from)) +
                      QStringLiteral(" WHERE ") + ref +
                      (pg() ? QStringLiteral(".ctid = CAST(? AS tid)") : QStringLiteral(".rowid = ?"));
}

void rewriteExpressions(TToks &v, const QString &sql)
{
    rewriteFunctions(v, sql);
    rewriteConcat(v, sql);
    if (pg()) {
        rewriteWords(v);
        wrapArithmetic(v);
        return;
    }
    rewriteDivision(v);
    rewriteWords(v);
}

void planAlter(TToks &v, TJetPlan &plan, const QString &sql)
{
    // ALTER TABLE t ADD [CONSTRAINT c] ... | DROP CONSTRAINT c | ADD [COLUMN] def
    if (v.size() < 4 || !isWord(v[1], "TABLE") || !isName(v[2]))
        fail(tr("ALTER TABLE 语句不正确"), sql);
    plan.alterTable = v[2].text;
    if (isWord(v[3], "ADD")) {
        int c = 4;
        QString name;
        if (c + 1 < v.size() && isWord(v[c], "CONSTRAINT") && isName(v[c + 1])) {
            name = v[c + 1].text;
            c += 2;
        }
        if (c < v.size() && (isWord(v[c], "FOREIGN") || isWord(v[c], "PRIMARY") || isWord(v[c], "UNIQUE") ||
                             isWord(v[c], "CHECK"))) {
            TToks clause = v.mid(name.isEmpty() ? c : c - 2);
            rewriteWords(clause);
            quoteNames(clause);
            const int ref = findTop(clause, "REFERENCES");
            if (ref >= 0 && ref + 1 < clause.size())
                plan.referencedTable = clause[ref + 1].text;
            plan.kind = TJetPlan::Kind::AddConstraint;
            plan.constraintName = name;
            plan.constraintSql = Render(clause);
            TToks head = v.mid(0, 4);
            quoteNames(head);
            plan.sql = Render(head) + QLatin1Char(' ') + plan.constraintSql;
            return;
        }
        int d = 4;
        if (d < v.size() && isWord(v[d], "COLUMN"))
            ++d;
        TToks def = v.mid(d);
        if (splitArgs(def).size() != 1)
            fail(tr("一次只能增加一列"), sql);
        rewriteColumnDef(def, sql);
        rewriteWords(def);
        TToks out = v.mid(0, 4);
        out.append(W("COLUMN"));
        out += def;
        quoteNames(out);
        plan.kind = TJetPlan::Kind::Command;
        plan.sql = Render(out);
        return;
    }
    if (isWord(v[3], "DROP") && v.size() == 6 && isWord(v[4], "CONSTRAINT") && isName(v[5])) {
        plan.kind = TJetPlan::Kind::DropConstraint;
        plan.constraintName = v[5].text;
        quoteNames(v);
        plan.sql = Render(v);
        return;
    }
    if (isWord(v[3], "ALTER"))
        fail(tr("不支持修改列的类型"), sql);
    quoteNames(v);
    plan.kind = TJetPlan::Kind::Command;
    plan.sql = Render(v);
}

} // namespace

TTarget CurrentTarget() { return g_target; }

QString PgIdent(const QString &name, bool keepCase)
{
    QString n = keepCase ? name : name.toLower();
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

QString QuoteIdent(const QString &name)
{
    if (pg())
        return PgIdent(name);
    if (!name.contains(QLatin1Char(']')))
        return QLatin1Char('[') + name + QLatin1Char(']');
    QString n = name;
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

QVector<TTok> Tokenize(const QString &text, bool sqliteText) { return nest(lexFlat(text, sqliteText), text); }

QString Render(const QVector<TTok> &toks)
{
    QString out;
    for (int i = 0; i < toks.size(); ++i) {
        const TTok &t = toks[i];
        QString piece;
        switch (t.kind) {
        case TTokKind::Word: piece = t.keepCase && pg() ? PgIdent(t.text, true) : t.text; break;
        case TTokKind::Number:
        case TTokKind::Op: piece = t.text; break;
        case TTokKind::Ident: piece = pg() ? PgIdent(t.text, t.keepCase) : QuoteIdent(t.text); break;
        case TTokKind::String: {
            QString v = t.text;
            v.replace(QLatin1Char('\''), QStringLiteral("''"));
            piece = QLatin1Char('\'') + v + QLatin1Char('\'');
            break;
        }
        case TTokKind::Group: piece = QLatin1Char('(') + Render(t.kids) + QLatin1Char(')'); break;
        }
        if (i > 0) {
            const TTok &p = toks[i - 1];
            // A call or a name with its column list is written "name(...)";
            // a keyword keeps its blank before the parenthesis.
            const bool callLike = p.kind == TTokKind::Ident ||
                                  (p.kind == TTokKind::Word &&
                                   (!keywordRole().contains(up(p)) || isWord(p, "VALUES") || isWord(p, "KEY") ||
                                    isWord(p, "CAST") || isWord(p, "EXISTS") || isWord(p, "IN")));
            const bool tight = isOp(t, ",") || isOp(t, ".") || isOp(p, ".") || (t.kind == TTokKind::Group && callLike);
            if (!tight)
                out += QLatin1Char(' ');
        }
        out += piece;
    }
    return out;
}

TJetPlan PlanJetSql(const QString &jetSql, TTarget target)
{
    const TTargetScope scope(target);
    TJetPlan plan;
    TToks v = Tokenize(jetSql);
    while (!v.isEmpty() && isOp(v.last(), ";"))
        v.removeLast();
    for (const TTok &t : v)
        if (isOp(t, ";"))
            fail(tr("一次只能执行一条语句"), jetSql);
    if (v.isEmpty())
        fail(tr("语句为空"), jetSql);
    const QString head = v[0].kind == TTokKind::Word ? up(v[0]) : QString();

    if (head == QLatin1String("SELECT")) {
        rewriteTop(v, jetSql);
        rewriteExpressions(v, jetSql);
        quoteNames(v);
        analyseSelect(v, plan);
        plan.kind = TJetPlan::Kind::Query;
        plan.sql = Render(v);
        return plan;
    }
    if (head == QLatin1String("ALTER")) {
        planAlter(v, plan, jetSql);
        return plan;
    }
    if (head == QLatin1String("CREATE") && findTop(v, "TABLE") > 0 && findTop(v, "TABLE") <= 2) {
        rewriteCreateTable(v, plan, jetSql);
        rewriteWords(v);
        quoteNames(v);
        plan.kind = TJetPlan::Kind::Command;
        plan.sql = Render(v);
        return plan;
    }
    if (head == QLatin1String("DELETE")) {
        // Delete * from t / Delete t.* from t → DELETE FROM t
        const int from = findTop(v, "FROM");
        if (from > 1)
            v.remove(1, from - 1);
    } else if (head == QLatin1String("INSERT")) {
        rewriteBareValues(v);
        rewriteTop(v, jetSql);
    } else if (head == QLatin1String("DROP") && v.size() >= 5 && isWord(v[1], "INDEX") && isWord(v[3], "ON")) {
        v.resize(3); // DROP INDEX i ON t: SQLite index names are global
    } else if (head == QLatin1String("CREATE")) {
        // CREATE INDEX ... WITH PRIMARY / DISALLOW NULL / IGNORE NULL: Jet-only options.
        const int with = findTop(v, "WITH");
        if (with > 0)
            v.resize(with);
    }
    rewriteExpressions(v, jetSql);
    quoteNames(v);
    plan.kind = (head == QLatin1String("PRAGMA") || head == QLatin1String("WITH") || head == QLatin1String("VALUES"))
                    ? TJetPlan::Kind::Query
                    : TJetPlan::Kind::Command;
    plan.sql = Render(v);
    return plan;
}

} // namespace detail

QString TranslateJetSql(const QString &jetSql, TDbBackend backend)
{
    return detail::PlanJetSql(jetSql, backend == TDbBackend::PostgreSQL ? detail::TTarget::PostgreSQL
                                                                      : detail::TTarget::SQLite)
        .sql;
}

} // namespace kv::db
