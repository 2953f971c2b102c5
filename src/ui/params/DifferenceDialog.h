#pragma once
// TfrmMessage: the dialog shown when the software's parameters and the
// controller box's differ. In choice mode the operator decides which side is
// right (each choice confirmed and backed up first) or leaves both as they
// are; in notice mode it only reports the count. The details panel lists the
// differing items with both values.
#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QTableWidget;

namespace kv {

class TBaseParams;

class TfrmMessage : public QDialog {
    Q_OBJECT
public:
    enum class TMode { Choice, Notice };
    // programFolder: where BackUp/ lies; empty = the program's own folder.
    TfrmMessage(TBaseParams &params, int count, TMode mode, const QString &programFolder = QString(),
                QWidget *parent = nullptr);

    // Shows the dialog modally in choice mode for the current count and
    // returns the driver's ParamDiffCount afterwards.
    static int Resolve(TBaseParams &params, QWidget *parent = nullptr, const QString &programFolder = QString());

    // The software side is right: box backed up, software values written,
    // box read back and compared. The box side is right: software backed up,
    // box values taken and stored. Both ask for confirmation first.
    void Button1Click();
    void Button2Click();
    void BitBtn1Click();
    bool DetailsShown() const;

private:
    bool Confirm(const QString &text);
    QString BackupFile() const;
    void FillDetails();

    TBaseParams &FParams;
    QString FProgramFolder;
    QLabel *FLabel1;
    QPushButton *FButton1, *FButton2, *FButton3, *FButton4, *FBitBtn1;
    QTableWidget *FDetails;
    int FCollapsedHeight = 0;
};

// Every driver's parameter set gets a differences handler that opens the
// dialog for a start-up or side-switch comparison (replaces the plain
// parameter-set factory).
void InstallDifferenceDialog();

} // namespace kv
