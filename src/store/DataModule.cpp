#include "store/DataModule.h"

#include "PasswordCode.h"
#include "SqlText.h"

#include <QCoreApplication>

#include <algorithm>

namespace kv {

namespace {

TZovData *g_zovData = nullptr;

// Narrowing to a signed width without implementation-defined conversions:
// keep the low bits, then read them as two's complement.
qint16 LowWord(qint64 value)
{
    const quint16 u = static_cast<quint16>(static_cast<quint64>(value));
    return u <= 0x7FFFu ? qint16(u) : qint16(int(u) - 0x10000);
}

qint32 LowDWord(qint64 value)
{
    const quint32 u = static_cast<quint32>(static_cast<quint64>(value));
    return u <= 0x7FFFFFFFu ? qint32(u) : -qint32(~u) - 1;
}

} // namespace

QString TZovData::DefaultDatabaseFile()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/')
        + QLatin1String(DatabaseFileName);
}

namespace {

// The tables every start reads and writes, with the columns the program
// names. The settings rows are inserted without a column list, so those two
// tables must have exactly their two columns.
struct TCoreTable {
    const char *Name;
    std::initializer_list<const char *> Columns;
    bool Exact;
};
const TCoreTable kCoreTables[] = {
    {"SavNum", {"NumNo", "NumCont"}, true},
    {"SavString", {"StrNo", "StrCont"}, true},
    {"Tester", {"UserNo", "name", "secret"}, false},
    {"Unit", {"Type", "Index", "Name", "Coe", "Round"}, false},
    {"CtrlBoxSaveItems", {"CtrlBox", "Name", "Value"}, false},
};

bool HasColumn(const QStringList &columns, const char *name)
{
    return columns.contains(QLatin1String(name), Qt::CaseInsensitive);
}

} // namespace

QString TZovData::SchemaMismatch(const db::TDbConnection &connection)
{
    for (const TCoreTable &t : kCoreTables) {
        const QString name = QLatin1String(t.Name);
        const QStringList columns = connection.columnNames(name);
        if (columns.isEmpty())
            return QCoreApplication::translate("kv::TZovData", "缺少表 %1").arg(name);
        const bool complete = std::all_of(t.Columns.begin(), t.Columns.end(),
                                          [&](const char *c) { return HasColumn(columns, c); });
        if (!complete || (t.Exact && columns.size() != int(t.Columns.size())))
            return QCoreApplication::translate("kv::TZovData", "表 %1 的结构不同").arg(name);
    }
    return {};
}

TZovData::TZovData(const QString &databaseFile)
{
    // The database file is not encrypted (SQLite has no database password);
    // it is protected by the file permissions of the program folder.
    // A file without the program's tables is refused before anything is
    // written to it, so start-up ends instead of running on foreign tables.
    conZovDb.open(databaseFile, [](db::TDbConnection &c) {
        const QString mismatch = SchemaMismatch(c);
        if (!mismatch.isEmpty())
            throw db::EDatabaseError(db::TDbFault::ForeignSchema, mismatch);
    });
}

TZovData::TZovData(const db::TDbServer &server)
{
    conZovDb.openServer(server, [](db::TDbConnection &c) {
        const QString mismatch = SchemaMismatch(c);
        if (!mismatch.isEmpty())
            throw db::EDatabaseError(db::TDbFault::ForeignSchema, mismatch);
    });
}

TZovData::~TZovData()
{
    if (g_zovData == this)
        g_zovData = nullptr;
    conZovDb.close();
}

// ---------------------------------------------------------------------------
// Statements

bool TZovData::ExecSql(const QString &sql)
{
    try {
        db::TDbQuery query(conZovDb);
        query.addSql(sql);
        // Only a text that starts with "select" (or one blank and "select")
        // is opened as a result set; anything else runs as a command.
        const bool returnsRows = sql.left(6).toUpper() == QLatin1String("SELECT")
            || sql.left(7).toUpper() == QLatin1String(" SELECT");
        if (returnsRows)
            query.open();
        else
            query.execSql();
        return true;
    } catch (...) {
        // Callers decide whether a failure is worth a message.
        return false;
    }
}

std::unique_ptr<db::TDbQuery> TZovData::Open(const QString &sql)
{
    try {
        auto query = std::make_unique<db::TDbQuery>(conZovDb);
        query->setSql(sql);
        query->open();
        return query;
    } catch (...) {
        return nullptr;
    }
}

bool TZovData::FunTestBdeRealGood()
{
    return ExecSql(QStringLiteral("select count(*) from savnum"));
}

// ---------------------------------------------------------------------------
// Settings store

std::unique_ptr<db::TDbQuery> TZovData::NumRow(int numNo)
{
    auto row = Open(QStringLiteral("select * from SavNum where NumNo = ") + SqlNum(qint64(numNo)));
    return row && row->recordCount() == 1 ? std::move(row) : nullptr;
}

std::unique_ptr<db::TDbQuery> TZovData::StrRow(int strNo)
{
    auto row = Open(QStringLiteral("select * from SavString where StrNo = ") + SqlNum(qint64(strNo)));
    return row && row->recordCount() == 1 ? std::move(row) : nullptr;
}

bool TZovData::NumExists(int numNo) { return NumRow(numNo) != nullptr; }

bool TZovData::StrExists(int strNo) { return StrRow(strNo) != nullptr; }

bool TZovData::ReadNumInteger(int numNo, qint64 &value)
{
    const auto row = NumRow(numNo);
    if (!row)
        return false;
    try {
        value = row->fieldByName(QStringLiteral("NumCont")).asInteger();
        return true;
    } catch (...) {
        return false;
    }
}

bool TZovData::ReadNumByte(int numNo, quint8 &value)
{
    qint64 v = 0;
    if (!ReadNumInteger(numNo, v))
        return false;
    value = static_cast<quint8>(static_cast<quint64>(v));
    return true;
}

bool TZovData::ReadNumSmallInt(int numNo, qint16 &value)
{
    qint64 v = 0;
    if (!ReadNumInteger(numNo, v))
        return false;
    value = LowWord(v);
    return true;
}

bool TZovData::ReadNumCardinal(int numNo, quint32 &value)
{
    qint64 v = 0;
    if (!ReadNumInteger(numNo, v))
        return false;
    value = static_cast<quint32>(static_cast<quint64>(v));
    return true;
}

bool TZovData::ReadNumInt(int numNo, qint32 &value)
{
    qint64 v = 0;
    if (!ReadNumInteger(numNo, v))
        return false;
    value = LowDWord(v);
    return true;
}

bool TZovData::ReadNumSingle(int numNo, float &value)
{
    const auto row = NumRow(numNo);
    if (!row)
        return false;
    try {
        value = static_cast<float>(row->fieldByName(QStringLiteral("NumCont")).asFloat());
        return true;
    } catch (...) {
        return false;
    }
}

bool TZovData::ReadStr(int strNo, QString &value)
{
    const auto row = StrRow(strNo);
    if (!row)
        return false;
    try {
        value = row->fieldByName(QStringLiteral("StrCont")).asString();
        return true;
    } catch (...) {
        return false;
    }
}

bool TZovData::WriteNumText(int numNo, const QString &valueText)
{
    const QString no = SqlNum(qint64(numNo));
    if (NumExists(numNo))
        return ExecSql(QStringLiteral("Update SavNum set NumCont = ") + valueText
                       + QStringLiteral(" where NumNo = ") + no);
    // Missing, or stored more than once: a new row (the duplicates stay and
    // the number keeps reading as missing until someone cleans them up).
    return ExecSql(QStringLiteral("Insert into SavNum values(") + no + QLatin1Char(',')
                   + valueText + QLatin1Char(')'));
}

bool TZovData::WriteNumByte(int numNo, quint8 value)
{
    return WriteNumText(numNo, SqlNum(qint64(value)));
}

bool TZovData::WriteNumInt(int numNo, qint32 value)
{
    return WriteNumText(numNo, SqlNum(qint64(value)));
}

bool TZovData::WriteNumCardinal(int numNo, quint32 value)
{
    return WriteNumText(numNo, SqlNum(qint64(value)));
}

bool TZovData::WriteNumSingle(int numNo, float value)
{
    // Shortest text that reads back as the same single, always with '.'.
    return WriteNumText(numNo, SqlSingle(value));
}

bool TZovData::WriteStr(int strNo, const QString &value)
{
    const QString no = SqlNum(qint64(strNo));
    if (StrExists(strNo))
        return ExecSql(QStringLiteral("Update SavString set StrCont = ") + QuotedStr(value)
                       + QStringLiteral(" where StrNo = ") + no);
    return ExecSql(QStringLiteral("Insert into SavString values(") + no + QLatin1Char(',')
                   + QuotedStr(value) + QLatin1Char(')'));
}

// ---------------------------------------------------------------------------
// Global settings block

namespace {

// How a row of the settings block is read and written.
enum class TWidth { Byte, Word, Cardinal, Single };

// One row of the block: its number (the flexure side's where it differs),
// width, default, and the value a stored 0 becomes (0: none).
struct TBlockRow {
    TSavNum No;
    TSavNum FlexuralNo;
    TWidth Width;
    double Default;
    double ZeroBecomes;
    quint8 TGlobalSettings::*Byte;
    qint16 TGlobalSettings::*Word;
    quint32 TGlobalSettings::*Cardinal;
    float TGlobalSettings::*Single;
};

using S = TGlobalSettings;
using N = TSavNum;
constexpr TBlockRow ByteRow(N no, quint8 S::*f, double def, double zero = 0)
{ return {no, no, TWidth::Byte, def, zero, f, nullptr, nullptr, nullptr}; }
constexpr TBlockRow WordRow(N no, qint16 S::*f, double def)
{ return {no, no, TWidth::Word, def, 0, nullptr, f, nullptr, nullptr}; }
constexpr TBlockRow SingleRow(N no, N flexNo, float S::*f, double def)
{ return {no, flexNo, TWidth::Single, def, 0, nullptr, nullptr, nullptr, f}; }

// The block in load order.
const TBlockRow kBlock[] = {
    ByteRow(N::ControlMode, &S::ControlMode, 1),
    ByteRow(N::BreakFlag, &S::BreakFlag, 0),
    ByteRow(N::GlobalByte, &S::GlobalByte, 0),
    ByteRow(N::RefreshRate, &S::RefreshRate, 1, 5),
    ByteRow(N::SpeedDisplayMode, &S::SpeedDisplayMode, 1, 2),
    ByteRow(N::GlobalMode, &S::GlobalMode, 2, 2),
    {N::GlobalValue, N::GlobalValue, TWidth::Cardinal, 1, 0, nullptr, nullptr, &S::GlobalValue, nullptr},
    ByteRow(N::AutoFastSlow, &S::AutoFastSlow, 0),
    ByteRow(N::LoadByte, &S::LoadByte, 1),
    SingleRow(N::FastSpeed, N::FastSpeedFlexural, &S::FastSpeed, 2.4),
    SingleRow(N::SlowSpeed, N::SlowSpeedFlexural, &S::SlowSpeed, 0.3),
    SingleRow(N::StopValue, N::StopValue, &S::StopValue, 3.0),
    SingleRow(N::StopForce, N::StopForce, &S::StopForce, 100.0),
    WordRow(N::StopTime, &S::StopTime, 60),
    ByteRow(N::StopFlag, &S::StopFlag, 0),
    WordRow(N::StopValue2, &S::StopValue2, 60),
};

int No(TSavNum n) { return static_cast<int>(n); }

} // namespace

quint8 TZovData::LoadGlobalParams(TGlobalSettings &s, bool kvd520Family)
{
    int missing = 0;
    for (const TBlockRow &row : kBlock) {
        const int no = No(kvd520Family ? row.FlexuralNo : row.No);
        bool read = false;
        switch (row.Width) {
        case TWidth::Byte:
            read = ReadNumByte(no, s.*row.Byte);
            if (!read)
                s.*row.Byte = static_cast<quint8>(row.Default);
            if (row.ZeroBecomes != 0 && s.*row.Byte == 0)
                s.*row.Byte = static_cast<quint8>(row.ZeroBecomes);
            break;
        case TWidth::Word:
            read = ReadNumSmallInt(no, s.*row.Word);
            if (!read)
                s.*row.Word = static_cast<qint16>(row.Default);
            break;
        case TWidth::Cardinal:
            read = ReadNumCardinal(no, s.*row.Cardinal);
            if (!read)
                s.*row.Cardinal = static_cast<quint32>(row.Default);
            break;
        case TWidth::Single:
            read = ReadNumSingle(no, s.*row.Single);
            if (!read)
                s.*row.Single = static_cast<float>(row.Default);
            break;
        }
        missing += read ? 0 : 1;
    }
    s.ControlMode = 1; // always automatic control after start
    return quint8(100 + missing);
}

bool TZovData::SaveModeBytes(const TGlobalSettings &s)
{
    for (TSavNum n : {N::ControlMode, N::BreakFlag, N::GlobalByte, N::RefreshRate, N::SpeedDisplayMode, N::GlobalMode})
        for (const TBlockRow &row : kBlock)
            if (row.No == n && !WriteNumByte(No(n), s.*row.Byte))
                return false;
    return true;
}

bool TZovData::SaveLoadSettings(const TGlobalSettings &s)
{
    return WriteNumByte(No(N::AutoFastSlow), s.AutoFastSlow) && WriteNumByte(No(N::LoadByte), s.LoadByte);
}

bool TZovData::SaveGlobalParams(const TGlobalSettings &s)
{
    bool ok = SaveModeBytes(s);
    ok = SaveLoadSettings(s) && ok;
    // SavNum 1000 goes back under its own number, so the block read at start
    // is the block written at exit (a missing row is created like the others).
    ok = WriteNumText(No(N::GlobalValue), SqlNum(qint64(s.GlobalValue))) && ok;
    return ok;
}

// ---------------------------------------------------------------------------
// Users

qint32 TZovData::GetUserSecret(const QString &name)
{
    const auto user = Open(QStringLiteral("select * from tester where name = ") + QuotedStr(name));
    if (!user || user->recordCount() != 1)
        return 0;
    try {
        return LowDWord(user->fieldByName(QStringLiteral("secret")).asInteger());
    } catch (...) {
        return 0;
    }
}

bool TZovData::AddUserIfMissing(const QString &name, const QString &password)
{
    if (name.isEmpty() || name.size() > MaxUserNameLength)
        return false;
    const auto same = Open(QStringLiteral("select * from tester where name = ") + QuotedStr(name));
    if (!same)
        return false; // cannot tell whether the user exists: create nothing
    if (same->recordCount() != 0)
        return false;
    const auto users = Open(QStringLiteral("select * from tester order by userno"));
    if (!users)
        return false;
    qint64 lastNo = 0;
    try {
        if (users->recordCount() > 0) {
            users->last();
            lastNo = users->fieldByName(QStringLiteral("Userno")).asInteger();
        }
    } catch (...) {
        return false;
    }
    return ExecSql(QStringLiteral("Insert into tester (userno,name,secret) Values(")
                   + SqlNum(lastNo + 1) + QLatin1Char(',') + QuotedStr(name) + QLatin1Char(',')
                   + SqlNum(qint64(PasswordCode(password))) + QLatin1Char(')'));
}

// ---------------------------------------------------------------------------

TZovData *ZovData() { return g_zovData; }

void SetZovData(TZovData *data) { g_zovData = data; }

} // namespace kv
