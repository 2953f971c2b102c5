#include "store/DisplayUnits.h"

#include "store/DataModule.h"
#include "SqlText.h"

namespace kv {

bool ReadDisplayUnit(TZovData &data, int type, int index, TDisplayUnit &unit)
{
    const auto row = data.Open(QStringLiteral("select * from Unit where Type = ") + SqlNum(qint64(type)) +
                               QStringLiteral(" and [Index] = ") + SqlNum(qint64(index)));
    if (!row || row->recordCount() < 1)
        return false;
    try {
        unit.Decimals = static_cast<int>(row->fieldByName(QStringLiteral("Round")).asInteger());
        unit.Name = row->fieldByName(QStringLiteral("Name")).asString();
        unit.Coe = row->fieldByName(QStringLiteral("Coe")).asFloat();
        return true;
    } catch (...) {
        return false;
    }
}

bool StoreUnitDecimals(TZovData &data, const QString &name, int decimals)
{
    return data.ExecSql(QStringLiteral("Update unit set [Round] = ") + QuotedStr(QString::number(decimals)) +
                        QStringLiteral(" where [Name] = ") + QuotedStr(name));
}

} // namespace kv
