#include "Rounding.h"

#include <charconv>
#include <cmath>
#include <string>

namespace kv {

QString DisplayFormat(int decimals)
{
    if (decimals <= 0)
        return QStringLiteral("1");
    return QStringLiteral("0.") + QString(decimals - 1, QLatin1Char('0')) + QLatin1Char('1');
}

namespace {

// Decimals of a step text "1" / "0.0..01"; -1 when it is neither.
int StepDecimals(const QString &step)
{
    if (step == QLatin1String("1"))
        return 0;
    if (!step.startsWith(QLatin1String("0.")) || !step.endsWith(QLatin1Char('1')) || step.size() < 3)
        return -1;
    for (int i = 2; i < step.size() - 1; ++i)
        if (step[i] != QLatin1Char('0'))
            return -1;
    return step.size() - 2;
}

// The shortest fixed-point text that reads back as the value. A value that is
// exactly a single (the displays carry singles) is written as that single, so
// 2.35f counts as 2.35 and not as 2.34999990463.
std::string ShortestFixed(double value)
{
    char buf[512];
    std::to_chars_result r;
    const float f = static_cast<float>(value);
    if (static_cast<double>(f) == value)
        r = std::to_chars(buf, buf + sizeof buf, f, std::chars_format::fixed);
    else
        r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    return std::string(buf, r.ptr);
}

} // namespace

bool BankerRound(double value, const QString &step, QString &text)
{
    const int d = StepDecimals(step);
    if (d < 0 || !std::isfinite(value))
        return false;

    std::string s = ShortestFixed(value);
    bool negative = false;
    if (!s.empty() && s[0] == '-') {
        negative = true;
        s.erase(0, 1);
    }
    const auto dot = s.find('.');
    std::string intPart = dot == std::string::npos ? s : s.substr(0, dot);
    std::string frac = dot == std::string::npos ? std::string() : s.substr(dot + 1);

    std::string digits = intPart + frac.substr(0, std::min<size_t>(frac.size(), d));
    digits.append(d > static_cast<int>(frac.size()) ? d - frac.size() : 0, '0');

    bool up = false;
    if (static_cast<int>(frac.size()) > d) {
        const char first = frac[d];
        bool restNonZero = false;
        for (size_t i = d + 1; i < frac.size(); ++i)
            restNonZero = restNonZero || frac[i] != '0';
        if (first > '5' || (first == '5' && restNonZero))
            up = true;
        else if (first == '5') // exactly half way: to the even neighbour
            up = (digits.back() - '0') % 2 == 1;
    }
    if (up) {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0 && digits[i] == '9')
            digits[i--] = '0';
        if (i < 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[i];
    }

    std::string out = digits.substr(0, digits.size() - d);
    if (d > 0)
        out += '.' + digits.substr(digits.size() - d);
    if (negative && out.find_first_not_of("0.") != std::string::npos)
        out.insert(out.begin(), '-');
    text = QString::fromStdString(out);
    return true;
}

QString FormatValue(double value, const QString &format)
{
    QString text;
    if (BankerRound(value, format, text))
        return text;
    if (value >= 1.0 || value <= -1.0)
        return QString::asprintf("%f", value);
    return QString::asprintf("%.3f", value);
}

} // namespace kv
