#pragma once
// TfrmCommSettings: the serial settings dialog (port number, baud rate,
// parity, stop bits, data length) with the scan of ports 1 to 16 for a box
// that answers. The scan (TPortScan of the link) runs on a worker thread;
// the dialog shows its progress.
#include <QDialog>
#include <QString>
#include <atomic>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimer;

namespace kv {

class TCtrlBox;
class TPortScan;

// The dialog's choice of the line settings (combo box indexes).
struct TCommChoice {
    int Baud = 1;    // "4800", "9600", "19200", "38400"
    int Parity = 0;  // none, odd, even
    int StopBits = 0; // 1, 1.5, 2
    int DataBits = 0; // 8, 7
    bool operator==(const TCommChoice &o) const
    {
        return Baud == o.Baud && Parity == o.Parity && StopBits == o.StopBits && DataBits == o.DataBits;
    }
};
// Fields split at the commas, in order; anything unknown takes the last
// baud entry or the first entry of the other lists.
TCommChoice ParseCommSettings(const QString &settings);
// "19200,n,8,1".
QString BuildCommSettings(const TCommChoice &choice);

class TfrmCommSettings : public QDialog {
    Q_OBJECT
public:
    // box: the driver the scan works with (its CommPort and Settings).
    explicit TfrmCommSettings(TCtrlBox *box, QWidget *parent = nullptr);
    ~TfrmCommSettings() override;

    void SetPort(int port);
    int GetPort() const;
    void SetSettings(const QString &settings);
    QString GetSettings() const;
    // All input controls together: port, baud, parity, stop bits, data
    // length, "扫描", "确定", "取消".
    void EnableInputs(bool enabled);
    // Where "ports/COM<N>" entries are looked for when the dialog shows the
    // device of a port number; empty = the program folder.
    void SetProgramFolder(const QString &folder);

    // The open dialog (set while shown) and the cancel flag of the scan.
    static TfrmCommSettings *Current();
    static std::atomic<quint8> CancelScan;

    bool Scanning() const;
    // Waits until a running scan thread has ended (tests, closing).
    void WaitForScan();

public slots:
    void btnScanClick();
    void btnCancelScanClick();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormShow();
    void ScanEnded(bool found);
    void ShowDevice();
    void SetClientHeight(int height);

    // The widgets; the form name each keeps as objectName after it.
    QSpinBox *FPortSpin = nullptr;              // seComm
    QLabel *FDeviceLabel = nullptr;             // lblDevice
    QComboBox *FBaudBox = nullptr;              // cbBaud
    QComboBox *FParityBox = nullptr;            // cbParity
    QComboBox *FStopBitsBox = nullptr;          // cbStop
    QComboBox *FDataBitsBox = nullptr;          // cbData
    QPushButton *FScanButton = nullptr;         // btnScan
    QPushButton *FOkButton = nullptr;           // btnOK
    QPushButton *FCancelButton = nullptr;       // btnCancel
    QProgressBar *FScanProgress = nullptr;      // pbScan
    QPushButton *FCancelScanButton = nullptr;   // btnCancelScan

    TCtrlBox *FBox;
    QTimer *FCaptionTimer = nullptr;
    TPortScan *FScan = nullptr;
    QString FProgramFolder;
};

} // namespace kv
