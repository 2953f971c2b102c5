#include "ui/dialogs/CommSettingsDialog.h"

#include "link/CtrlBox.h"
#include "link/PortScan.h"
#include "link/SerialPort.h"
#include "MessageService.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>
#include <QTimer>

namespace kv {

namespace {

TfrmCommSettings *g_current = nullptr;

const char *const kBauds[] = {"4800", "9600", "19200", "38400"};
const char *const kParityLetters[] = {"n", "o", "e"};
const char *const kStops[] = {"1", "1.5", "2"};
const char *const kDatas[] = {"8", "7"};

} // namespace

std::atomic<quint8> TfrmCommSettings::CancelScan{0};

TCommChoice ParseCommSettings(const QString &settings)
{
    const QStringList f = settings.split(QLatin1Char(','));
    auto field = [&f](int i) { return i < f.size() ? f[i].trimmed() : QString(); };
    TCommChoice c;
    const QString baud = field(0);
    c.Baud = baud == QLatin1String("4800") ? 0 : baud == QLatin1String("9600") ? 1 : baud == QLatin1String("19200") ? 2 : 3;
    const QString parity = field(1).toUpper();
    c.Parity = parity == QLatin1String("O") ? 1 : parity == QLatin1String("E") ? 2 : 0;
    c.DataBits = field(2) == QLatin1String("7") ? 1 : 0;
    const QString stop = field(3);
    c.StopBits = stop == QLatin1String("2") ? 2 : stop == QLatin1String("1.5") ? 1 : 0;
    return c;
}

QString BuildCommSettings(const TCommChoice &c)
{
    auto pick = [](const char *const *list, int n, int i) { return QLatin1String(list[(i >= 0 && i < n) ? i : 0]); };
    return pick(kBauds, 4, c.Baud) + QLatin1Char(',') + pick(kParityLetters, 3, c.Parity) + QLatin1Char(',') +
           pick(kDatas, 2, c.DataBits) + QLatin1Char(',') + pick(kStops, 3, c.StopBits);
}

// ---------------------------------------------------------------------------

TfrmCommSettings::TfrmCommSettings(TCtrlBox *box, QWidget *parent) : QDialog(parent), FBox(box)
{
    setObjectName(QStringLiteral("frmCommSettings"));
    setWindowTitle(tr("串行参数设置"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    const int labelX = 20, editX = 110, editW = 130, rowH = 24, gap = 32;
    auto label = [this](const QString &text, int y) {
        auto *l = new QLabel(text, this);
        l->setGeometry(20, y, 88, 24);
        return l;
    };
    int y = 16;
    label(tr("串口号："), y);
    FPortSpin = new QSpinBox(this);
    FPortSpin->setObjectName(QStringLiteral("seComm"));
    FPortSpin->setRange(1, 16);
    FPortSpin->setValue(1);
    FPortSpin->setGeometry(editX, y, editW, rowH);
    FDeviceLabel = new QLabel(this);
    FDeviceLabel->setObjectName(QStringLiteral("lblDevice"));
    FDeviceLabel->setGeometry(editX + editW + 10, y, 220, rowH);
    y += gap;
    label(tr("波特率："), y);
    FBaudBox = new QComboBox(this);
    FBaudBox->setObjectName(QStringLiteral("cbBaud"));
    for (const char *b : kBauds)
        FBaudBox->addItem(QLatin1String(b));
    FBaudBox->setCurrentIndex(1);
    FBaudBox->setGeometry(editX, y, editW, rowH);
    y += gap;
    label(tr("奇偶校验："), y);
    FParityBox = new QComboBox(this);
    FParityBox->setObjectName(QStringLiteral("cbParity"));
    FParityBox->addItems({tr("无校验"), tr("奇校验"), tr("偶校验")});
    FParityBox->setGeometry(editX, y, editW, rowH);
    y += gap;
    label(tr("停止位："), y);
    FStopBitsBox = new QComboBox(this);
    FStopBitsBox->setObjectName(QStringLiteral("cbStop"));
    FStopBitsBox->addItems({tr("1位"), tr("1.5位"), tr("2位")});
    FStopBitsBox->setGeometry(editX, y, editW, rowH);
    y += gap;
    label(tr("数据长度："), y);
    FDataBitsBox = new QComboBox(this);
    FDataBitsBox->setObjectName(QStringLiteral("cbData"));
    FDataBitsBox->addItems({tr("8位"), tr("7位")});
    FDataBitsBox->setGeometry(editX, y, editW, rowH);
    (void)labelX;

    y += gap + 12;
    FScanButton = new QPushButton(tr("扫描"), this);
    FScanButton->setObjectName(QStringLiteral("btnScan"));
    FScanButton->setGeometry(20, y, 100, 28);
    FOkButton = new QPushButton(tr("确定"), this);
    FOkButton->setObjectName(QStringLiteral("btnOK"));
    FOkButton->setGeometry(150, y, 100, 28);
    FOkButton->setDefault(true);
    FCancelButton = new QPushButton(tr("取消"), this);
    FCancelButton->setObjectName(QStringLiteral("btnCancel"));
    FCancelButton->setGeometry(270, y, 100, 28);

    y += 28 + 20;
    FScanProgress = new QProgressBar(this);
    FScanProgress->setObjectName(QStringLiteral("pbScan"));
    FScanProgress->setRange(0, 15);
    FScanProgress->setValue(0);
    FScanProgress->setGeometry(20, y, 350, 20);
    y += 20 + 12;
    FCancelScanButton = new QPushButton(tr("取消扫描"), this);
    FCancelScanButton->setObjectName(QStringLiteral("btnCancelScan"));
    FCancelScanButton->setGeometry(145, y, 100, 28);

    setFixedWidth(480);
    SetClientHeight(FCancelScanButton->geometry().bottom() + 1 + 8);

    connect(FOkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(FCancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(FScanButton, &QPushButton::clicked, this, &TfrmCommSettings::btnScanClick);
    connect(FCancelScanButton, &QPushButton::clicked, this, &TfrmCommSettings::btnCancelScanClick);
    connect(FPortSpin, qOverload<int>(&QSpinBox::valueChanged), this, [this] { ShowDevice(); });

    // Re-applies the caption so the window keeps painting during a scan.
    FCaptionTimer = new QTimer(this);
    FCaptionTimer->setInterval(100);
    connect(FCaptionTimer, &QTimer::timeout, this, [this] { setWindowTitle(windowTitle()); });

    if (FBox) {
        SetPort(FBox->CommPort);
        SetSettings(FBox->Settings);
    }
    ShowDevice();
}

TfrmCommSettings::~TfrmCommSettings()
{
    if (Scanning()) {
        CancelScan = 1;
        FScan->Cancel();
        WaitForScan();
    }
    delete FScan;
    if (g_current == this)
        g_current = nullptr;
}

TfrmCommSettings *TfrmCommSettings::Current() { return g_current; }

void TfrmCommSettings::SetPort(int port) { FPortSpin->setValue(port); }

int TfrmCommSettings::GetPort() const { return FPortSpin->value(); }

void TfrmCommSettings::SetSettings(const QString &settings)
{
    const TCommChoice c = ParseCommSettings(settings);
    FBaudBox->setCurrentIndex(c.Baud);
    FParityBox->setCurrentIndex(c.Parity);
    FStopBitsBox->setCurrentIndex(c.StopBits);
    FDataBitsBox->setCurrentIndex(c.DataBits);
}

QString TfrmCommSettings::GetSettings() const
{
    TCommChoice c;
    c.Baud = FBaudBox->currentIndex();
    c.Parity = FParityBox->currentIndex();
    c.StopBits = FStopBitsBox->currentIndex();
    c.DataBits = FDataBitsBox->currentIndex();
    return BuildCommSettings(c);
}

void TfrmCommSettings::EnableInputs(bool enabled)
{
    for (QWidget *w : {static_cast<QWidget *>(FPortSpin), static_cast<QWidget *>(FBaudBox),
                       static_cast<QWidget *>(FParityBox), static_cast<QWidget *>(FStopBitsBox),
                       static_cast<QWidget *>(FDataBitsBox), static_cast<QWidget *>(FScanButton),
                       static_cast<QWidget *>(FOkButton), static_cast<QWidget *>(FCancelButton)})
        w->setEnabled(enabled);
}

void TfrmCommSettings::SetProgramFolder(const QString &folder)
{
    FProgramFolder = folder;
    ShowDevice();
}

void TfrmCommSettings::ShowDevice()
{
    // The device behind the number; a long program-folder path is shortened
    // in the middle, the tool tip holds it whole.
    const QString path = SerialDevicePath(FPortSpin->value(), FProgramFolder);
    FDeviceLabel->setText(FDeviceLabel->fontMetrics().elidedText(path, Qt::ElideMiddle, FDeviceLabel->width()));
    FDeviceLabel->setToolTip(path);
}

void TfrmCommSettings::SetClientHeight(int height) { setFixedHeight(height); }

void TfrmCommSettings::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrmCommSettings::FormShow()
{
    SetClientHeight(FOkButton->geometry().bottom() + 1 + 10); // the scan area hidden
    CancelScan = 0;
    g_current = this;
    ShowDevice();
    FCaptionTimer->start();
}

bool TfrmCommSettings::Scanning() const { return FScan && FScan->isRunning(); }

void TfrmCommSettings::WaitForScan()
{
    if (FScan)
        FScan->wait();
}

void TfrmCommSettings::btnScanClick()
{
    if (!FBox || Scanning())
        return;
    EnableInputs(false);
    FScanProgress->setValue(0);
    SetClientHeight(FCancelScanButton->geometry().bottom() + 1 + 8);
    FCancelScanButton->setEnabled(true);
    FCancelScanButton->setFocus();
    // The worker opens the port on its own thread: let go of it here first.
    if (FBox->Line())
        FBox->Line()->Close();
    delete FScan;
    FScan = new TPortScan(*FBox);
    connect(FScan, &TPortScan::Progress, this,
            [this](int port) { FScanProgress->setValue(qMin(port, FScanProgress->maximum())); });
    connect(FScan, &TPortScan::Trying, this, [this](int port) { FPortSpin->setValue(port); });
    connect(FScan, &TPortScan::Done, this, &TfrmCommSettings::ScanEnded);
    FScan->start();
}

void TfrmCommSettings::btnCancelScanClick()
{
    CancelScan = 1;
    if (FScan)
        FScan->Cancel();
}

void TfrmCommSettings::ScanEnded(bool found)
{
    WaitForScan();
    if (found) {
        done(QDialog::Accepted);
        return;
    }
    if (!CancelScan)
        MsgInfo(tr("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"), this);
    CancelScan = 0;
    EnableInputs(true);
    SetClientHeight(FCancelScanButton->geometry().top() - 2);
    FPortSpin->setValue(1);
}

void TfrmCommSettings::done(int result)
{
    // While the scan runs only "取消扫描" is usable: Esc and the close box wait.
    if (Scanning())
        return;
    FCaptionTimer->stop();
    if (g_current == this)
        g_current = nullptr;
    QDialog::done(result);
}

void TfrmCommSettings::closeEvent(QCloseEvent *event)
{
    if (Scanning()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace kv
