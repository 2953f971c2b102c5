#include "link/CtrlBoxStore.h"

#include "store/UnitData.h"
#include "SqlText.h"

namespace kv {

namespace {

// The rows of CtrlBoxSaveItems for a model key and name.
int CountRows(TZovData &data, const QString &key, const QString &name, QString *value)
{
    const QString sql = QStringLiteral("select * from CtrlBoxSaveItems where CtrlBox = ") + QuotedStr(key) +
                        QStringLiteral(" and Name = ") + QuotedStr(name);
    if (!data.ExecSql(sql))
        return -1;
    const int n = data.qryZov.recordCount();
    if (n == 1 && value) {
        data.qryZov.first();
        *value = data.qryZov.fieldByName(QStringLiteral("Value")).asString();
    }
    return n;
}

bool StoreRow(TZovData &data, const QString &key, const QString &name, const QString &value)
{
    const int n = CountRows(data, key, name, nullptr);
    if (n < 0)
        return false;
    if (n == 1)
        return data.ExecSql(QStringLiteral("Update CtrlBoxSaveItems set [Value] = ") + QuotedStr(value) +
                            QStringLiteral(" where CtrlBox = ") + QuotedStr(key) + QStringLiteral(" and Name = ") +
                            QuotedStr(name));
    return data.ExecSql(QStringLiteral("Insert Into CtrlBoxSaveItems (CtrlBox, Name, [Value]) Values (") +
                        QuotedStr(key) + QLatin1Char(',') + QuotedStr(name) + QLatin1Char(',') + QuotedStr(value) +
                        QLatin1Char(')'));
}

} // namespace

void LoadPortSettings(const TBoxProfile &profile, int &commPort, QString &settings)
{
    TZovData *data = ZovData();
    if (!data)
        return;
    const QString key = QString::fromLatin1(profile.Key);
    try {
        QString value;
        if (CountRows(*data, key, QStringLiteral("CommPort"), &value) == 1) {
            bool ok = false;
            const int port = value.trimmed().toInt(&ok);
            if (ok && port > 0)
                commPort = port;
        }
        value.clear();
        if (CountRows(*data, key, QStringLiteral("Settings"), &value) == 1 && !value.isEmpty())
            settings = value;
    } catch (...) {
        // an unreadable row leaves the defaults
    }
}

bool StorePortSettings(const TBoxProfile &profile, int commPort, const QString &settings)
{
    TZovData *data = ZovData();
    if (!data)
        return false;
    const QString key = QString::fromLatin1(profile.Key);
    try {
        if (!StoreRow(*data, key, QStringLiteral("CommPort"), QString::number(commPort)))
            return false;
        return StoreRow(*data, key, QStringLiteral("Settings"), settings);
    } catch (...) {
        return false;
    }
}

} // namespace kv
