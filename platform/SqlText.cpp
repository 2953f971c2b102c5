#include "SqlText.h"

#include <charconv>
#include <cmath>

namespace kv {

QString QuotedStr(const QString &value)
{
    QString out;
    out.reserve(value.size() + 2);
    out += QLatin1Char('\'');
    for (QChar c : value) {
        if (c == QLatin1Char('\''))
            out += QLatin1Char('\'');
        out += c;
    }
    out += QLatin1Char('\'');
    return out;
}

QString SqlNum(qint64 value) { return QString::number(value); }

namespace {
template <typename F> QString shortest(F value)
{
    if (std::isnan(value) || std::isinf(value))
        return QStringLiteral("0");
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, static_cast<int>(res.ptr - buf));
}
} // namespace

QString SqlNum(double value) { return shortest(value); }

QString SqlSingle(float value) { return shortest(value); }

QString FixedText(double value, int decimals)
{
    // QString::number is locale-independent, unlike printf under setlocale().
    return QString::number(value, 'f', decimals);
}

double ParseNumber(const QString &text, bool *ok)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool good = false;
    double v = t.toDouble(&good);
    if (ok)
        *ok = good;
    return good ? v : 0.0;
}

} // namespace kv
