#pragma once
// TfrmPrint ("报表打印"): stored groups of a test kind found again by number
// or date, printed through the module's report or a template, their header
// captions edited, deleted and (by Admin) corrected, exported as CSV. The
// statements are the test module's; the window supplies the test kind, the
// range, the current group and the rights.
#include "records/RecordsBrowser.h"

#include <QDialog>
#include <memory>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QTableView;
class QTableWidget;

namespace kv {

class TMyFunction;
class TfrmMeasure;
struct TMeasureSteps;
namespace db {
class TDbConnection;
class TDbQuery;
class TDbGridModel;
} // namespace db

struct TRecordsEnv {
    TMyFunction *Tests = nullptr;     // the host's test list
    db::TDbConnection *Connection = nullptr;
    quint32 MachineBit = 1;           // 1, 2 or 4: the current controller's kind
    int CurrentTestIndex = -1;        // preselects its test kind
    QString ProgramDir;               // Report/<test name>/ holds the templates
    QString UserName;                 // only "Admin" deletes and corrects
};

enum class TSearchMode { ByNumber = 0, ByDate = 1 };

class TfrmPrint : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPrint(TRecordsEnv env, QWidget *parent = nullptr);
    ~TfrmPrint() override;

    // ---- the operator's commands ----
    void SetSearchMode(TSearchMode mode);
    void ChooseTestKind(int index);
    void Search();
    void PrintClick();
    // Prints with the report menu's entry (0 = the built-in report).
    void PrintEntry(int entry);
    void DeleteClick();
    void DeleteAllClick();
    void CorrectCurrent();
    void CaptionsClick();
    void PrintSetupClick();
    void ExportClick();
    void ExportTrailClick();

    // ---- what tests look at ----
    QString CurrentGroupNo() const;
    TBaseTest *CurrentTest() const { return FTest; }
    QStringList ReportMenuEntries() const;
    int RowCount() const;
    // The text the grid shows in a cell of the result set.
    QString CellText(int row, int column) const;
    void SelectRow(int row);
    // Where ExportClick writes (tests; empty: the operator picks a file).
    void SetExportFile(const QString &path) { FExportFile = path; }

private:
    void BuildLayout();
    void FillTestKinds();
    void RowChanged();
    void SizeColumns();
    void ShowTrail();
    void Requery();
    // Runs a delete of the module (kind 4 or 5) for group, keeping the group
    // as it was in the audit trail; false when the statement failed.
    bool DeleteGroup(const QString &groupNo, quint8 kind);
    bool IsAdmin() const;

    TRecordsEnv FEnv;
    std::vector<TTestKind> FKinds;
    TBaseTest *FTest = nullptr;
    QString FTestName;
    QStringList FTemplates;
    TSearchMode FMode = TSearchMode::ByNumber;
    QString FLastSql;
    QString FExportFile;
    std::unique_ptr<db::TDbQuery> FQuery;

    // The widgets; the name each keeps as objectName after it.
    QComboBox *FSearchModeBox = nullptr;   // cbSearch
    QComboBox *FTestKindBox = nullptr;     // cb_Object
    QLabel *FRangeLabel = nullptr;         // stZuHao
    QLineEdit *FFromEdit = nullptr;        // edtZuHao1
    QLineEdit *FToEdit = nullptr;          // edtZuHao2
    QDateEdit *FFromDate = nullptr;        // DateTimePicker1
    QDateEdit *FToDate = nullptr;          // DateTimePicker2
    QPushButton *FSearchButton = nullptr;  // btnSearch
    QPushButton *FPrintButton = nullptr;   // btnStart
    QPushButton *FPrintSetupButton = nullptr; // PrintSetup
    QPushButton *FCaptionsButton = nullptr;   // SpeedButton1
    QPushButton *FDeleteButton = nullptr;     // sbDelete
    QPushButton *FDeleteAllButton = nullptr;  // sbChgAll
    QPushButton *FExportButton = nullptr;     // btnExport
    QPushButton *FTrailExportButton = nullptr; // btnExportTrail
    QPushButton *FCloseButton = nullptr;      // btnOut
    QTableView *FResultGrid = nullptr;        // dbgResGro
    QTableWidget *FTrailGrid = nullptr;       // sgAudit
    QMenu *FReportMenu = nullptr;             // pmReportList
    QStatusBar *FStatusBar = nullptr;         // sbPrint
    db::TDbGridModel *FModel = nullptr;       // DataSource1
};

// The records window over the main window: its test list, data module,
// machine kind, program folder and user.
void ShowRecordsWindow(TfrmMeasure &window);
void InstallRecordsWindow(TMeasureSteps &steps);

} // namespace kv
