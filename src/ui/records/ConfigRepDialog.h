#pragma once
// TfrmConfigRep ("报表设置"): the report templates of every test kind, added
// and deleted, and the marks of one template edited: the template's first
// sheet shows in a grid of our own (values and merged cells as they look),
// the operator picks a cell and gives it to a parameter of the test kind.
#include "records/TemplateMarks.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLineEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

namespace kv {

class TMyFunction;
class TfrmMeasure;
struct TMeasureSteps;
namespace db {
class TDbConnection;
}

struct TConfigRepEnv {
    TMyFunction *Tests = nullptr;          // the host's test list: one node per test
    db::TDbConnection *Connection = nullptr;
    QString ProgramDir;                    // Report/<test name>/ holds the templates
    // The workbook to add (tests); empty: the operator picks one.
    std::function<QString(QWidget *owner)> ChooseFile;
};

class TfrmConfigRep : public QDialog {
    Q_OBJECT
public:
    explicit TfrmConfigRep(TConfigRepEnv env, QWidget *parent = nullptr);
    ~TfrmConfigRep() override;

    // ---- the operator's commands ----
    void SelectNode(int test, int templ = -1); // a test node, or its template
    void AddClick();                           // btnAddExcel
    void DeleteClick();                        // btnDelExcel
    bool EditSelected();                       // double-click on a template node
    void SaveClick();                          // BitBtn2
    void CloseClick();                         // BitBtn1
    // The grid's selection into the position of editor row r (specimen rows
    // first, then group rows), as the "..." button does.
    void TakePosition(int row);

    // ---- what tests look at ----
    bool Editing() const { return FEditing; }
    QStringList TreeTexts() const;             // "test" and "  template" lines
    TTemplateMarks Marks() const;              // the editor's rows as shown
    void SetMarks(const TTemplateMarks &m);    // fills the editor's rows
    QTableWidget *SheetGrid() const { return FGrid; }

private:
    struct TRowWidgets;
    void BuildTree();
    void ShowMode();
    void BuildRows();
    void FillGrid();
    void UpdateButtons();
    QString NodeTest(const QTreeWidgetItem *item) const;
    bool eventFilter(QObject *watched, QEvent *event) override;

    TConfigRepEnv FEnv;
    bool FEditing = false;
    QString FTestName;
    QString FTemplatePath;
    std::unique_ptr<xlsx::TXlsxBook> FBook;
    TTemplateMarks FMarks;
    std::vector<std::unique_ptr<TRowWidgets>> FRows;

    QTreeWidget *FTree = nullptr;        // tvTestList
    QWidget *FEditor = nullptr;          // the two row lists and the count
    QSpinBox *FCount = nullptr;          // Edit1 "本组个数"
    QScrollArea *FRowArea = nullptr;
    QVBoxLayout *FRowLayout = nullptr;
    QTableWidget *FGrid = nullptr;       // sgSheet: the template's first sheet
    QPushButton *FAddButton = nullptr;   // btnAddExcel
    QPushButton *FDeleteButton = nullptr; // btnDelExcel
    QPushButton *FSaveButton = nullptr;  // BitBtn2
    QPushButton *FCloseButton = nullptr; // BitBtn1
};

// The template window over the main window: its test list, data module and
// program folder.
void ShowReportSettings(TfrmMeasure &window);
void InstallReportSettings(TMeasureSteps &steps);

} // namespace kv
