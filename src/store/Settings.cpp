#include "store/Settings.h"

#include "store/DataModule.h"
#include "SqlText.h"

namespace kv {

namespace {

int No(TSavNum n) { return static_cast<int>(n); }
int No(TSavString n) { return static_cast<int>(n); }

TSavString TestIndexRow(bool flexural) { return flexural ? TSavString::TestIndexFlexural : TSavString::TestIndex; }

} // namespace

bool TSettingsStore::English() const
{
    // Read on a query of its own before anything else exists at start-up:
    // the first row counts, whatever else is stored.
    const auto row = m_data.Open(QStringLiteral("select * from SavNum where NumNo = ") + SqlNum(qint64(No(TSavNum::Language))));
    if (!row || row->recordCount() < 1)
        return false;
    try {
        return row->fieldByName(QStringLiteral("NumCont")).asInteger() == 1;
    } catch (...) {
        return false;
    }
}

bool TSettingsStore::SetEnglish(bool english) { return m_data.WriteNumInt(No(TSavNum::Language), english ? 1 : 0); }

int TSettingsStore::MachineType() const
{
    QString text;
    if (!m_data.ReadStr(No(TSavString::MachineType), text))
        return 0;
    bool ok = false;
    const int type = text.trimmed().toInt(&ok);
    return ok && type >= 0 ? type : 0;
}

bool TSettingsStore::SetMachineType(int type) { return m_data.WriteStr(No(TSavString::MachineType), QString::number(type)); }

QString TSettingsStore::LastUser() const
{
    const auto row = m_data.Open(QStringLiteral("select * from savstring where strno = ") +
                                 SqlNum(qint64(No(TSavString::LastUser))));
    if (!row || row->recordCount() < 1)
        return QString();
    try {
        row->first();
        return row->fieldByName(QStringLiteral("strcont")).asString();
    } catch (...) {
        return QString();
    }
}

bool TSettingsStore::SetLastUser(const QString &name) { return m_data.WriteStr(No(TSavString::LastUser), name); }

bool TSettingsStore::TestIndex(bool flexural, int &index) const
{
    QString text;
    if (!m_data.ReadStr(No(TestIndexRow(flexural)), text))
        return false;
    index = text.trimmed().toInt();
    return true;
}

bool TSettingsStore::SetTestIndex(bool flexural, int index)
{
    return m_data.WriteStr(No(TestIndexRow(flexural)), QString::number(index));
}

THoldSettings TSettingsStore::Hold(bool flexural) const
{
    THoldSettings h;
    if (!m_data.ReadNumInt(No(flexural ? TSavNum::HoldForceFlexural : TSavNum::HoldForce), h.Force))
        h.Force = 100;
    if (!m_data.ReadNumInt(No(flexural ? TSavNum::HoldTimeFlexural : TSavNum::HoldTime), h.Time))
        h.Time = 100;
    return h;
}

bool TSettingsStore::SetHold(bool flexural, const THoldSettings &hold)
{
    const bool force = m_data.WriteNumInt(No(flexural ? TSavNum::HoldForceFlexural : TSavNum::HoldForce), hold.Force);
    const bool time = m_data.WriteNumInt(No(flexural ? TSavNum::HoldTimeFlexural : TSavNum::HoldTime), hold.Time);
    return force && time;
}

} // namespace kv
