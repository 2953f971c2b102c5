#include "store/BoxSaveItems.h"

#include "store/DataModule.h"
#include "SqlText.h"

namespace kv {

QString BoxItemSql(const QString &key, const QString &name)
{
    return QStringLiteral("select * from CtrlBoxSaveItems where CtrlBox = ") + QuotedStr(key) +
           QStringLiteral(" and Name = ") + QuotedStr(name);
}

QString BoxItemInsertSql(const QString &key, const QString &name, const QString &value)
{
    return QStringLiteral("Insert Into CtrlBoxSaveItems (CtrlBox, Name, [Value]) Values (") + QuotedStr(key) +
           QLatin1Char(',') + QuotedStr(name) + QLatin1Char(',') + QuotedStr(value) + QLatin1Char(')');
}

QString BoxItemUpdateSql(const QString &key, const QString &name, const QString &value)
{
    return QStringLiteral("Update CtrlBoxSaveItems set [Value] = ") + QuotedStr(value) +
           QStringLiteral(" where CtrlBox = ") + QuotedStr(key) + QStringLiteral(" and Name = ") + QuotedStr(name);
}

namespace {

// Rows of key and name; -1 when the database fails.
int CountRows(TZovData &data, const QString &key, const QString &name)
{
    const auto rows = data.Open(BoxItemSql(key, name));
    return rows ? rows->recordCount() : -1;
}

} // namespace

std::optional<QString> BoxItemValue(TZovData &data, const QString &key, const QString &name)
{
    const auto rows = data.Open(BoxItemSql(key, name));
    if (!rows || rows->recordCount() != 1)
        return std::nullopt;
    try {
        return rows->fieldByName(QStringLiteral("Value")).asString();
    } catch (...) {
        return std::nullopt;
    }
}

bool StoreBoxItem(TZovData &data, const QString &key, const QString &name, const QString &value)
{
    const int n = CountRows(data, key, name);
    if (n < 0)
        return false;
    return data.ExecSql(n == 1 ? BoxItemUpdateSql(key, name, value) : BoxItemInsertSql(key, name, value));
}

bool SetBoxItem(TZovData &data, const QString &key, const QString &name, const QString &value)
{
    const int n = CountRows(data, key, name);
    if (n < 0)
        return false;
    return data.ExecSql(n > 0 ? BoxItemUpdateSql(key, name, value) : BoxItemInsertSql(key, name, value));
}

void LoadPortSettings(const QString &key, int &commPort, QString &settings)
{
    TZovData *data = ZovData();
    if (!data)
        return;
    if (const auto port = BoxItemValue(*data, key, QStringLiteral("CommPort"))) {
        bool ok = false;
        const int n = port->trimmed().toInt(&ok);
        if (ok && n > 0)
            commPort = n;
    }
    if (const auto text = BoxItemValue(*data, key, QStringLiteral("Settings")); text && !text->isEmpty())
        settings = *text;
}

bool StorePortSettings(const QString &key, int commPort, const QString &settings)
{
    TZovData *data = ZovData();
    if (!data)
        return false;
    return StoreBoxItem(*data, key, QStringLiteral("CommPort"), QString::number(commPort)) &&
           StoreBoxItem(*data, key, QStringLiteral("Settings"), settings);
}

} // namespace kv
