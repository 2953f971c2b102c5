#include "ParamCheck.h"

#include "SqlText.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace kv::fw {

namespace {
QString T(const char *text) { return QCoreApplication::translate("TModuleText", text); }
} // namespace

std::vector<float> ParseSize(const QString &text, int parts)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.contains(QLatin1Char(' ')) || t.contains(QLatin1Char('\t')) ||
        t.count(QLatin1Char('*')) != parts - 1)
        return {};
    std::vector<float> out;
    for (const QString &p : t.split(QLatin1Char('*'))) {
        bool ok = false;
        const double v = ParseNumber(p, &ok);
        if (!ok || !std::isfinite(v))
            return {};
        out.push_back(static_cast<float>(v));
    }
    return out;
}

bool PositiveNumber(const QString &text, double *value)
{
    bool ok = false;
    const double v = ParseNumber(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v) || v <= 0.0)
        return false;
    if (value)
        *value = v;
    return true;
}

bool CountAtLeastOne(const QString &text, int *value)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < 1)
        return false;
    if (value)
        *value = v;
    return true;
}

QString ValidateParams(const TModuleData &d, const TParamValues &v,
                       const std::function<QString(const TParamValues &)> &moduleCheck)
{
    for (TCheck check : d.Checks) {
        switch (check) {
        case TCheck::GroupNo:
            if (v.GroupNo.trimmed().isEmpty())
                return T("试验组号不能为空");
            // The group number is part of the curve file's name: refused
            // here, before the group start writes anything, with the
            // program's own message.
            if (std::any_of(v.GroupNo.begin(), v.GroupNo.end(),
                            [](QChar c) { return QStringLiteral("/\\*:?\"<>|").contains(c); }))
                return T("组号中不能包括'/', '\\', '*', ':', '?', '") + QLatin1Char('"') + T("', '<', '>', '|'字符");
            break;
        case TCheck::Variety:
            if (v.Variety.trimmed().isEmpty())
                return T("试验品种不能为空");
            break;
        case TCheck::Age:
            if (v.Age.trimmed().isEmpty())
                return T("试样龄期不能为空");
            break;
        case TCheck::Size:
            if (ParseSize(v.Size, d.SizeParts).empty())
                return T("规格不正确");
            break;
        case TCheck::Rate:
            if (!PositiveNumber(v.Rate))
                return T("速度输入出错");
            break;
        case TCheck::Count:
            if (!CountAtLeastOne(v.Count))
                return QCoreApplication::translate("TModuleText", d.CountMessage.toUtf8().constData());
            break;
        case TCheck::Delay:
            if (v.Continuous && !CountAtLeastOne(v.Delay))
                return T("延时时间错误");
            break;
        case TCheck::Module:
            if (moduleCheck) {
                const QString m = moduleCheck(v);
                if (!m.isEmpty())
                    return m;
            }
            break;
        }
    }
    return {};
}

} // namespace kv::fw
