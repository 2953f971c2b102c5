#pragma once
// TfrmMessage: the dialog shown when the software's parameters and the
// controller box's differ. In choice mode the operator decides which side is
// right (each choice confirmed and backed up first) or leaves both as they
// are; in notice mode it only reports the count. The details panel lends the
// parameter window's pages, software and box columns with the differing rows
// highlighted, for viewing.
#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;

namespace kv {

class TBaseParams;
class TfrmBaseParams;

class TfrmMessage : public QDialog {
    Q_OBJECT
public:
    enum class TMode { Choice, Notice };
    // programFolder: where BackUp/ lies; empty = the program's own folder.
    // userName: the logged-in user (the details show the maintenance pages to
    // the maintenance user only).
    TfrmMessage(TBaseParams &params, int count, TMode mode, const QString &programFolder = QString(),
                QWidget *parent = nullptr, const QString &userName = QString());
    ~TfrmMessage() override;

    // Shows the dialog modally in choice mode for the current count and
    // returns the driver's ParamDiffCount afterwards.
    static int Resolve(TBaseParams &params, QWidget *parent = nullptr, const QString &programFolder = QString(),
                       const QString &userName = QString());

    // The software side is right: box backed up, software values written,
    // box read back and compared. The box side is right: software backed up,
    // box values taken and stored. Both ask for confirmation first.
    void Button1Click();
    void Button2Click();
    void BitBtn1Click();
    bool DetailsShown() const;
    // The parameter window's pages while the details were opened once, else null.
    QTabWidget *DetailPages() const;

private:
    bool Confirm(const QString &text);
    QString BackupFile() const;
    void BorrowPages();

    TBaseParams &FParams;
    QString FProgramFolder;
    QString FUserName;
    QLabel *FLabel1;
    QPushButton *FButton1, *FButton2, *FButton3, *FButton4, *FBitBtn1;
    QWidget *FPanel1;                        // Panel1: room for the details
    TfrmBaseParams *FParamsWindow = nullptr; // never shown; lends its pages
};

// Every driver's parameter set gets a differences handler that opens the
// dialog for a start-up or side-switch comparison (replaces the plain
// parameter-set factory). programFolder: where BackUp/ lies (empty = the
// program's folder); userName: who is logged in, asked when the dialog opens.
void InstallDifferenceDialog(const QString &programFolder = QString(),
                             std::function<QString()> userName = {});

} // namespace kv
