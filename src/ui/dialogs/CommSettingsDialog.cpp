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
    seComm = new QSpinBox(this);
    seComm->setObjectName(QStringLiteral("seComm"));
    seComm->setRange(1, 16);
    seComm->setValue(1);
    seComm->setGeometry(editX, y, editW, rowH);
    lblDevice = new QLabel(this);
    lblDevice->setObjectName(QStringLiteral("lblDevice"));
    lblDevice->setGeometry(editX + editW + 10, y, 220, rowH);
    y += gap;
    label(tr("波特率："), y);
    cbBaud = new QComboBox(this);
    cbBaud->setObjectName(QStringLiteral("cbBaud"));
    for (const char *b : kBauds)
        cbBaud->addItem(QLatin1String(b));
    cbBaud->setCurrentIndex(1);
    cbBaud->setGeometry(editX, y, editW, rowH);
    y += gap;
    label(tr("奇偶校验："), y);
    cbParity = new QComboBox(this);
    cbParity->setObjectName(QStringLiteral("cbParity"));
    cbParity->addItems({tr("无校验"), tr("奇校验"), tr("偶校验")});
    cbParity->setGeometry(editX, y, editW, rowH);
    y += gap;
    label(tr("停止位："), y);
    cbStop = new QComboBox(this);
    cbStop->setObjectName(QStringLiteral("cbStop"));
    cbStop->addItems({tr("1位"), tr("1.5位"), tr("2位")});
    cbStop->setGeometry(editX, y, editW, rowH);
    y += gap;
    label(tr("数据长度："), y);
    cbData = new QComboBox(this);
    cbData->setObjectName(QStringLiteral("cbData"));
    cbData->addItems({tr("8位"), tr("7位")});
    cbData->setGeometry(editX, y, editW, rowH);
    (void)labelX;

    y += gap + 12;
    btnScan = new QPushButton(tr("扫描"), this);
    btnScan->setObjectName(QStringLiteral("btnScan"));
    btnScan->setGeometry(20, y, 100, 28);
    btnOK = new QPushButton(tr("确定"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(150, y, 100, 28);
    btnOK->setDefault(true);
    btnCancel = new QPushButton(tr("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(270, y, 100, 28);

    y += 28 + 20;
    pbScan = new QProgressBar(this);
    pbScan->setObjectName(QStringLiteral("pbScan"));
    pbScan->setRange(0, 15);
    pbScan->setValue(0);
    pbScan->setGeometry(20, y, 350, 20);
    y += 20 + 12;
    btnCancelScan = new QPushButton(tr("取消扫描"), this);
    btnCancelScan->setObjectName(QStringLiteral("btnCancelScan"));
    btnCancelScan->setGeometry(145, y, 100, 28);

    setFixedWidth(480);
    SetClientHeight(btnCancelScan->geometry().bottom() + 1 + 8);

    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnScan, &QPushButton::clicked, this, &TfrmCommSettings::btnScanClick);
    connect(btnCancelScan, &QPushButton::clicked, this, &TfrmCommSettings::btnCancelScanClick);
    connect(seComm, qOverload<int>(&QSpinBox::valueChanged), this, [this] { ShowDevice(); });

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

void TfrmCommSettings::SetPort(int port) { seComm->setValue(port); }

int TfrmCommSettings::GetPort() const { return seComm->value(); }

void TfrmCommSettings::SetSettings(const QString &settings)
{
    const TCommChoice c = ParseCommSettings(settings);
    cbBaud->setCurrentIndex(c.Baud);
    cbParity->setCurrentIndex(c.Parity);
    cbStop->setCurrentIndex(c.StopBits);
    cbData->setCurrentIndex(c.DataBits);
}

QString TfrmCommSettings::GetSettings() const
{
    TCommChoice c;
    c.Baud = cbBaud->currentIndex();
    c.Parity = cbParity->currentIndex();
    c.StopBits = cbStop->currentIndex();
    c.DataBits = cbData->currentIndex();
    return BuildCommSettings(c);
}

void TfrmCommSettings::EnableInputs(bool enabled)
{
    for (QWidget *w : {static_cast<QWidget *>(seComm), static_cast<QWidget *>(cbBaud),
                       static_cast<QWidget *>(cbParity), static_cast<QWidget *>(cbStop),
                       static_cast<QWidget *>(cbData), static_cast<QWidget *>(btnScan),
                       static_cast<QWidget *>(btnOK), static_cast<QWidget *>(btnCancel)})
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
    const QString path = SerialDevicePath(seComm->value(), FProgramFolder);
    lblDevice->setText(lblDevice->fontMetrics().elidedText(path, Qt::ElideMiddle, lblDevice->width()));
    lblDevice->setToolTip(path);
}

void TfrmCommSettings::SetClientHeight(int height) { setFixedHeight(height); }

void TfrmCommSettings::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrmCommSettings::FormShow()
{
    SetClientHeight(btnOK->geometry().bottom() + 1 + 10); // the scan area hidden
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
    pbScan->setValue(0);
    SetClientHeight(btnCancelScan->geometry().bottom() + 1 + 8);
    btnCancelScan->setEnabled(true);
    btnCancelScan->setFocus();
    // The worker opens the port on its own thread: let go of it here first.
    if (FBox->Line())
        FBox->Line()->Close();
    delete FScan;
    FScan = new TPortScan(*FBox);
    connect(FScan, &TPortScan::Progress, this, [this](int port) { pbScan->setValue(qMin(port, pbScan->maximum())); });
    connect(FScan, &TPortScan::Trying, this, [this](int port) { seComm->setValue(port); });
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
    SetClientHeight(btnCancelScan->geometry().top() - 2);
    seComm->setValue(1);
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
