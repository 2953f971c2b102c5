#pragma once
// TFrameworkTest: the test class every module derives from. It carries the
// whole common pattern (parameter form, results grid, the four tables, group
// life cycle, records-window services, results window, report); a module
// gives its TModuleData and overrides the rule hooks below.
#include "GroupResult.h"
#include "ModuleData.h"
#include "ModuleReport.h"
#include "RateCells.h"
#include "TemplateExport.h"
#include "BaseTest.h"

#include <QPointer>
#include <memory>

namespace kv::db {
class TDbQuery;
}

namespace kv::fw {

class TParamForm;
class TfrmRes;
class EModuleWrite;

// The translation of a text of the module data (context "TModuleText").
QString ModuleText(const QString &source);

// The values of one stored specimen row, column -> text.
using TStoredRow = QMap<QString, QString>;

class TFrameworkTest : public TBaseTest {
public:
    explicit TFrameworkTest(const TModuleData &data);
    ~TFrameworkTest() override;

    const TModuleData &Data() const { return FData; }

    // ---- contract operations ----
    void GetTestName(QString &Name) override;
    bool InitTables() override;
    QWidget *CreateParamForm(QWidget *Owner) override;
    int CheckGroupState() override;
    bool ResumeGroup() override;
    bool CloseUnfinishedGroup() override;
    void BeginGroup(QString &ErrMsg) override;
    void BeginSpecimen(QString &ErrMsg) override;
    void EndSpecimen(bool Valid) override;
    void EndGroup() override;
    void BuildSearchSQL(int Kind, const QString &From, QString &SQL, const QString &UpTo) override;
    bool PrintReport(const QString &Spec) override;
    QDialog *CreateResultForm(const QString &GroupNo, QWidget *Owner) override;
    void BuildRecordSQL(const QString &GroupNo, quint8 Kind, QString &SQL, int Row, const QString &Name1,
                        const QString &Data1, const QString &Name2, const QString &Data2) override;
    void SelectRecord(db::TDbQuery *Source, QString &Text) override;
    void GetCurveFileName(QString &Name) override;
    void CreateSpecimens(int N) override;
    void SetContinuous(quint8 Value) override;
    void ReadCurve(int Index, TCurvePoints &Points) override;

    // ---- state beside the contract fields ----
    TParamForm *ParamForm() const;
    TParamValues FParams;       // the values of the group under test (copied at BeginGroup)
    QString FSize;              // specimen size text
    QString FGrade;             // QDDJ
    QString FSelectedAge;       // age of the record selected in the records window
    QString FSelectedGroupNo;   // its group number (the group under test keeps FGroupNo)
    // Folder holding "OutFile" and "Report": the module's folder's parent
    // unless set (tests).
    QString FProgramFolder;

    // The last parameters: the parameter table's row, else the defaults.
    TParamValues LoadLastParams();
    // Replaces the stored row with v; false when the write failed.
    bool SaveLastParams(const TParamValues &v);

    // Forces (kN, or N for modules that keep N) and strengths of specimens
    // 1..n as shown, and their evaluation.
    std::vector<float> ShownForces(int n) const;
    std::vector<float> ShownStrengths(int n) const;
    TGroupResults EvaluateValues(const std::vector<float> &forces, const std::vector<float> &strengths) const;

    // Stored specimen rows of a group, in order.
    QList<TStoredRow> StoredSpecimens(const QString &groupNo, const QString &age) const;
    // The loading rate of each of a group's stored specimen rows (its curve
    // against the group's set rate), in the order of rows.
    QList<TRateCells> StoredRates(const QString &groupNo, const QString &age, const QList<TStoredRow> &rows) const;
    // The report of a stored group (kind of content the preview prints).
    TReport BuildReport(const QString &groupNo, const QString &age) const;
    // Recomputes the group row from the stored specimens (records window).
    bool RecomputeGroup(const QString &groupNo, const QString &age);

    QString ForceText(double newtons) const;      // "%0.2f" of the shown unit
    QString RecordSizeTextOf(const TStoredRow &row) const { return RecordSizeText(row); }
    double RecordStrengthOf(const TStoredRow &row) const { return RecordStrength(row); }
    static QString StrengthText(double mpa);     // "%0.1f"

protected:
    // ---- rule hooks ----
    // The module's group rule, applied to the forces and to the strengths.
    virtual TRuleResult GroupRule(const std::vector<float> &values) const = 0;
    // Evaluation after each specimen and when recomputing: the rule on both
    // lists; the strengths' outliers are the marked specimens.
    virtual TGroupResults EvaluateGroup(const std::vector<float> &forces, const std::vector<float> &strengths) const;
    // Evaluation shown at group end and printed (ConFlex: the fracture rule).
    virtual TGroupResults EvaluateGroupEnd(const std::vector<float> &forces,
                                           const std::vector<float> &strengths) const;

    // Validation step TCheck::Module (coefficient, side, span, ...).
    virtual QString CheckModuleValues(const TParamValues &v) const;
    // Sizes and FArea of the specimen from the form values; a non-empty
    // message refuses the specimen. Default: SizeParts numbers of the size
    // text into FLength, FWidth(, FHeight); FArea = FLength × FWidth.
    virtual QString PrepareSpecimen(TSpecial &s, const TParamValues &v) const;
    // The rate handed to the controller, N/s. Default: rate × RateToController.
    virtual float ControllerRate(const TParamValues &v, const TSpecial &s) const;

    // Group row: PingZhong (grade, two blanks, variety; the variety alone
    // without a grade box), Speed ("%.1f" of FSpeed), the extra columns.
    virtual QString GroupPingZhong() const;
    virtual QString GroupSpeedText() const;
    virtual QStringList GroupExtraSql() const;
    // Specimen row: SQL values of the size columns, in SpecimenColumns order.
    // Default: LenAv/WidAv/HeiAv/DiameterAv from the TSpecial ("%.1f").
    virtual QStringList SpecimenSizeSql(const TSpecial &s) const;

    // A stored specimen back into a TSpecial: sizes and divisor FArea
    // (ResumeGroup). Default: the size columns, FArea = LenAv × WidAv.
    virtual void RestoreSpecimen(TSpecial &s, const TStoredRow &row) const;
    // Strength of a stored specimen in the records, the results window and
    // the report. Default: force ÷ the divisor of RestoreSpecimen.
    virtual double RecordStrength(const TStoredRow &row) const;
    // Size text of a stored specimen. Default: the size columns joined by "*".
    virtual QString RecordSizeText(const TStoredRow &row) const;
    // SQL expressions over the specimen columns (kind 8 of BuildRecordSQL).
    virtual QString StrengthSql() const;
    virtual QString SizeSql() const;
    // The set rate of a stored group in the unit of the rate box, 0 when none
    // is stored. Default: Speed (the controller rate, N/s) ÷ RateToController.
    virtual double StoredRate(const TStoredRow &groupRow) const;
    // N/s per unit of the rate box for a stored specimen, 0 when unknown.
    // Default: RateToController.
    virtual double RateUnitNewtons(const TStoredRow &row) const;
    // Form values of a stored group (ResumeGroup), from its group row and the
    // last parameters. Default: PingZhong split into grade and variety, the
    // age, the count SelectGroNum, single test, rate = StoredRate, the size
    // of the last stored specimen.
    virtual void StoredGroupValues(TParamValues &v, const TStoredRow &groupRow,
                                   const QList<TStoredRow> &specimens) const;

    // ---- form hooks ----
    // Adds the module's controls after the standard ones.
    virtual void SetupForm(TParamForm &form);
    // Called on every change of a control and when the form is shown
    // (grade list by variety, load-rate label, coefficient choice).
    virtual void FormChanged(TParamForm &form);

    // ---- group hooks ----
    // After specimen k (1-based) was stored (ConFlex asks the fracture
    // position and updates its row). Writes go through KV_MODULE_EXEC.
    virtual void SpecimenStored(int k);
    // A new group begins (after the specimens were created).
    virtual void GroupBegun();
    // The specimen object of a new group (ConFlex: TConFlexSpecial).
    virtual std::unique_ptr<TSpecial> NewSpecial() const;

    // ---- report hooks ----
    // The evaluation printed for stored specimen rows. Default: EvaluateGroupEnd
    // of their shown forces and strengths (ConFlex reads IsOut here).
    virtual TGroupResults EvaluateStored(const QList<TStoredRow> &rows) const;
    // Export into a report template (Spec with a template name): fills a copy
    // under OutFile/, opens it, offers its PDF; false when nothing was written.
    virtual bool ExportToTemplate(const QString &groupNo, const QString &templateName);
    // The values a template receives: kind 7 and kind 8 (load "%.2f",
    // strength "%.1f") and the curves. CemDuo adds its flexural values.
    virtual TTemplateValues TemplateValues(const QString &groupNo, const QString &age) const;
    // Adds module blocks (CemDuo: the flexural block) after the main one.
    virtual void AddReportBlocks(TReport &report, const QString &groupNo, const QString &age) const;
    // Column titles of kind 7 / 8 beside the common ones (CemDuo).
    virtual QStringList ExtraGroupFieldTitles() const;
    virtual QStringList ExtraSpecimenFieldTitles() const;

    // ---- helpers for modules ----
    TStoredRow StoredGroup(const QString &groupNo, const QString &age) const;
    QList<TStoredRow> Select(const QString &sql) const;
    QWidget *ParentWidget() const;

private:
    void ShowResults(const TGroupResults &r, int rowsShown);
    void StoreSpecimen(int k);
    void WriteSpecimen(int k);
    QString CurveFolder() const;
    void ShowFilledReport(const QString &file, const TFillResult &r);
    QString CurveFileOf(const QString &groupNo, const QString &age) const;

    const TModuleData &FData;
    // The group's row is this program's: inserted by its first stored
    // specimen, or the group was resumed. Until then the group number is
    // claimed by inserting the row, which its key lets only one press do.
    bool FGroupRowOwned = false;
    QString FOwnedKey; // group number and age the row is owned for
    QPointer<TParamForm> FParamForm;
    QPointer<TfrmRes> FResultForm;
};

} // namespace kv::fw
