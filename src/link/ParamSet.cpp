#include "link/ParamSet.h"

#include "SqlText.h"
#include "db/DbEngine.h"
#include "store/BoxSaveItems.h"
#include "store/DataModule.h"

#include <QSqlDatabase>

#include <cmath>
#include <limits>

namespace kv {

namespace {

// Halves to even, as the box and the stored sets have always been rounded.
double RoundEven(double x) { return std::nearbyint(x); }

// value x scale, exact for the 0.001 scale (a division by 1000).
double Scaled(double value, double scale)
{
    if (scale > 0 && scale < 1)
        return value / std::round(1.0 / scale);
    return value * scale;
}

// value / scale, the inverse of Scaled.
double Unscaled(double value, double scale)
{
    if (scale > 0 && scale < 1)
        return value * std::round(1.0 / scale);
    return scale != 0 ? value / scale : 0.0;
}

// Whether x fits an int after rounding.
bool FitsInt(double x)
{
    return std::isfinite(x) && x >= double(std::numeric_limits<int>::min())
           && x <= double(std::numeric_limits<int>::max());
}

// Slack for comparing an entry with a computed bound (the bounds are products
// of decimal fractions and carry binary noise).
double Slack(double bound) { return 1e-9 * std::max(1.0, std::fabs(bound)); }


} // namespace

TBaseParams::TBaseParams(TCtrlBox &box, db::TDbConnection *connection)
    : FBox(box), FConnection(connection)
{
    const bool motor = box.Model().Motor;
    const std::vector<TParamDef> &table = box.Model().Family.ParamTable();
    FItems.reserve(table.size());
    for (const TParamDef &def : table) {
        TParamItem item;
        item.Def = &def;
        item.StoredCaption = QString::fromUtf8(def.Caption);
        const char *shown = motor && def.MotorCaption ? def.MotorCaption : def.Caption;
        item.Caption = QCoreApplication::translate("kv::TBaseParams", shown);
        item.Upper = motor && def.MotorUpper > 0 ? def.MotorUpper : def.Upper;
        if (def.Field == &TCtrlBox::FMaxLoad)
            FMaxLoadIndex = int(FItems.size());
        FItems.push_back(item);
    }
}

TBaseParams::~TBaseParams() = default;

QString TBaseParams::Key() const { return QString::fromLatin1(FBox.Model().Key); }

QString TBaseParams::DisplayName() const { return QString::fromLatin1(FBox.Model().DisplayName); }

// ---- item table ---------------------------------------------------------------

int TBaseParams::IndexOf(const QString &name) const
{
    for (int i = 0; i < Count(); ++i)
        if (name == QLatin1String(FItems[size_t(i)].Def->Name))
            return i;
    return -1;
}

int TBaseParams::IndexOfCaption(const QString &caption) const
{
    for (int i = 0; i < Count(); ++i)
        if (caption == FItems[size_t(i)].StoredCaption)
            return i;
    return -1;
}

int TBaseParams::Value(int index) const { return Item(index).Def->Get(FBox); }

void TBaseParams::SetValue(int index, int value) { Item(index).Def->Ref(FBox) = value; }

void TBaseParams::ClearDiffers()
{
    for (TParamItem &item : FItems)
        item.Differs = false;
}

int TBaseParams::BoxItemCount() const
{
    int n = 0;
    for (const TParamItem &item : FItems)
        n += item.Def->InBox() ? 1 : 0;
    return n;
}

std::vector<int> TBaseParams::Snapshot() const
{
    std::vector<int> values;
    values.reserve(FItems.size());
    for (int i = 0; i < Count(); ++i)
        values.push_back(Value(i));
    return values;
}

void TBaseParams::RestoreSnapshot(const std::vector<int> &values)
{
    for (int i = 0; i < Count() && size_t(i) < values.size(); ++i)
        SetValue(i, values[size_t(i)]);
    FlagsFromMethod();
}

QStringList TBaseParams::ChoiceTexts(int index) const
{
    const TParamDef &def = *Item(index).Def;
    if (!def.Choices)
        return {};
    return QCoreApplication::translate("kv::TBaseParams", def.Choices).split(QLatin1Char('|'));
}

// ---- database -----------------------------------------------------------------

db::TDbConnection *TBaseParams::Connection() const
{
    if (FConnection)
        return FConnection;
    TZovData *data = ZovData();
    return data ? &data->conZovDb : nullptr;
}

// Sets the row of name to value: edits the row that exists or appends one.
void TBaseParams::SetDbDefault(db::TDbConnection &conn, const QString &name, int value)
{
    try {
        db::TDbQuery q(conn);
        q.setSql(BoxItemSql(Key(), name));
        q.open();
        if (q.recordCount() > 0) {
            q.edit();
        } else {
            q.append();
            q.setFieldValue(QStringLiteral("CtrlBox"), Key());
            q.setFieldValue(QStringLiteral("Name"), name);
        }
        q.setFieldValue(QStringLiteral("Value"), SqlNum(qint64(value)));
        q.post();
    } catch (const db::EDatabaseError &) {
        // The default is written again at the next first run of this model.
    }
}

void TBaseParams::LoadParams()
{
    db::TDbConnection *conn = Connection();
    if (!conn) {
        FlagsFromMethod();
        return;
    }
    db::TDbQuery q(*conn);

    // First run of this model: mark it and store the break-judgement and
    // idle-protection defaults (judge by force, one point; protection off).
    try {
        q.setSql(BoxItemSql(Key(), QStringLiteral("IsInit")));
        q.open();
        if (q.recordCount() == 0) {
            q.append();
            q.setFieldValue(QStringLiteral("CtrlBox"), Key());
            q.setFieldValue(QStringLiteral("Name"), QStringLiteral("IsInit"));
            q.setFieldValue(QStringLiteral("Value"), QStringLiteral("1"));
            q.post();
            SetDbDefault(*conn, QStringLiteral("FJudgeMethod"), 4);
            SetDbDefault(*conn, QStringLiteral("FUseProtect"), 1);
            SetDbDefault(*conn, QStringLiteral("FJudgeLoadPointType"), 1);
        }
    } catch (const db::EDatabaseError &) {
    }

    for (TParamItem &item : FItems) {
        int &field = item.Def->Ref(FBox);
        try {
            q.setSql(BoxItemSql(Key(), QString::fromLatin1(item.Def->Name)));
            q.open();
            if (q.recordCount() > 0) {
                const qint64 v = q.fieldByName(QStringLiteral("Value")).asInteger();
                field = FitsInt(double(v)) ? int(v) : 0;
            } else if (item.Def->Field == &TCtrlBox::FJudgeMethod) {
                field = 4;
            }
        } catch (const db::EDatabaseError &) {
            field = 0;
        }
    }
    FlagsFromMethod();
}

int TBaseParams::SaveToDatabase()
{
    db::TDbConnection *conn = Connection();
    if (!conn)
        return Count();
    // One transaction: a single commit to disk instead of one per item, and
    // never half a set after a crash. A failing item is skipped inside it.
    QSqlDatabase sqlDb = conn->database();
    const bool inTransaction = sqlDb.transaction();
    int failed = 0;
    db::TDbQuery q(*conn);
    for (int i = 0; i < Count(); ++i) {
        const QString name = QString::fromLatin1(FItems[size_t(i)].Def->Name);
        const QString value = SqlNum(qint64(Value(i)));
        try {
            q.setSql(BoxItemSql(Key(), name));
            q.open();
            if (q.recordCount() > 0) {
                q.edit();
                q.setFieldValue(QStringLiteral("Value"), value);
                q.post();
            } else {
                q.close();
                conn->execute(BoxItemInsertSql(Key(), name, value));
            }
        } catch (const db::EDatabaseError &) {
            if (q.editing())
                q.cancel();
            ++failed;
        }
    }
    if (inTransaction && !sqlDb.commit()) {
        sqlDb.rollback();
        return Count();
    }
    return failed;
}

// ---- box exchange -------------------------------------------------------------

int TBaseParams::ReadBox(const TProgress &progress)
{
    const int total = BoxItemCount();
    int done = 0;
    FReadFailures = 0;
    for (TParamItem &item : FItems) {
        const TParamDef &def = *item.Def;
        if (!def.InBox())
            continue;
        bool ok = true;
        qint64 high = 0;
        qint64 low = 0;
        int word = 0;
        if (def.TwoWords()) {
            if (FBox.ReadParamRaw(def.HighAddress, word))
                high = word;
            else
                ok = false;
        }
        if (FBox.ReadParamRaw(def.Address, word))
            low = word;
        else
            ok = false;
        const qint64 wire = def.TwoWords() ? (high << 16) | low : low;
        const double v = RoundEven(Unscaled(double(wire), def.BoxScale));
        item.BoxValue = FitsInt(v) ? int(v) : 0;
        item.BoxUnknown = !ok;
        if (!ok)
            ++FReadFailures;
        if (progress)
            progress(++done, total);
    }
    return FReadFailures;
}

int TBaseParams::WriteBox(const TProgress &progress)
{
    int total = 0;
    for (const TParamItem &item : FItems)
        total += item.Def->InBox() && item.Differs ? 1 : 0;
    int done = 0;
    int failed = 0;
    for (TParamItem &item : FItems) {
        const TParamDef &def = *item.Def;
        if (!def.InBox() || !item.Differs)
            continue;
        const double scaled = RoundEven(Scaled(double(item.BoxValue), def.BoxScale));
        // One word holds 0..65535; a two-word value 0..2^32-1. Anything else
        // would be cut or garble the frame, so it is not sent.
        const double top = def.TwoWords() ? 4294967295.0 : 65535.0;
        bool ok = std::isfinite(scaled) && scaled >= 0 && scaled <= top;
        if (ok) {
            const quint32 wire = quint32(scaled);
            if (def.TwoWords())
                ok = FBox.WriteParamRaw(def.HighAddress, int(wire >> 16));
            ok = FBox.WriteParamRaw(def.Address, int(wire & 0xFFFF)) && ok;
        }
        if (ok) {
            item.Differs = false;
            item.BoxUnknown = false;
        } else {
            ++failed;
        }
        if (progress)
            progress(++done, total);
    }
    FBox.ParamDiffCount = failed;
    return failed;
}

int TBaseParams::Compare(int mode)
{
    int count = 0;
    for (int i = 0; i < Count(); ++i) {
        TParamItem &item = FItems[size_t(i)];
        if (!item.Def->InBox()) {
            item.Differs = false;
            continue;
        }
        item.Differs = item.BoxUnknown || item.BoxValue != Value(i);
        count += item.Differs ? 1 : 0;
    }
    FBox.ParamDiffCount = count;
    if (count > 0 && FOnDifferences)
        FOnDifferences(count, mode);
    // The handler may have reconciled the two sides; its outcome stands.
    return FBox.ParamDiffCount;
}

int TBaseParams::CompareParams()
{
    ReadBox();
    return Compare(1);
}

void TBaseParams::RevertParams()
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[size_t(i)].Def->InBox())
            FItems[size_t(i)].BoxValue = Value(i);
}

void TBaseParams::UseSoftwareParams()
{
    // Everything the box may not hold yet is written: the items found
    // different, those that differ now and those whose box value is unknown.
    for (int i = 0; i < Count(); ++i) {
        TParamItem &item = FItems[size_t(i)];
        if (item.Def->InBox() && (item.BoxUnknown || item.BoxValue != Value(i)))
            item.Differs = true;
    }
    RevertParams();
    WriteBox();
}

void TBaseParams::UseBoxParams()
{
    // A box value that could not be read is not taken over: the stored value
    // stays and the item still counts as a difference.
    int unknown = 0;
    for (int i = 0; i < Count(); ++i) {
        TParamItem &item = FItems[size_t(i)];
        if (!item.Def->InBox())
            continue;
        if (item.BoxUnknown) {
            item.Differs = true;
            ++unknown;
        } else {
            SetValue(i, item.BoxValue);
            item.Differs = false;
        }
    }
    FBox.ParamDiffCount = unknown;
}

// ---- display and entry --------------------------------------------------------

QString TBaseParams::FormatValue(int index, int value) const
{
    const TParamDef &def = *Item(index).Def;
    if (def.Code)
        return FixedText(Scaled(double(FBox.CodeToForce(value)), def.DisplayScale), 2);
    if (def.Force)
        return FixedText(Scaled(double(value), def.DisplayScale), 2);
    return QString::number(qint64(RoundEven(Scaled(double(value), def.DisplayScale))));
}

bool TBaseParams::ParseEntry(int index, const QString &text, double &number) const
{
    const TParamDef &def = *Item(index).Def;
    const QString t = text.trimmed();
    bool ok = false;
    if (def.Force) {
        number = ParseNumber(t, &ok);
        return ok && std::isfinite(number);
    }
    const qint64 v = t.toLongLong(&ok);
    number = double(v);
    return ok;
}

bool TBaseParams::EnterValue(int index, const QString &text, int &value) const
{
    const TParamDef &def = *Item(index).Def;
    double number = 0;
    if (!ParseEntry(index, text, number))
        return false;
    const double driver = Unscaled(number, def.DisplayScale);
    if (def.Code) {
        if (!FitsInt(driver))
            return false;
        value = FBox.ForceToCode(float(driver));
        return true;
    }
    const double v = RoundEven(driver);
    if (!FitsInt(v))
        return false;
    value = int(v);
    return true;
}

bool TBaseParams::SameText(int index, const QString &a, const QString &b) const
{
    double x = 0;
    double y = 0;
    if (!ParseEntry(index, a, x) || !ParseEntry(index, b, y))
        return false;
    if (Item(index).Def->Force)
        return std::fabs(x - y) <= Slack(std::max(std::fabs(x), std::fabs(y)));
    return x == y;
}

QString TBaseParams::Validate(int index, const QString &text, double maxForce, bool withLimits) const
{
    const TParamItem &item = Item(index);
    const TParamDef &def = *item.Def;
    const QString wrong = item.Caption + tr("输入不正确");
    double x = 0;
    if (!ParseEntry(index, text, x) || x < 0)
        return wrong;
    if (!withLimits || !def.Limited)
        return {};
    double lower = def.Lower;
    double upper = item.Upper;
    if (def.Relative) {
        lower = maxForce * def.Lower * 0.9;
        upper = maxForce * def.Upper * 1.1;
    }
    if (x < lower - Slack(lower) || x > upper + Slack(upper))
        return wrong + FixedText(lower, 1) + QLatin1Char('-') + FixedText(upper, 1);
    return {};
}

QString TBaseParams::ValidateColumn(const QStringList &texts, bool withLimits) const
{
    double maxForce = 0;
    if (FMaxLoadIndex >= 0 && FMaxLoadIndex < texts.size())
        ParseEntry(FMaxLoadIndex, texts[FMaxLoadIndex], maxForce);
    for (int i = 0; i < Count() && i < texts.size(); ++i) {
        if (texts[i].isNull())
            continue;   // no entry for this item in the column
        const QString message = Validate(i, texts[i], maxForce, withLimits);
        if (!message.isEmpty())
            return message;
    }
    return {};
}

void TBaseParams::FlagsFromMethod() { FBox.FJudgeFlags = JudgeMaskToFlags(FBox.FJudgeMethod); }

void TBaseParams::MethodFromFlags() { FBox.FJudgeMethod = JudgeFlagsToMask(FBox.FJudgeFlags); }

// ---- factory --------------------------------------------------------------------

std::unique_ptr<TCtrlParamSet> CreateBaseParams(TCtrlBox &box)
{
    return std::make_unique<TBaseParams>(box);
}

void InstallBaseParamsFactory() { TCtrlBox::SetParamSetFactory(&CreateBaseParams); }

} // namespace kv
