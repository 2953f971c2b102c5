#pragma once
// The parameter form of a module (TFormCemComp and its siblings): a caption
// panel with the test name, the labelled input controls the module's data
// names, the module's own controls, and below a splitter the results grid.
// The form only shows and collects values; the test object decides.
#include "ModuleData.h"

#include <QMap>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;
class QFormLayout;

namespace kv::fw {

// Text of a results-grid cell before the specimen rows are known.
QStringList GridRowHeader(int row, int count, const QString &forceUnit);

class TParamForm : public QWidget {
    Q_OBJECT
public:
    TParamForm(const TModuleData &data, const QString &title, QWidget *parent = nullptr);

    // ---- values ----
    TParamValues Values() const;
    void SetValues(const TParamValues &v);

    // ---- the module's own controls (keys of TParamValues::Extra) ----
    // The row goes below the control after (default: above the mode row).
    QComboBox *AddExtraCombo(const QString &key, const QString &caption, const QStringList &choices,
                             bool editable = false, QWidget *after = nullptr);
    // A label row showing a derived value (e.g. the load rate).
    QLabel *AddInfoLabel(const QString &caption, QWidget *after = nullptr);
    QComboBox *ExtraCombo(const QString &key) const { return FExtra.value(key); }

    // ---- standard controls a module reads or places its rows after (null
    // when the module has none) ----
    QComboBox *VarietyBox() const { return FVarietyBox; }
    QComboBox *GradeBox() const { return FGradeBox; }
    QComboBox *AgeBox() const { return FAgeBox; }
    QComboBox *SizeBox() const { return FSizeBox; }
    QComboBox *RateBox() const { return FRateBox; }

    // ---- state ----
    // Every input but the size box (BeginGroup / EndGroup).
    void SetInputsEnabled(bool enabled);
    void SetSizeEnabled(bool enabled);
    // Shows the continuous choice; the delay box and its label only in
    // continuous mode.
    void ShowContinuous(bool continuous);

    // ---- results grid ----
    // n + 3 rows for n specimens (1..10; other counts are ignored).
    void SetGridCount(int n);
    int GridCount() const { return FGridCount; }
    void ClearResults();
    void ShowSpecimen(int k, const QString &force, const QString &strength);
    void ShowSkipped(int k);
    void MarkSpecimen(int k); // "*" in front of the force cell
    void ShowGroupResult(int n, const QString &force, const QString &strength);
    QString Cell(int row, int column) const;

signals:
    // Any control changed (the module refreshes derived values).
    void Changed();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QComboBox *AddCombo(const TFormField &field, QWidget *after = nullptr);
    void AddRow(const QString &caption, QWidget *control, QWidget *after = nullptr, QLabel **label = nullptr);
    void SetCell(int row, int column, const QString &text);

    // The standard controls (null when the module has none); the name each
    // keeps as objectName after it.
    QLineEdit *FGroupNoEdit = nullptr;  // edtGroupNo
    QComboBox *FVarietyBox = nullptr;   // cbVariety
    QComboBox *FGradeBox = nullptr;     // cbGrade
    QComboBox *FAgeBox = nullptr;       // cbAge
    QComboBox *FSizeBox = nullptr;      // cbSize
    QComboBox *FRateBox = nullptr;      // cbRate
    QComboBox *FCountBox = nullptr;     // cbCount
    QComboBox *FModeBox = nullptr;      // cbMode
    QComboBox *FDelayBox = nullptr;     // cbDelay
    QLabel *FDelayLabel = nullptr;
    QTableWidget *FResultGrid = nullptr; // sgResult

    const TModuleData &FData;
    QFormLayout *FControls = nullptr;
    QWidget *FControlsParent = nullptr;
    int FGridCount = 0;
    QMap<QString, QComboBox *> FExtra;
    QList<QWidget *> FInputs;
};

} // namespace kv::fw
