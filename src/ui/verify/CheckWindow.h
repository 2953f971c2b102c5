#pragma once
// TfrmCheck ("校准检定"): force verification (力值检测) and calibration
// (力值校准) against a reference instrument. The window shows what the
// verification run (TCheckRun) reports, forwards the operator's commands
// and keys to it, and opens the parameters dialog, the force-code editor
// and the printed record.
#include "verify/CheckRun.h"

#include <QDialog>
#include <memory>

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QPushButton;
class QTableWidget;
class QToolButton;
class QValueAxis;

namespace kv {

class TCtrlBox;
class TMyGlbParam;
class TZovData;

class TfrmCheck : public QDialog, private TCheckObserver {
    Q_OBJECT
public:
    // The mode is the global parameters' CheckMode. unit and coe: the force
    // unit shown and its factor (shown = N / coe). valveStart: the valve
    // start of the specimen runs (may be null).
    TfrmCheck(TCtrlBox &box, TMyGlbParam &glb, TZovData *data, const QString &unit, double coe,
              int *valveStart = nullptr, QWidget *parent = nullptr);
    ~TfrmCheck() override;

    TCheckRun &Run() { return *FRun; }
    QTableWidget *Grid() const { return FGrid; }

    // How the parameters dialog and the force-code editor open (tests
    // replace them); by default the real dialogs, modal.
    void SetParamsDialog(std::function<bool()> open) { FOpenParams = std::move(open); }
    void SetForceCodesDialog(std::function<void()> open) { FOpenForceCodes = std::move(open); }

public slots:
    void btnrunClick();
    void btnendClick();
    void ToolButton1Click(); // 力码设置
    void btnprintClick();
    void btnCaptionClick(); // 表头: the record's header lines
    void btnQuitClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    void showEvent(QShowEvent *event) override;

private:
    // TCheckObserver
    void ShowForce(const QString &text) override;
    void ShowSpeed(const QString &text) override;
    void ShowTime(const QString &text) override;
    void ChartReset(float forceMax, float timeMax) override;
    void ChartAxes(float forceMax, float timeMax) override;
    void ChartPoint(float force, float t) override;
    void GridChanged() override;
    void StateChanged() override;
    void FocusGrid() override;
    void OpenForceCodes() override;

    void BuildLayout();
    bool OpenParamsDialog();
    void OpenForceCodesDialog();

    TCtrlBox &FBox;
    TMyGlbParam &FGlb;
    TZovData *FData;
    QString FUnit;
    double FCoe;
    std::unique_ptr<TCheckRun> FRun;
    std::function<bool()> FOpenParams;
    std::function<void()> FOpenForceCodes;
    bool FOpened = false;

    QToolButton *FRunButton = nullptr;        // btnrun
    QToolButton *FEndButton = nullptr;        // btnend
    QToolButton *FForceCodesButton = nullptr; // ToolButton1
    QToolButton *FPrintButton = nullptr;      // btnprint
    QToolButton *FCaptionButton = nullptr;    // btnCaption
    QToolButton *FFastButton = nullptr;       // btnfast
    QToolButton *FSlowButton = nullptr;       // btnslow
    QToolButton *FTakeButton = nullptr;       // ToolButton2
    QToolButton *FQuitButton = nullptr;       // btnQuit
    QLabel *FForceTitle = nullptr;            // pnl_ZH
    QLabel *FForceDisplay = nullptr;          // stPress
    QLabel *FSpeedTitle = nullptr;            // Pnl_Speed
    QLabel *FSpeedDisplay = nullptr;          // stSpeed
    QLabel *FTimeDisplay = nullptr;           // stTime
    QPushButton *FZeroButton = nullptr;       // sb_ClearZero
    QLabel *FHint = nullptr;                  // pnlHint
    QTableWidget *FGrid = nullptr;            // StringGrid1
    QChartView *FChartView = nullptr;         // Chart1
    QChart *FChart = nullptr;
    QLineSeries *FSeries = nullptr;           // Series1
    QValueAxis *FTimeAxis = nullptr;
    QValueAxis *FForceAxis = nullptr;
};

} // namespace kv
