#include "FrameworkTest.h"

#include "CurveFile.h"
#include "ModuleDb.h"
#include "ModuleSql.h"
#include "ParamCheck.h"
#include "ParamForm.h"
#include "ResultsWindow.h"
#include "SqlText.h"
#include "TestModule.h"
#include "db/DbEngine.h"
#include "xlsx/OfficeConvert.h"
#include "xlsx/TemplateFiles.h"
#include "MessageService.h"

#include <QCoreApplication>
#include <QDate>
#include <QDesktopServices>
#include <QUrl>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>

namespace kv::fw {

namespace {

QString T(const char *text) { return QCoreApplication::translate("TModuleText", text); }

// An address inside this module: the framework is linked into each module,
// so it tells the module's own file.
const int kModuleAnchor = 0;

float Rounded(double v, int decimals) { return ShownValue(v, decimals); }

QString Field(const TStoredRow &row, const QString &name)
{
    for (auto it = row.begin(); it != row.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value();
    return {};
}

double Number(const TStoredRow &row, const QString &name) { return ParseNumber(Field(row, name)); }

} // namespace

QString ModuleText(const QString &source)
{
    const QByteArray utf8 = source.toUtf8();
    return QCoreApplication::translate("TModuleText", utf8.constData());
}

TFrameworkTest::TFrameworkTest(const TModuleData &data) : FData(data)
{
    const QString file = ModuleFileOf(&kModuleAnchor);
    if (!file.isEmpty())
        FProgramFolder = QFileInfo(QFileInfo(file).absolutePath()).absolutePath();
}

TParamForm *TFrameworkTest::ParamForm() const { return FParamForm.data(); }

TFrameworkTest::~TFrameworkTest()
{
    delete FParamForm.data();
    delete FResultForm.data();
}

// ------------------------------------------------------------ contract

void TFrameworkTest::GetTestName(QString &Name)
{
    FTestName = ModuleText(QString::fromUtf8(FData.NameSource));
    FGroupData.FStandard = FData.Standard;
    FMachineMask = FData.MachineMask;
    FMenuGroup = FData.MenuGroup;
    Name = FTestName;
}

bool TFrameworkTest::InitTables()
{
    if (!FConnection)
        return false;
    try {
        for (const QString &sql : CreateTableStatements(FData, FConnection->tableNames()))
            KV_MODULE_EXEC(FConnection, sql);
    } catch (const EModuleWrite &e) {
        ReportModuleError(e);
        return false;
    }
    return true;
}

QWidget *TFrameworkTest::CreateParamForm(QWidget *Owner)
{
    delete FParamForm.data();
    auto *form = new TParamForm(FData, FTestName, Owner);
    FParamForm = form;
    SetupForm(*form);
    TParamValues v = LoadLastParams();
    FParams = v;
    FGroupNo = v.GroupNo.trimmed();
    FAge = v.Age.trimmed();
    FVariety = v.Variety.trimmed();
    FGrade = v.Grade.trimmed();
    FSize = v.Size.trimmed();
    int n = 0;
    CountAtLeastOne(v.Count, &n);
    // Connected first: a value shown may change what the next control offers
    // (the grades of a variety).
    QObject::connect(form, &TParamForm::Changed, form, [this, form] {
        static bool busy = false; // a hook that changes a control must not re-enter
        if (busy)
            return;
        busy = true;
        FormChanged(*form);
        busy = false;
    });
    form->SetGridCount(n);
    form->SetValues(v);
    FContinuous = v.Continuous ? 1 : 0;
    FormChanged(*form);
    return form;
}

int TFrameworkTest::CheckGroupState()
{
    const TStoredRow row = StoredGroup(FGroupNo, FAge);
    if (row.isEmpty())
        return 0;
    const int wanted = Field(row, QStringLiteral("SelectGroNum")).toInt();
    const int stored = Field(row, QStringLiteral("GroNum")).toInt();
    return wanted > 0 && stored < wanted ? 2 : 1;
}

bool TFrameworkTest::ResumeGroup()
{
    const TStoredRow group = StoredGroup(FGroupNo, FAge);
    if (group.isEmpty())
        return false;
    const int n = Field(group, QStringLiteral("SelectGroNum")).toInt();
    const QList<TStoredRow> rows = StoredSpecimens(FGroupNo, FAge);
    FSpecials.Clear();
    SetSpecimenCount(n);
    CreateSpecimens(n);
    SetContinuous(0);

    TParamValues v = LoadLastParams();
    StoredGroupValues(v, group, rows);
    v.Continuous = false;
    v.Created = n;
    FParams = v;
    FVariety = v.Variety.trimmed();
    FGrade = v.Grade.trimmed();
    FSize = v.Size.trimmed();
    FDelay = static_cast<quint16>(v.Delay.toInt());
    double rate = 0.0;
    PositiveNumber(v.Rate, &rate);
    FSpeed = static_cast<float>(rate);
    if (FParamForm) {
        FParamForm->SetGridCount(n);
        FParamForm->SetValues(v);
        FParamForm->ClearResults();
        FormChanged(*FParamForm);
    }
    int shown = 0;
    for (const TStoredRow &row : rows) {
        TSpecial *s = GetSpecial(shown);
        if (!s)
            break;
        RestoreSpecimen(*s, row);
        s->FForce = Number(row, QStringLiteral("OnekN"));
        s->FStrength = s->FArea > 0.0 ? s->FForce / s->FArea : 0.0;
        ++shown;
        if (FParamForm)
            FParamForm->ShowSpecimen(shown, ForceText(s->FForce), StrengthText(s->FStrength));
    }
    if (FParamForm) {
        FParamForm->SetInputsEnabled(false);
        FParamForm->SetSizeEnabled(true);
    }
    FCurrent = shown + 1;
    FGroupRowOwned = true;
    FOwnedKey = FGroupNo + QLatin1Char('\n') + FAge;
    return true;
}

bool TFrameworkTest::CloseUnfinishedGroup()
{
    try {
        KV_MODULE_EXEC(FConnection, CloseGroupSql(FData, FGroupNo, FAge));
    } catch (const EModuleWrite &e) {
        ReportModuleError(e);
        return false;
    }
    return true;
}

void TFrameworkTest::BeginGroup(QString &ErrMsg)
{
    TParamValues v = FParamForm ? FParamForm->Values() : FParams;
    ErrMsg = ValidateParams(FData, v, [this](const TParamValues &p) { return CheckModuleValues(p); });
    if (!ErrMsg.isEmpty())
        return;
    FCurrent = 1;
    if (FParamForm)
        FParamForm->SetInputsEnabled(false);
    int n = 0;
    CountAtLeastOne(v.Count, &n);
    FGroupNo = v.GroupNo.trimmed();
    FVariety = v.Variety.trimmed();
    FAge = v.Age.trimmed();
    FGrade = v.Grade.trimmed();
    FSize = v.Size.trimmed();
    FSpecials.Clear(); // a new group never sees the values of the last one
    // A resumed group (even one without a stored specimen) stays owned.
    FGroupRowOwned = FGroupRowOwned && FOwnedKey == FGroupNo + QLatin1Char('\n') + FAge;
    SetSpecimenCount(n);
    CreateSpecimens(n);
    v.Created = n;
    SetContinuous(v.Continuous ? 1 : 0);
    int delay = 0;
    CountAtLeastOne(v.Delay, &delay);
    FDelay = static_cast<quint16>(delay);
    double rate = 0.0;
    PositiveNumber(v.Rate, &rate);
    FSpeed = static_cast<float>(rate);
    FParams = v;
    if (FParamForm) {
        FParamForm->SetGridCount(n);
        FParamForm->ClearResults();
    }
    // A group stored complete is refused by the program next: its start
    // leaves the last parameters as they were.
    if (CheckGroupState() != 1 && !SaveLastParams(v)) {
        ErrMsg = T("保存试验参数出错");
        if (FParamForm)
            FParamForm->SetInputsEnabled(true);
        return;
    }
    GroupBegun();
}

void TFrameworkTest::BeginSpecimen(QString &ErrMsg)
{
    if (FParamForm)
        FParamForm->SetSizeEnabled(false);
    TParamValues v = FParamForm ? FParamForm->Values() : FParams;
    ErrMsg = ValidateParams(FData, v, [this](const TParamValues &p) { return CheckModuleValues(p); });
    TSpecial *s = GetSpecial(FCurrent - 1);
    if (ErrMsg.isEmpty() && !s)
        ErrMsg = ModuleText(FData.CountMessage);
    if (ErrMsg.isEmpty())
        ErrMsg = PrepareSpecimen(*s, v);
    if (!ErrMsg.isEmpty()) {
        if (FParamForm)
            FParamForm->SetSizeEnabled(true);
        return;
    }
    FParams.Size = v.Size;
    FParams.SizeIndex = v.SizeIndex;
    FParams.Extra = v.Extra;
    FSize = v.Size.trimmed();
    FSpeed = ControllerRate(v, *s);
}

void TFrameworkTest::EndSpecimen(bool Valid)
{
    const int k = FCurrent;
    TSpecial *s = GetSpecial(k - 1);
    if (FParamForm) {
        if (Valid && s)
            FParamForm->ShowSpecimen(k, ForceText(s->FForce), StrengthText(s->FStrength));
        else
            FParamForm->ShowSkipped(k);
    }
    if (Valid && s) {
        try {
            StoreSpecimen(k);
        } catch (const EModuleWrite &e) {
            if (e.Duplicate && !FGroupRowOwned) {
                // Another press stored this group number first: the group
                // ends here, nothing of it stored, as if it had been refused.
                MsgWarning(T("当前编号的试样已经在数据库中存在，请填写新的编号"));
                SetContinuous(0);
                EndGroup();
                return;
            }
            // Not stored: the specimen stays current, so it is tested again.
            ReportModuleError(e);
            if (FParamForm)
                FParamForm->SetSizeEnabled(true);
            return;
        }
        try {
            SpecimenStored(k);
        } catch (const EModuleWrite &e) {
            ReportModuleError(e);
        }
    }
    if (FParamForm)
        FParamForm->SetSizeEnabled(true);
    FCurrent = k + 1;
}

// The specimen row and the group row that counts it are one transaction: a
// program killed between them would leave a group whose count and results
// miss a stored specimen, offered for continuing at a specimen beyond its size.
void TFrameworkTest::StoreSpecimen(int k)
{
    QSqlDatabase db;
    try {
        if (FConnection)
            db = FConnection->database();
    } catch (const db::EDatabaseError &) {
        // No connection: the first write reports it.
    }
    const bool own = db.isValid() && db.transaction();
    try {
        WriteSpecimen(k);
        if (own && !db.commit())
            throw EModuleWrite(QStringLiteral(__FILE__), __LINE__, db.lastError().text());
        FGroupRowOwned = true;
        FOwnedKey = FGroupNo + QLatin1Char('\n') + FAge;
    } catch (...) {
        if (own)
            db.rollback();
        throw;
    }
}

void TFrameworkTest::WriteSpecimen(int k)
{
    TSpecial *s = GetSpecial(k - 1);
    if (!FGroupRowOwned || StoredGroup(FGroupNo, FAge).isEmpty()) {
        TGroupRow g;
        g.GroupNo = FGroupNo;
        g.Age = FAge;
        g.PingZhong = GroupPingZhong();
        g.Speed = GroupSpeedText();
        g.Operator = FGroupData.FOperator;
        g.TestDate = FGroupData.FTestDate.date().toString(QStringLiteral("yyyy-MM-dd"));
        g.Standard = FGroupData.FStandard;
        g.ExtraSql = GroupExtraSql();
        g.Wanted = FSpecimenCount;
        KV_MODULE_EXEC(FConnection, GroupInsertSql(FData, g));
    }
    TSpecimenRow row;
    row.GroupNo = FGroupNo;
    row.Age = FAge;
    row.PingZhong = GroupPingZhong();
    row.Force = s->FForce;
    row.No = k;
    row.SizeSql = SpecimenSizeSql(*s);
    KV_MODULE_EXEC(FConnection, SpecimenInsertSql(FData, row));
    const TGroupResults r = EvaluateGroup(ShownForces(k), ShownStrengths(k));
    KV_MODULE_EXEC_ROWS(FConnection, GroupResultSql(FData, FGroupNo, FAge, r.Force, r.Strength, k), 1);
}

void TFrameworkTest::EndGroup()
{
    if (FParamForm)
        FParamForm->SetInputsEnabled(true);
    if (FCurrent <= 1)
        return;
    const int m = FCurrent - 1;
    if (FCurrent <= FGroupSize) {
        const TSpecial *first = GetSpecial(0);
        while (FCurrent <= FGroupSize) {
            if (TSpecial *s = GetSpecial(FCurrent - 1)) {
                if (first && s != first) {
                    s->FLength = first->FLength;
                    s->FWidth = first->FWidth;
                    s->FHeight = first->FHeight;
                    s->FDiameter = first->FDiameter;
                    s->FArea = first->FArea;
                    s->FShape = first->FShape;
                }
                s->FForce = 0.0;
                s->FStrength = 0.0;
            }
            EndSpecimen(false);
        }
    }
    const TGroupResults r = EvaluateGroupEnd(ShownForces(m), ShownStrengths(m));
    FGroupResultForce = r.Force;
    FGroupResultStrength = r.Strength;
    ShowResults(r, FGroupSize);
    try {
        KV_MODULE_EXEC(FConnection, GroupEndSql(FData, FGroupNo, FAge, m));
    } catch (const EModuleWrite &e) {
        ReportModuleError(e);
    }
}

void TFrameworkTest::ShowResults(const TGroupResults &r, int rowsShown)
{
    if (!FParamForm)
        return;
    FParamForm->ShowGroupResult(rowsShown, r.Force, r.Strength);
    for (int i : r.Marked)
        FParamForm->MarkSpecimen(i + 1);
}

void TFrameworkTest::BuildSearchSQL(int Kind, const QString &From, QString &SQL, const QString &UpTo)
{
    SQL = SearchSql(FData, Kind, From, UpTo);
}

bool TFrameworkTest::PrintReport(const QString &Spec)
{
    const int sep = Spec.indexOf(QStringLiteral("::"));
    const QString group = sep < 0 ? Spec : Spec.left(sep);
    QString templ = sep < 0 ? QString() : Spec.mid(sep + 2);
    if (templ.endsWith(QStringLiteral("::")))
        templ.chop(2);
    if (!templ.isEmpty())
        return ExportToTemplate(group, templ);
    return PresentReport(BuildReport(group, FSelectedAge), ParentWidget());
}

QDialog *TFrameworkTest::CreateResultForm(const QString &GroupNo, QWidget *Owner)
{
    delete FResultForm.data();
    auto *form = new TfrmRes(*this, GroupNo, FSelectedAge, Owner);
    FResultForm = form;
    return form;
}

void TFrameworkTest::BuildRecordSQL(const QString &GroupNo, quint8 Kind, QString &SQL, int Row, const QString &Name1,
                                    const QString &Data1, const QString &Name2, const QString &Data2)
{
    SQL.clear();
    if (Kind == 1) {
        RecomputeGroup(GroupNo, FSelectedAge);
        return;
    }
    TRecordArgs a;
    a.GroupNo = GroupNo;
    a.Age = FSelectedAge;
    a.Row = Row;
    a.Name1 = Name1;
    a.Data1 = Data1;
    a.Name2 = Name2;
    a.Data2 = Data2;
    a.StrengthSql = StrengthSql();
    a.SizeSql = SizeSql();
    a.ExtraGroupTitles = ExtraGroupFieldTitles();
    a.ExtraSpecimenTitles = ExtraSpecimenFieldTitles();
    SQL = RecordSql(FData, Kind, a);
}

void TFrameworkTest::SelectRecord(db::TDbQuery *Source, QString &Text)
{
    Text.clear();
    if (!Source || Source->recordCount() == 0)
        return;
    const int age = Source->fieldIndex(T("龄期"));
    const int group = Source->fieldIndex(T("组号"));
    if (age >= 0)
        FSelectedAge = Source->valueAt(Source->recNo(), age).toString();
    if (group >= 0)
        FSelectedGroupNo = Source->valueAt(Source->recNo(), group).toString();
}

void TFrameworkTest::GetCurveFileName(QString &Name) { Name = FData.CurveWord + FGroupNo + FAge; }

void TFrameworkTest::CreateSpecimens(int N)
{
    FSpecimenCount = N;
    const int start = FSpecials.Count();
    for (int i = 0; i < N; ++i)
        FSpecials.AddObject(QString::number(start + i), NewSpecial());
}

void TFrameworkTest::SetContinuous(quint8 Value)
{
    TBaseTest::SetContinuous(Value);
    if (FParamForm)
        FParamForm->ShowContinuous(Value == 1);
}

void TFrameworkTest::ReadCurve(int Index, TCurvePoints &Points)
{
    FCurveFile = CurveFileOf(FSelectedGroupNo, FSelectedAge);
    TBaseTest::ReadCurve(Index, Points);
}

QString TFrameworkTest::CurveFolder() const { return QDir(FProgramFolder).filePath(QStringLiteral("OutFile")); }

QString TFrameworkTest::CurveFileOf(const QString &groupNo, const QString &age) const
{
    return CurveFolder() + QLatin1Char('/') + FData.CurveWord + groupNo + age;
}

// ------------------------------------------------------------ stored data

QList<TStoredRow> TFrameworkTest::Select(const QString &sql) const
{
    QList<TStoredRow> out;
    if (!FConnection)
        return out;
    try {
        db::TDbQuery q(*FConnection);
        q.setSql(sql);
        q.open();
        const QStringList names = q.fieldNames();
        for (int r = 0; r < q.recordCount(); ++r) {
            TStoredRow row;
            for (int c = 0; c < names.size(); ++c)
                row.insert(names[c], q.valueAt(r, c).toString());
            out << row;
        }
    } catch (const db::EDatabaseError &) {
        // A read that fails finds nothing.
    }
    return out;
}

TStoredRow TFrameworkTest::StoredGroup(const QString &groupNo, const QString &age) const
{
    const QList<TStoredRow> rows = Select(GroupRowSql(FData.GroupTable(), groupNo, age));
    return rows.isEmpty() ? TStoredRow() : rows.first();
}

QList<TStoredRow> TFrameworkTest::StoredSpecimens(const QString &groupNo, const QString &age) const
{
    return Select(SpecimenRowsSql(FData, groupNo, age));
}

TParamValues TFrameworkTest::LoadLastParams()
{
    const QList<TStoredRow> rows = Select(ParamSelectSql(FData));
    return rows.isEmpty() ? FData.Defaults : ParamFromRow(FData, rows.first());
}

bool TFrameworkTest::SaveLastParams(const TParamValues &v)
{
    try {
        KV_MODULE_EXEC(FConnection, ParamDeleteSql(FData));
        KV_MODULE_EXEC(FConnection, ParamInsertSql(FData, v));
    } catch (const EModuleWrite &e) {
        ReportModuleError(e);
        return false;
    }
    return true;
}

std::vector<float> TFrameworkTest::ShownForces(int n) const
{
    std::vector<float> out;
    for (int i = 0; i < n; ++i)
        if (const TSpecial *s = GetSpecial(i))
            out.push_back(Rounded(s->FForce / FData.ForceDivisor(), 2));
    return out;
}

std::vector<float> TFrameworkTest::ShownStrengths(int n) const
{
    std::vector<float> out;
    for (int i = 0; i < n; ++i)
        if (const TSpecial *s = GetSpecial(i))
            out.push_back(Rounded(s->FStrength, 1));
    return out;
}

TGroupResults TFrameworkTest::EvaluateValues(const std::vector<float> &forces, const std::vector<float> &strengths) const
{
    return EvaluateGroup(forces, strengths);
}

bool TFrameworkTest::RecomputeGroup(const QString &groupNo, const QString &age)
{
    const QList<TStoredRow> rows = StoredSpecimens(groupNo, age);
    std::vector<float> forces, strengths;
    for (const TStoredRow &row : rows) {
        forces.push_back(Rounded(Number(row, QStringLiteral("OnekN")) / FData.ForceDivisor(), 2));
        strengths.push_back(Rounded(RecordStrength(row), 1));
    }
    const TGroupResults r = EvaluateGroup(forces, strengths);
    try {
        KV_MODULE_EXEC(FConnection, GroupResultSql(FData, groupNo, age, r.Force, r.Strength));
    } catch (const EModuleWrite &e) {
        ReportModuleError(e);
        return false;
    }
    return true;
}

QList<TRateCells> TFrameworkTest::StoredRates(const QString &groupNo, const QString &age,
                                              const QList<TStoredRow> &rows) const
{
    const double setRate = StoredRate(StoredGroup(groupNo, age));
    const QString file = CurveFileOf(groupNo, age);
    QList<TRateCells> out;
    for (const TStoredRow &row : rows) {
        // Specimen k's curve is entry k - 1 of the group's curve file.
        const TCurvePoints curve = ReadCurveFile(file, Field(row, QStringLiteral("ShunXu")).toInt() - 1);
        out << RateCells(curve, setRate, RateUnitNewtons(row), FData.RateDecimals);
    }
    return out;
}

TReport TFrameworkTest::BuildReport(const QString &groupNo, const QString &age) const
{
    TReport rep;
    const TStoredRow group = StoredGroup(groupNo, age);
    rep.Title = FTestName + QLatin1Char(' ') + T("报表");
    rep.Header = {{T("试验编号："), groupNo},
                  {T("试验日期："), Field(group, QStringLiteral("ExpDate"))},
                  {T("试 验 人："), Field(group, QStringLiteral("ExpMan"))},
                  {T("打印日期:"), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))},
                  {T("检测依据"), Field(group, QStringLiteral("ExpCop"))}};
    // A corrected group says so, with who corrected it last and when.
    const QList<TStoredRow> corrections = Select(CorrectionsSql(FTestName, groupNo));
    if (!corrections.isEmpty())
        rep.Header.append({T("已修正："), Field(corrections.first(), QStringLiteral("UserName")) + QLatin1Char(' ') +
                                              Field(corrections.first(), QStringLiteral("At"))});
    TRecordArgs args;
    args.GroupNo = groupNo;
    args.Age = age;
    QList<TStoredRow> captions = Select(RecordSql(FData, 2, args));
    if (captions.isEmpty())
        captions = Select(DefaultCaptionsSql(FTestName));
    for (const TStoredRow &c : captions)
        rep.Captions.append({Field(c, QStringLiteral("Name1")), Field(c, QStringLiteral("Data1")),
                             Field(c, QStringLiteral("Name2")), Field(c, QStringLiteral("Data2"))});
    TReportBlock block;
    block.Heading = ModuleText(FData.ReportHeading);
    for (const QString &c : FData.ReportColumns)
        block.Columns << ModuleText(c);
    const int rateColumn = block.Columns.size();
    block.Columns << MeasuredRateTitle(FData) << SetRateTitle(FData);
    const QList<TStoredRow> rows = StoredSpecimens(groupNo, age);
    const QList<TRateCells> rates = StoredRates(groupNo, age, rows);
    for (int i = 0; i < rows.size(); ++i) {
        const TStoredRow &row = rows[i];
        block.Rows.append({Field(row, QStringLiteral("ShunXu")), RecordSizeText(row), Field(row, QStringLiteral("PingZhong")),
                           Field(row, QStringLiteral("LingQi")), ForceText(Number(row, QStringLiteral("OnekN"))),
                           StrengthText(RecordStrength(row)), rates[i].Shown(QLatin1Char('\n')), rates[i].Set});
        if (rates[i].Flagged)
            block.Flagged.append({i, rateColumn});
    }
    block.ValidCaption = T("有效强度(MPa)");
    block.ValidValue = EvaluateStored(rows).Strength;
    rep.Blocks.append(block);
    AddReportBlocks(rep, groupNo, age);
    return rep;
}

QString TFrameworkTest::ForceText(double newtons) const { return FixedText(newtons / FData.ForceDivisor(), 2); }

QString TFrameworkTest::StrengthText(double mpa) { return FixedText(mpa, 1); }

QWidget *TFrameworkTest::ParentWidget() const { return FParamForm ? FParamForm->window() : nullptr; }

// ------------------------------------------------------------ default hooks

TGroupResults TFrameworkTest::EvaluateGroup(const std::vector<float> &forces, const std::vector<float> &strengths) const
{
    const TRuleResult f = GroupRule(forces);
    const TRuleResult s = GroupRule(strengths);
    return {ForceResultText(f, static_cast<int>(forces.size())),
            StrengthResultText(s, static_cast<int>(strengths.size())), s.Marked};
}

TGroupResults TFrameworkTest::EvaluateGroupEnd(const std::vector<float> &forces,
                                               const std::vector<float> &strengths) const
{
    return EvaluateGroup(forces, strengths);
}

TGroupResults TFrameworkTest::EvaluateStored(const QList<TStoredRow> &rows) const
{
    std::vector<float> forces, strengths;
    for (const TStoredRow &row : rows) {
        forces.push_back(Rounded(Number(row, QStringLiteral("OnekN")) / FData.ForceDivisor(), 2));
        strengths.push_back(Rounded(RecordStrength(row), 1));
    }
    return EvaluateGroupEnd(forces, strengths);
}

QString TFrameworkTest::CheckModuleValues(const TParamValues &) const { return {}; }

QString TFrameworkTest::PrepareSpecimen(TSpecial &s, const TParamValues &v) const
{
    const std::vector<float> sides = ParseSize(v.Size, FData.SizeParts);
    if (sides.size() < 2)
        return T("规格不正确");
    s.FLength = sides[0];
    s.FWidth = sides[1];
    if (sides.size() > 2)
        s.FHeight = sides[2];
    s.FArea = double(s.FLength) * double(s.FWidth);
    return {};
}

float TFrameworkTest::ControllerRate(const TParamValues &v, const TSpecial &) const
{
    double rate = 0.0;
    PositiveNumber(v.Rate, &rate);
    return static_cast<float>(rate * FData.RateToController);
}

QString TFrameworkTest::GroupPingZhong() const
{
    return FGrade.isEmpty() ? FVariety : FGrade + QStringLiteral("  ") + FVariety;
}

QString TFrameworkTest::GroupSpeedText() const { return FixedText(FSpeed, 1); }

QStringList TFrameworkTest::GroupExtraSql() const { return {}; }

QStringList TFrameworkTest::SpecimenSizeSql(const TSpecial &s) const
{
    QStringList out;
    for (const QString &def : FData.SpecimenColumns) {
        const QString c = ColumnName(def).toLower();
        float v = 0.0f;
        if (c == QLatin1String("lenav"))
            v = s.FLength;
        else if (c == QLatin1String("widav"))
            v = s.FWidth;
        else if (c == QLatin1String("heiav"))
            v = s.FHeight;
        else if (c == QLatin1String("diameterav"))
            v = s.FDiameter;
        out << QuotedStr(FixedText(v, 1));
    }
    return out;
}

void TFrameworkTest::RestoreSpecimen(TSpecial &s, const TStoredRow &row) const
{
    s.FLength = static_cast<float>(Number(row, QStringLiteral("LenAv")));
    s.FWidth = static_cast<float>(Number(row, QStringLiteral("WidAv")));
    s.FHeight = static_cast<float>(Number(row, QStringLiteral("HeiAv")));
    s.FDiameter = static_cast<float>(Number(row, QStringLiteral("DiameterAv")));
    s.FArea = double(s.FLength) * double(s.FWidth);
}

double TFrameworkTest::RecordStrength(const TStoredRow &row) const
{
    TSpecial s;
    RestoreSpecimen(s, row);
    return s.FArea > 0.0 ? Number(row, QStringLiteral("OnekN")) / s.FArea : 0.0;
}

QString TFrameworkTest::RecordSizeText(const TStoredRow &row) const
{
    QStringList parts;
    for (const QString &def : FData.SpecimenColumns) {
        const QString c = ColumnName(def);
        if (c.endsWith(QLatin1String("Av"), Qt::CaseInsensitive))
            parts << Field(row, c);
    }
    return parts.join(QLatin1Char('*'));
}

QString TFrameworkTest::StrengthSql() const { return QStringLiteral("ONEKN / (lenav  * widav)"); }

QString TFrameworkTest::SizeSql() const
{
    QStringList parts;
    for (const QString &def : FData.SpecimenColumns) {
        const QString c = ColumnName(def);
        if (c.endsWith(QLatin1String("Av"), Qt::CaseInsensitive))
            parts << c;
    }
    return parts.join(QStringLiteral(" & '*' & "));
}

void TFrameworkTest::StoredGroupValues(TParamValues &v, const TStoredRow &groupRow,
                                       const QList<TStoredRow> &specimens) const
{
    const QString pz = Field(groupRow, QStringLiteral("PingZhong"));
    const int gap = pz.indexOf(QStringLiteral("  "));
    if (FData.GradeField.Caption.isEmpty() || gap < 0) {
        v.Variety = pz;
    } else {
        v.Grade = pz.left(gap);
        v.Variety = pz.mid(gap + 2);
    }
    v.GroupNo = Field(groupRow, QStringLiteral("ZuHao"));
    v.Age = Field(groupRow, QStringLiteral("LingQi"));
    v.Count = Field(groupRow, QStringLiteral("SelectGroNum"));
    const double rate = StoredRate(groupRow);
    if (rate > 0.0)
        v.Rate = FixedText(rate, 1);
    if (!specimens.isEmpty()) {
        const QString size = RecordSizeText(specimens.last());
        if (!ParseSize(size, FData.SizeParts).empty()) {
            // Stored as "40.0*40.0": shown as the list entry it stands for.
            QStringList sides;
            for (float f : ParseSize(size, FData.SizeParts))
                sides << QString::number(f);
            v.Size = sides.join(QLatin1Char('*'));
            v.SizeIndex = FData.SizeField.Choices.indexOf(v.Size);
        }
    }
}

double TFrameworkTest::StoredRate(const TStoredRow &groupRow) const
{
    double speed = 0.0;
    return PositiveNumber(Field(groupRow, QStringLiteral("Speed")), &speed) ? speed / FData.RateToController : 0.0;
}

double TFrameworkTest::RateUnitNewtons(const TStoredRow &) const { return FData.RateToController; }

void TFrameworkTest::SetupForm(TParamForm &) {}
void TFrameworkTest::FormChanged(TParamForm &) {}
void TFrameworkTest::SpecimenStored(int) {}
void TFrameworkTest::GroupBegun() {}
std::unique_ptr<TSpecial> TFrameworkTest::NewSpecial() const { return std::make_unique<TSpecial>(); }
void TFrameworkTest::AddReportBlocks(TReport &, const QString &, const QString &) const {}
QStringList TFrameworkTest::ExtraGroupFieldTitles() const { return {}; }
QStringList TFrameworkTest::ExtraSpecimenFieldTitles() const { return {}; }

TTemplateValues TFrameworkTest::TemplateValues(const QString &groupNo, const QString &age) const
{
    TTemplateValues v;
    TRecordArgs a;
    a.GroupNo = groupNo;
    a.Age = age;
    a.StrengthSql = StrengthSql();
    a.SizeSql = SizeSql();
    a.ExtraGroupTitles = ExtraGroupFieldTitles();
    a.ExtraSpecimenTitles = ExtraSpecimenFieldTitles();
    const QList<TStoredRow> group = Select(RecordSql(FData, 7, a));
    if (!group.isEmpty())
        for (auto it = group.first().cbegin(); it != group.first().cend(); ++it)
            v.Group.append({it.key(), it.value()});
    const QString load = T("载荷"), strength = T("强度");
    const QList<TStoredRow> specimens = Select(RecordSql(FData, 8, a));
    for (const TStoredRow &row : specimens) {
        TNamedValues s;
        for (auto it = row.cbegin(); it != row.cend(); ++it) {
            QString value = it.value();
            if (it.key() == load)
                value = FixedText(ParseNumber(value), 2);
            else if (it.key() == strength)
                value = FixedText(ParseNumber(value), 1);
            s.append({it.key(), value});
        }
        v.Specimens.append(s);
    }
    const QString curves = CurveFileOf(groupNo, age);
    for (int i = 0; i < specimens.size() && i < 63; ++i)
        v.Curves.append(ReadCurveFile(curves, i));
    return v;
}

bool TFrameworkTest::ExportToTemplate(const QString &groupNo, const QString &templateName)
{
    const QString folder = QDir(FProgramFolder).filePath(QStringLiteral("Report/") + FTestName);
    xlsx::TTemplateFile templ = xlsx::FindTemplate(folder, templateName);
    if (templ.Name.isEmpty()) {
        MsgWarning(QCoreApplication::translate("TTemplateExport", "报表模板%1不存在").arg(templateName), ParentWidget());
        return false;
    }
    if (!templ.Usable) {
        // An old .xls is made an .xlsx once, beside it, when LibreOffice can.
        QString converted, error;
        if (!xlsx::OfficeProgram().isEmpty() &&
            !xlsx::ConvertWithOffice(templ.Path, QStringLiteral("xlsx"), folder, &converted, &error)) {
            MsgWarning(error, ParentWidget()); // installed, but it could not convert this file
            return false;
        }
        if (converted.isEmpty()) {
            MsgWarning(QCoreApplication::translate("TTemplateExport",
                                                   "报表模板%1是旧的Excel 97-2003格式(.xls)，没有安装LibreOffice，无法转换。"
                                                   "请用Excel或WPS另存为.xlsx格式后重新添加。")
                           .arg(templateName),
                       ParentWidget());
            return false;
        }
        templ.Path = converted;
    }
    const QString age = FSelectedAge;
    const QString date = StoredGroup(groupNo, age).value(QStringLiteral("ExpDate"));
    QDir().mkpath(CurveFolder());
    const QString out = FilledReportPath(CurveFolder(), FTestName, groupNo, date, templateName);
    const TFillResult r = FillTemplate(TemplateValues(groupNo, age), templ.Path, out);
    if (!r.Ok) {
        MsgWarning(r.Error, ParentWidget());
        return false;
    }
    ShowFilledReport(out, r);
    return true;
}

void TFrameworkTest::ShowFilledReport(const QString &file, const TFillResult &r)
{
    auto tr = [](const char *text) { return QCoreApplication::translate("TTemplateExport", text); };
    QString text = tr("报表已保存为%1。").arg(QDir::toNativeSeparators(file));
    if (!r.Unknown.isEmpty())
        text += QLatin1Char('\n') + tr("模板中的标记%1不是本试验的参数，没有填写。").arg(r.Unknown.join(QStringLiteral("、")));
    // The desktop's program for workbooks shows it (tests install their own).
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        text += QLatin1Char('\n') + tr("没有找到打开该文件的程序。");
    if (xlsx::OfficeProgram().isEmpty()) {
        MsgInfo(text + QLatin1Char('\n') + tr("没有安装LibreOffice，无法生成PDF文件。"), ParentWidget());
        return;
    }
    if (!MsgYesNo(text + QLatin1Char('\n') + tr("是否同时生成PDF文件?"), TMsgIcon::Question, ParentWidget()))
        return;
    QString pdf, error;
    if (!xlsx::ConvertWithOffice(file, QStringLiteral("pdf"), QFileInfo(file).absolutePath(), &pdf, &error)) {
        MsgWarning(error, ParentWidget());
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(pdf));
}

} // namespace kv::fw
