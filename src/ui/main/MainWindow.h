#pragma once
// TfrmMeasure: the main measurement window. It owns the global objects, the
// connection to the controller boxes, the test list and the run, and runs
// the program's start-up (FormCreate, FormShow) and shutdown
// (FormCloseQuery, FormClose, FormDestroy). It shows what the run reports
// (it is the run's observer) and forwards the operator's commands to it; the
// login, the drivers and the test modules plug in through TMeasureSteps.
#include "host/TestList.h"
#include "link/BoxConnection.h"
#include "run/RunObserver.h"
#include "run/RunSequence.h"
#include "store/GlobalParams.h"
#include "ui/main/MeasureSteps.h"

#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <QString>
#include <array>
#include <memory>

class QAction;
class QButtonGroup;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QSlider;
class QSplitter;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class QChart;
class QChartView;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace kv {

class TZovData;

// Everything the main window is created with.
struct TMeasureEnv {
    QString ProgramDir;                 // folder of the executable
    std::unique_ptr<TZovData> Data;     // owned from now on; null: ZovData(), not owned
    std::unique_ptr<QWidget> WaitWindow; // freed right after the login
    TMeasureSteps Steps;
};

class TfrmMeasure : public QMainWindow, private TRunObserver {
    Q_OBJECT
public:
    // Builds the window and runs FormCreate.
    explicit TfrmMeasure(TMeasureEnv env, QWidget *parent = nullptr);
    ~TfrmMeasure() override;

    // Life cycle.
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void FormDestroy();
    // A later copy of the program asked this one to show itself; a first
    // parameter of 1001 is ignored.
    Q_INVOKABLE void OnMsg_RESTORE(int wParam, int lParam);
    // A constant-load start asks for a run (first parameter 0).
    Q_INVOKABLE void OnMsg_CheckMulti(int wParam);

    // Commands and state.
    void EnableAllButton(bool running, bool group, bool online, bool continuous);
    void EnableAllButton();
    void FunMenuEnable(const QString &userName);
    // Commands whose windows are not part of the program yet stay disabled.
    void SetCommandAvailable(QObject *command, bool available);
    bool CommandAvailable(QObject *command) const { return !FUnavailable.contains(command); }

    void SetPanelText(int panel, const QString &text);
    QString PanelText(int panel) const;

    // Display units (table Unit): reads a row, returns its decimals.
    int ReadUnit(int type, int index);
    void RefreshUnitCaptions();
    // Click of an item of the three digit menus (tag = decimals, hint 1..3).
    void SetDigits(QAction *item);
    // The digits of the force, strength and speed displays as their menu
    // items (a number beyond a menu: its first item).
    void SelectDigits(int force, int strength, int speed);
    void LayoutRunButtons();
    // Availability of the commands that need the current driver's box
    // (start-up and every side switch).
    void RefreshDriverCommands();

    // The driver of the current machine type; null without a controller link.
    TCtrlBox *CurrentDriver() const { return FConnection ? FConnection->Current() : nullptr; }
    TBoxConnection &Connection() { return *FConnection; }
    bool IsOnline() const;
    int MachineTypeNo() const { return FMachineType; }
    // Position of the first checked entry of the test-list menu; 0 when none.
    int CheckedTestIndex() const;
    // The test-list menu (pmTestList) that the module host fills: one
    // checkable item a test, with the test's list index as data.
    QMenu *TestMenu() const { return FTestMenu; }
    // The peak mark of the last broken specimen on the chart (empty during a run).
    const QScatterSeries *PeakMarkSeries() const { return FPeakSeries; }
    // The flexure side of a two-frame machine (KVD520 family) is current:
    // it keeps its own remembered test and settings.
    bool FlexuralSide() const;

    // Test modules: the parameter form of the current test in the parameter
    // panel (PnlParam).
    void ShowParamForm(QWidget *form);
    // Takes the shown form out of the panel and hides it (its test keeps it).
    void TakeParamForm();
    QWidget *ParamForm() const { return FParamForm; }
    // "KalvioV6.1 - [ " maximum force in the display unit " ]".
    void RefreshCaption();
    // Empty curve, time axis 0..20, force axis 0..half the maximum force.
    void ResetChart();
    // Empty curve with the axes at forceMax and timeMax.
    void ResetChart(float forceMax, float timeMax);
    // Side switch of a two-frame machine (btnKY compressive, btnKZ flexural).
    void OnClickMachine(QToolButton *button);
    // A numeric display shows value in a display format.
    void ShowValue(QLabel *display, double value, const QString &format);
    TZovData *DataModule() const;

    TMyFunction *MyFunction() const { return FMyFunction.get(); }
    TMyGlbParam *GlbParam() const { return FGlbParam.get(); }
    QString ProgramDir() const { return FProgramDir; }
    bool RunLocked() const { return FRunLocked; }
    // The run command (btnRun) is enabled: a specimen may be started now.
    bool RunEnabled() const;
    TMeasureSteps &Steps() { return FSteps; }
    // The run of this window: specimen runs, the group, the idle monitor.
    TRunSequence &Run() const { return *FRun; }
    // The status timer (timeStsBar) is running: the idle monitor watches the machine.
    bool StatusTimerActive() const { return FRun->Idle().Active(); }

    QString FUserName;

    // Display units and formats.
    QString FLoadUnit = QStringLiteral("kN");
    double FLoadCoe = 1000.0;
    QString FStressUnit = QStringLiteral("MPa");
    QString FLoadFormat = QStringLiteral("0.01");
    QString FStressFormat = QStringLiteral("0.01");
    QString FSpeedFormat = QStringLiteral("0.01");

    // Chart axes as last set (display units, seconds).
    float FForceAxisMax = 0.0f;
    float FTimeAxisMax = 0.0f;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // ---- the run's reports (TRunObserver) ----
    void ShowValue(TRunDisplay display, double value) override;
    void ShowText(TRunDisplay display, const QString &text) override;
    void PanelText(TStatusPanel panel, const QString &text) override;
    void ChartReset(float forceMax, float timeMax) override;
    void CurvePoint(float t, float force) override;
    void AxisGrown(TRunAxis axis, float max) override;
    void PeakMark(float t, double force) override;
    void RunStarting() override;
    void StateChanged() override;
    void Unloaded(TRunMode mode) override;
    void StatusTicked() override;
    QLabel *Display(TRunDisplay display) const;
    const QString &FormatOf(TRunDisplay display) const;

    // Asks for another port while the box stays silent.
    bool AskPort(TCtrlBox &box);
    void CreateRun();
    void ConnectRun();
    void btnStableClick();
    void btnPrintClick();
    void ZoomReset();
    void BuildMenus();
    void BuildToolBar();
    void BuildDisplayStrip();
    void BuildChart();
    void BuildRightPanel();
    void BuildStatusBar();
    QMenu *BuildDigitMenu(const QString &name, int maxDecimals, const QString &hint);
    void SetupMachine(int type);
    void ContactController();
    void SelectLastTest();
    void SetOffline();
    void ContactAfterSwitch();

    void btnOutClick();
    void menuQuitClick();
    void menuUserClick();
    void tbTestClick();
    void LanguageClick(bool english);
    void MachineTypeClick(int type);
    void NHelpClick();
    void RefreshValvePanel();
    void ConnectDriverCommands();
    void menuAdvancedClick();
    void menuGroClick();
    void CheckClick(TMyGlbParam::TCheckMode mode);
    void menuTestHardClick();
    void menuBackParClick();
    void menuResParClick();
    void NChangeAutoORHandClick();

    QString FProgramDir;
    TMeasureSteps FSteps;
    std::unique_ptr<QWidget> FWaitWindow;
    std::unique_ptr<TZovData> FData;
    std::unique_ptr<TMyFunction> FMyFunction;
    std::unique_ptr<TMyGlbParam> FGlbParam;
    std::unique_ptr<TBoxConnection> FConnection;
    int FMachineType = 0;
    bool FLanguageEnglish = false;
    bool FRunLocked = false;    // global settings were missing: no run until restart
    bool FShown = false;
    bool FDestroyed = false;
    QSet<QObject *> FUnavailable;
    std::array<QLabel *, 6> FPanels{};
    QPointer<QWidget> FParamForm;
    std::unique_ptr<TRunSequence> FRun;

    // The widgets, by what they are; each keeps its form name as objectName
    // (given after it), by which tests and tools find it.
    // Menus of menuMain.
    QMenu *FSystemMenu = nullptr;                // menuSystem "系统功能(&S)"
    QAction *FUserManagementItem = nullptr;      // menuUser "用户操作"
    QAction *FLogOffItem = nullptr;              // menuLeave "用户注销"
    QAction *FDemonstrationItem = nullptr;       // menuRun " 演 示"
    QAction *FQuitItem = nullptr;                // menuQuit " 退 出"
    QMenu *FSettingsMenu = nullptr;              // menuSetting "系统设定(&D)"
    QAction *FAdvancedParamsItem = nullptr;      // menuAdvanced "高级参数"
    QAction *FHardwareTestItem = nullptr;        // menuTestHard "硬件测试"
    QAction *FForceCodesItem = nullptr;          // menuGro "力码设定"
    QAction *FControlModeItem = nullptr;         // NChangeAutoORHand "控制方式"
    QAction *FReportSettingsItem = nullptr;      // NConfigRep "报表设置"
    QAction *FBackupItem = nullptr;              // menuBackPar "参数备份"
    QAction *FRestoreItem = nullptr;             // menuResPar "参数恢复"
    QAction *FDatabaseItem = nullptr;            // menuDatabase "数据库设置"
    QMenu *FLanguageMenu = nullptr;              // N1 "语言切换"
    QAction *FChineseItem = nullptr;             // Chinese1
    QAction *FEnglishItem = nullptr;             // English1
    QMenu *FMachineTypeMenu = nullptr;           // MenuMachine "机型切换"
    QAction *FHydraulicPressItem = nullptr;      // mniN2 "液压抗压机"
    QAction *FHydraulicFlexPressItem = nullptr;  // mniN3 "液压抗折抗压机"
    QAction *FElectricPressItem = nullptr;       // Ncompress "电子抗压机"
    QAction *FElectricFlexPressItem = nullptr;   // Nbend "电子抗折抗压机"
    QMenu *FAboutMenu = nullptr;                 // menuAbout " 关于(&A)"
    QAction *FAboutItem = nullptr;               // menuAbtAbt "系统说明"
    QAction *FHelpItem = nullptr;                // NHelp "系统帮助"

    // Tool bar.
    QToolBar *FToolBar = nullptr;                // tbarTop
    QToolButton *FFlexuralSideButton = nullptr;  // btnKZ
    QToolButton *FCompressiveSideButton = nullptr; // btnKY
    QButtonGroup *FSideGroup = nullptr;
    QToolButton *FTestChoiceButton = nullptr;    // tbTest
    QMenu *FTestMenu = nullptr;                  // pmTestList
    QToolButton *FReportButton = nullptr;        // btnPrint
    QToolButton *FCalibrationButton = nullptr;   // btnOneChk
    QToolButton *FVerificationButton = nullptr;  // btnCheck
    QToolButton *FConstantLoadButton = nullptr;  // btnStable
    QToolButton *FEndGroupButton = nullptr;      // btnEndGro
    QToolButton *FSlowButton = nullptr;          // btnSlow
    QToolButton *FFastButton = nullptr;          // btnFast
    QToolButton *FExitButton = nullptr;          // btnOut

    // Display strip: force, strength, speed and time, each with its title.
    QFrame *FDisplayStrip = nullptr;             // Panel1
    QGroupBox *FForceGroup = nullptr;            // gbLZ
    QLabel *FForceTitle = nullptr;               // pnl_ZH
    QLabel *FForceDisplay = nullptr;             // stPress
    QPushButton *FZeroButton = nullptr;          // sb_ClearZero
    QLabel *FPeakForceTitle = nullptr;           // pnl_ZHFZ
    QLabel *FPeakForceDisplay = nullptr;         // stMaxPre
    QGroupBox *FStrengthGroup = nullptr;         // gbWY
    QLabel *FStrengthTitle = nullptr;            // pnl_QD
    QLabel *FStrengthDisplay = nullptr;          // stMpaRes
    QLabel *FPeakStrengthTitle = nullptr;        // Pnl_QDFZ
    QLabel *FPeakStrengthDisplay = nullptr;      // stMaxMpa
    QGroupBox *FSpeedGroup = nullptr;            // GroupBox1
    QLabel *FSpeedTitle = nullptr;               // Pnl_Speed
    QLabel *FSpeedDisplay = nullptr;             // stSpeed
    QLabel *FTimeTitle = nullptr;                // pnl_Time
    QLabel *FTimeDisplay = nullptr;              // st_Time
    // Context menus of the displays choosing their decimals.
    QMenu *FForceDigitsMenu = nullptr;           // PMUnitLoad
    QMenu *FStrengthDigitsMenu = nullptr;        // PMUnitStress
    QMenu *FSpeedDigitsMenu = nullptr;           // pmUnitSpeed

    // Load-time chart and the demonstration run's buttons on it.
    QChartView *FChartView = nullptr;            // Chart1
    QChart *FChart = nullptr;                    // Chart
    QLineSeries *FCurveSeries = nullptr;         // Series1
    QScatterSeries *FPeakSeries = nullptr;       // Series2
    QValueAxis *FTimeAxis = nullptr;             // AxisTime
    QValueAxis *FForceAxis = nullptr;            // AxisLoad
    QPushButton *FDemoLoadButton = nullptr;      // btnUP "加力"
    QPushButton *FDemoHoldButton = nullptr;      // btnKeep "保持"
    QPushButton *FDemoUnloadButton = nullptr;    // btnDown "减力"

    // Right panel: manual valve, parameter form, run buttons.
    QSplitter *FSplitter = nullptr;              // Splitter1
    QFrame *FValvePanel = nullptr;               // PlManuCtrl
    QProgressBar *FValveGauge = nullptr;         // guValvePos
    QLineEdit *FValvePositionEdit = nullptr;     // edtValvePos
    QSlider *FValveSlider = nullptr;             // tbValveSet
    QPushButton *FValveStepDownButton = nullptr; // btnValveDec
    QPushButton *FValveStepUpButton = nullptr;   // btnValveInc
    QFrame *FParamPanel = nullptr;               // PnlParam
    QFrame *FRunPanel = nullptr;                 // Panel5
    QPushButton *FRunButton = nullptr;           // btnRun
    QPushButton *FStopButton = nullptr;          // btnStop
    QPushButton *FResetButton = nullptr;         // btnReset
    QPushButton *FMotorUpButton = nullptr;       // bitUp
    QPushButton *FMotorDownButton = nullptr;     // BitDown

    QStatusBar *FStatusBar = nullptr;            // sbBarDown
};

} // namespace kv
