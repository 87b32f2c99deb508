#include "Db2Rules.h"

#include <QSet>
#include <vector>

namespace {

struct Token {
    enum class Kind { Word, Number, String, Marker, Symbol } kind;
    QString text;  // upper-cased for words and symbols
    int open = -1; // index of the "(" that encloses the token, -1 at the top
};

std::vector<Token> tokens(const QString &sql) {
    std::vector<Token> out;
    std::vector<int> opens;
    auto add = [&](Token::Kind kind, const QString &text) {
        Token t{kind, text, opens.empty() ? -1 : opens.back()};
        if (kind == Token::Kind::Symbol && text == u'(') {
            out.push_back(t);
            opens.push_back(int(out.size()) - 1);
            return;
        }
        if (kind == Token::Kind::Symbol && text == u')' && !opens.empty()) {
            opens.pop_back();
            t.open = opens.empty() ? -1 : opens.back();
        }
        out.push_back(t);
    };
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == u'\'') {
            qsizetype j = i + 1;
            while (j < n && !(sql[j] == u'\'' && (j + 1 >= n || sql[j + 1] != u'\'')))
                j += sql[j] == u'\'' ? 2 : 1;
            add(Token::Kind::String, sql.mid(i, j + 1 - i));
            i = j + 1;
        } else if (c == u'"') {
            const qsizetype end = sql.indexOf(u'"', i + 1);
            const qsizetype j = end < 0 ? n : end + 1;
            add(Token::Kind::Word, sql.mid(i, j - i));
            i = j;
        } else if (c == u':' && i + 1 < n && (sql[i + 1].isLetter() || sql[i + 1] == u'_')) {
            qsizetype j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == u'_'))
                ++j;
            add(Token::Kind::Marker, sql.mid(i, j - i));
            i = j;
        } else if (c.isDigit()) {
            qsizetype j = i;
            while (j < n && (sql[j].isDigit() || sql[j] == u'.'))
                ++j;
            add(Token::Kind::Number, sql.mid(i, j - i));
            i = j;
        } else if (c.isLetter() || c == u'_') {
            qsizetype j = i;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == u'_' || sql[j] == u'$' ||
                             sql[j] == u'#'))
                ++j;
            add(Token::Kind::Word, sql.mid(i, j - i).toUpper());
            i = j;
        } else {
            static const QStringList pairs = {"<>", "<=", ">=", "!=", "||"};
            const QString two = sql.mid(i, 2);
            const bool pair = pairs.contains(two);
            add(Token::Kind::Symbol, pair ? two : QString(c));
            i += pair ? 2 : 1;
        }
    }
    return out;
}

// Names DB2 does not know (it knows TO_CHAR, TO_NUMBER, TRUNC and MOD).
const QSet<QString> oracleOnlyNames = {"DUAL",    "NVL",      "NVL2",         "DECODE",
                                       "ROWNUM",  "SYSDATE",  "SYSTIMESTAMP", "MINUS",
                                       "TO_DATE", "VARCHAR2", "ROWID"};
const QSet<QString> comparisons = {"=", "<>", "!=", "<", ">", "<=", ">=", "LIKE"};
const QSet<QString> arithmetic = {"+", "-", "*", "/", "||"};
// Words before "(" that open a list or a group, not a function's arguments.
const QSet<QString> notFunctions = {"IN",    "VALUES", "AS",     "AND",  "OR",     "NOT",
                                    "WHERE", "ON",     "SELECT", "FROM", "EXISTS", "THEN",
                                    "ELSE",  "WHEN",   "SET",    "JOIN", "HAVING", "BY"};
// Words that end a select list or begin another clause, scanning backwards.
const QSet<QString> clauseWords = {"FROM",  "WHERE", "ON",   "SET",    "VALUES", "HAVING",
                                   "GROUP", "ORDER", "AND",  "OR",     "WHEN",   "THEN",
                                   "ELSE",  "CASE",  "INTO", "UPDATE", "JOIN"};

class MarkerContext {
public:
    MarkerContext(const std::vector<Token> &t, int i) : t_(t), i_(i) {}

    // Empty when DB2 can infer the marker's type; otherwise why it cannot.
    QString untypedReason() const {
        const QString prev = at(i_ - 1), next = at(i_ + 1);
        if (next == u"IS")
            return QStringLiteral("is the operand of IS [NOT] NULL");
        if (prev == u'(' && at(i_ - 2) == u"CAST" && next == u"AS")
            return {};
        if (comparisons.contains(prev))
            return isMarker(i_ - 2) ? QStringLiteral("is compared with another marker") : QString();
        if (comparisons.contains(next))
            return isMarker(i_ + 2) ? QStringLiteral("is compared with another marker") : QString();
        if (next == u"NOT" && comparisons.contains(at(i_ + 2)))
            return isMarker(i_ + 3) ? QStringLiteral("is compared with another marker") : QString();
        if (prev == u"BETWEEN" || next == u"BETWEEN" || next == u"IN" ||
            (next == u"NOT" && (at(i_ + 2) == u"BETWEEN" || at(i_ + 2) == u"IN")))
            return {};
        if (prev == u"AND" && betweenBound())
            return {};
        if (arithmetic.contains(prev) || arithmetic.contains(next)) {
            const bool left = arithmetic.contains(prev) && !isMarker(i_ - 2);
            const bool right = arithmetic.contains(next) && !isMarker(i_ + 2);
            return left || right ? QString() : QStringLiteral("is in arithmetic with only markers");
        }
        if (inSelectList())
            return QStringLiteral("is in a select list");
        const int open = t_[i_].open;
        const bool element = (prev == u'(' || prev == u',') && (next == u',' || next == u')');
        if (open >= 0 && element) {
            const QString before = at(open - 1);
            if (before == u"IN")
                return isMarker(open - 2) ? QStringLiteral("is in an IN list of a marker")
                                          : QString();
            if (before == u"VALUES")
                return {};
            if (open > 0 && t_[open - 1].kind == Token::Kind::Word &&
                !notFunctions.contains(before))
                return QStringLiteral("is an argument of ") + before + QStringLiteral("()");
        }
        return QStringLiteral("has no operand that gives it a type");
    }

private:
    QString at(int i) const { return i >= 0 && i < int(t_.size()) ? t_[i].text : QString(); }
    bool isMarker(int i) const {
        return i >= 0 && i < int(t_.size()) && t_[i].kind == Token::Kind::Marker;
    }
    // Scans back over the tokens of the marker's own parenthesis level.
    template <typename Stop> int back(int from, Stop stop) const {
        for (int j = from; j >= 0; --j) {
            if (t_[j].open != t_[i_].open || j == t_[i_].open)
                continue;
            if (j < t_[i_].open)
                break;
            if (stop(t_[j]))
                return j;
        }
        return -1;
    }
    bool betweenBound() const {
        const int j = back(i_ - 2, [](const Token &t) {
            return t.text == u"BETWEEN" || clauseWords.contains(t.text) || t.text == u',';
        });
        return j >= 0 && t_[j].text == u"BETWEEN";
    }
    bool inSelectList() const {
        const int j = back(i_ - 1, [](const Token &t) {
            return t.kind == Token::Kind::Word &&
                   (t.text == u"SELECT" || clauseWords.contains(t.text));
        });
        return j >= 0 && t_[j].text == u"SELECT";
    }

    const std::vector<Token> &t_;
    int i_;
};

} // namespace

QStringList Db2Rules::check(const QString &text) {
    const std::vector<Token> t = tokens(text);
    QStringList findings;
    auto add = [&](const QString &finding) {
        if (!findings.contains(finding))
            findings << finding;
    };
    for (int i = 0; i < int(t.size()); ++i) {
        const Token &token = t[i];
        if (token.kind == Token::Kind::Word && oracleOnlyNames.contains(token.text) &&
            (i == 0 || t[i - 1].text != u'.'))
            add(QStringLiteral("Oracle-only name ") + token.text);
        if (token.kind == Token::Kind::Word &&
            (token.text == u"NEXTVAL" || token.text == u"CURRVAL") && i > 0 &&
            t[i - 1].text == u'.' && i >= 2)
            add(QStringLiteral("Oracle sequence form ") + t[i - 2].text + u'.' + token.text +
                QStringLiteral(" (DB2: NEXT VALUE FOR ") + t[i - 2].text + u')');
        if (token.text == u'(' && i + 2 < int(t.size()) && t[i + 1].text == u'+' &&
            t[i + 2].text == u')')
            add(QStringLiteral("Oracle outer join (+)"));
        if (token.kind == Token::Kind::Marker) {
            const QString reason = MarkerContext(t, i).untypedReason();
            if (!reason.isEmpty())
                add(QStringLiteral("untyped marker ") + token.text + u' ' + reason);
        }
    }
    return findings;
}
