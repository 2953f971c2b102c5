#pragma once
// TfrmSetport ("力码设定"): the force-code table editor. The calibrated
// force/code pairs of the last calibration run on the left (read only), the
// existing table on the right (editable, with the row commands, 修正 taking
// the calibrated pairs over and 还原 bringing the existing ones back). OK
// checks the table, stores the calibration run's results (through the
// caller's callback), and downloads the table with a progress window that
// never blocks (TCodeDownload). Opened from the main window it is in direct
// mode: the existing table alone.
#include "verify/CodeTable.h"

#include <QDialog>
#include <QString>
#include <functional>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace kv {

namespace db { class TDbConnection; }
class TCodeDownload;
class TCtrlBox;
class TMyGlbParam;
class TPointGrid;

class TfrmSetport : public QDialog {
    Q_OBJECT
public:
    // unit and factor: the display unit and its factor to newtons (from the
    // main window). The direct mode is the global flag SetPortFromMain.
    // connection: where the table is stored; null: the data module's.
    TfrmSetport(TCtrlBox &box, TMyGlbParam &glb, const QString &unit, double factor, QWidget *parent = nullptr,
                db::TDbConnection *connection = nullptr);
    ~TfrmSetport() override;

    // Normal mode: stores the calibration run's results before a download;
    // false stops the save. Unset: nothing to store.
    using TStoreResults = std::function<bool()>;
    void SetStoreResults(TStoreResults store) { FStoreResults = std::move(store); }

    bool DirectMode() const { return FDirect; }
    TPointGrid *Existing() const { return FExisting; }
    TPointGrid *Calibrated() const { return FCalibrated; }
    TCodeDownload &Download() const { return *FDownload; }
    QDialog *ProgressWindow() const { return FProgress; }

public slots:
    void btnRevertClick();  // 还原
    void btnCorrectClick(); // 修正
    void btnOKClick();      // 确定

protected:
    void reject() override;
    void done(int result) override;

private:
    void ShowExisting(const TCodeTable &table);
    void DownloadFinished();
    void SetBusy(bool busy);

    TCtrlBox &FBox;
    TMyGlbParam &FGlb;
    QString FUnit;
    double FFactor;
    bool FDirect = false;
    TStoreResults FStoreResults;
    TCodeTable FSaved;        // the existing table as opened (还原)
    TCodeTable FSending;      // the table being downloaded
    std::vector<TCodePoint> FCalibratedPoints;
    TCodeDownload *FDownload = nullptr;

    QGroupBox *FCalibratedBox = nullptr; // gbCalibrated "校准的力值力码"
    TPointGrid *FCalibrated = nullptr;   // sgCalibrated
    TPointGrid *FExisting = nullptr;     // sgExisting
    QLabel *FHint = nullptr;             // lblHint
    QList<QPushButton *> FButtons;
    QDialog *FProgress = nullptr;        // dlgProgress "正在下发数据,请稍后..."
    QProgressBar *FProgressBar = nullptr;
};

} // namespace kv
