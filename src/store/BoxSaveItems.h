#pragma once
// The rows of CtrlBoxSaveItems: per controller model (its key in column
// CtrlBox) the port, the line settings, the control mode and the parameter
// set, each a row of name and value.
#include <QString>
#include <optional>

namespace kv {

class TZovData;

// "select * from CtrlBoxSaveItems where CtrlBox = <key> and Name = <name>".
QString BoxItemSql(const QString &key, const QString &name);
// The insert of one row.
QString BoxItemInsertSql(const QString &key, const QString &name, const QString &value);
// The update of every row of key and name.
QString BoxItemUpdateSql(const QString &key, const QString &name, const QString &value);

// The value of the one row of key and name; empty when there is not exactly
// one such row or the database fails.
std::optional<QString> BoxItemValue(TZovData &data, const QString &key, const QString &name);
// Edits the row when exactly one exists, otherwise appends one. False on any
// database failure.
bool StoreBoxItem(TZovData &data, const QString &key, const QString &name, const QString &value);
// Sets every row of key and name, or appends one when there is none.
bool SetBoxItem(TZovData &data, const QString &key, const QString &name, const QString &value);

// Port and settings string of a model (rows "CommPort" and "Settings"): a
// stored port above 0 and a stored settings string that is not empty replace
// the values given; anything else leaves them. Without a data module
// nothing is read.
void LoadPortSettings(const QString &key, int &commPort, QString &settings);
// Stores both rows; false on any database failure or without a data module.
bool StorePortSettings(const QString &key, int commPort, const QString &settings);

} // namespace kv
