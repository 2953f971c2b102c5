#pragma once
// TfrmBaseParams: the advanced parameter window ("高级参数") of every
// controller model. Its pages and rows come from the item table of the
// driver's TBaseParams; the window shows the software and box values side
// by side and forwards the operator's actions to the set.
#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace kv {

class TBaseParams;
class TParamExchange;

class TfrmBaseParams : public QDialog {
    Q_OBJECT
public:
    // userName: the logged-in user; the temperature and other-settings pages
    // are shown to the maintenance user only.
    TfrmBaseParams(TBaseParams &params, const QString &userName, QWidget *parent = nullptr);
    ~TfrmBaseParams() override;

    // Asks for a file: save true for the backup, false for the restore; an
    // empty path cancels. Default: the file dialogs.
    using TFileDialog = std::function<QString(QWidget *owner, bool save)>;
    void SetFileDialog(TFileDialog dialog) { FFileDialog = std::move(dialog); }
    // The exchange of the read and OK buttons (tests wait for its finished).
    TParamExchange &Exchange() const { return *FExchange; }

    // Edits of an item (null when the item has none).
    QLineEdit *SoftEdit(int index) const;
    QComboBox *SoftChoice(int index) const;
    QLineEdit *BoxEdit(int index) const;
    QTabWidget *Pages() const { return FPages; }

public slots:
    void btnReadClick();
    void btnCorrectBoxClick();
    void btnCorrectSoftClick();
    void btnBackupClick();
    void btnRestoreClick();
    void btnOKClick();
    void btnCancelClick();

protected:
    void reject() override;

private:
    struct TRow {
        int Index = -1;
        QLabel *Caption = nullptr;
        QLineEdit *Soft = nullptr;    // number items
        QComboBox *Choice = nullptr;  // choice and radio items
        QLineEdit *Box = nullptr;     // box items only
        int Judge = -1;               // break page: the flag that enables the row (0 force, 1 speed, 2 valve)
    };
    void BuildPages(bool maintenance);
    const TRow *Row(int index) const;
    QString SoftText(const TRow &row) const;
    void SetSoftText(const TRow &row, const QString &text);
    QString BoxText(const TRow &row) const;
    void SetBoxText(const TRow &row, const QString &text);
    QStringList SoftColumn() const;
    QStringList BoxColumn() const;
    void ShowSoftware();
    void ShowBox();
    void Highlight(const TRow &row);
    void EnableJudgeRows();
    // Software column into the driver (values and break flags); false with
    // the message shown when an entry cannot be taken.
    bool TakeSoftware();
    void StartExchange(bool read);
    void ExchangeFinished(int failures);
    void SetBusy(bool busy);

    TBaseParams &FParams;
    TParamExchange *FExchange = nullptr;
    std::vector<TRow> FRows;
    QTabWidget *FPages = nullptr;                // pcParams
    QCheckBox *FJudgeChecks[3] = {};             // cbJudgeForce, cbJudgeSpeed, cbJudgeValve
    std::vector<QLabel *> FBoxHeadings;          // "控制箱的值"
    QPushButton *FReadButton = nullptr;          // btnRead
    QPushButton *FCorrectBoxButton = nullptr;    // btnCorrectBox
    QPushButton *FCorrectSoftButton = nullptr;   // btnCorrectSoft
    QPushButton *FBackupButton = nullptr;        // btnBackup
    QPushButton *FRestoreButton = nullptr;       // btnRestore
    QPushButton *FOkButton = nullptr;            // btnOK
    QPushButton *FCancelButton = nullptr;        // btnCancel
    QDialog *FWait = nullptr;                    // dlgWait "串口通讯等待"
    QLabel *FWaitLabel = nullptr;
    QProgressBar *FWaitBar = nullptr;            // pbWait
    TFileDialog FFileDialog;
    bool FBoxShown = false;
    bool FReading = false;
    bool FRestored = false;
    std::vector<int> FSnapshot;                  // software values before the first restore
};

} // namespace kv
