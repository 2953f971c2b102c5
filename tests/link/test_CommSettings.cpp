// The serial settings dialog: the settings string both ways, its sizes, and
// the port scan on scripted lines in virtual time.
#include "LinkTestSupport.h"

#include "link/BoxFrames.h"
#include "link/SerialPort.h"
#include "ui/dialogs/CommSettingsDialog.h"
#include "Clock.h"
#include "MessageService.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace linktest;
using kvtest::Child;

TEST(CommSettingsText, ParsedAndBuilt)
{
    kv::TCommChoice c = kv::ParseCommSettings(QStringLiteral("9600,E,7,2"));
    EXPECT_EQ(c, (kv::TCommChoice{1, 2, 2, 1}));
    EXPECT_EQ(kv::BuildCommSettings(c), QStringLiteral("9600,e,7,2"));
    EXPECT_EQ(kv::ParseCommSettings(QStringLiteral("115200,n,8,1")).Baud, 3); // the last entry, 38400
    EXPECT_EQ(kv::BuildCommSettings(kv::ParseCommSettings(QStringLiteral("115200,n,8,1"))),
              QStringLiteral("38400,n,8,1"));
    EXPECT_EQ(kv::BuildCommSettings(kv::ParseCommSettings(QStringLiteral("4800,o,8,1.5"))),
              QStringLiteral("4800,o,8,1.5"));
    EXPECT_EQ(kv::BuildCommSettings(kv::ParseCommSettings(QStringLiteral("19200,x,9,3"))),
              QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(kv::BuildCommSettings(kv::ParseCommSettings(QString())), QStringLiteral("38400,n,8,1"));
    EXPECT_EQ(kv::BuildCommSettings(kv::ParseCommSettings(QStringLiteral("9600"))), QStringLiteral("9600,n,8,1"));

    // The serial layer's own reading of the same strings.
    kv::TSerialSettings s;
    ASSERT_TRUE(kv::ParseSerialSettings(QStringLiteral("9600,E,7,2"), s));
    EXPECT_EQ(s.BaudRate, 9600);
    EXPECT_EQ(s.Parity, 'e');
    EXPECT_EQ(s.DataBits, 7);
    EXPECT_EQ(s.StopBits, QStringLiteral("2"));
    EXPECT_FALSE(kv::ParseSerialSettings(QStringLiteral("9600,n,8"), s));
    EXPECT_FALSE(kv::ParseSerialSettings(QStringLiteral("fast,n,8,1"), s));
}

TEST(CommSettingsText, PortNumbersAndDevices)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("ports"));
    QFile::link(QStringLiteral("/dev/null"), dir.path() + QStringLiteral("/ports/COM2"));
    EXPECT_EQ(kv::SerialDevicePath(2, dir.path()), dir.path() + QStringLiteral("/ports/COM2"));
    EXPECT_EQ(kv::SerialDevicePath(1, dir.path()), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(kv::SerialDevicePath(4, dir.path()), QStringLiteral("/dev/ttyS3"));
    EXPECT_EQ(kv::SerialDevicePath(5, dir.path()), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(kv::SerialDevicePath(12, dir.path()), QStringLiteral("/dev/ttyUSB7"));
    EXPECT_EQ(kv::SerialDevicePath(13, dir.path()), QStringLiteral("/dev/ttyACM0"));
    EXPECT_EQ(kv::SerialDevicePath(16, dir.path()), QStringLiteral("/dev/ttyACM3"));
    EXPECT_TRUE(kv::SerialDevicePath(0, dir.path()).isEmpty());
    EXPECT_TRUE(kv::SerialDevicePath(17, dir.path()).isEmpty());

    kv::TMSComm line(dir.path());
    EXPECT_FALSE(line.Open(17, QStringLiteral("9600,n,8,1")));
    EXPECT_FALSE(line.IsOpen());
    EXPECT_FALSE(line.Output(QByteArray("x")));
    EXPECT_EQ(line.InBufferCount(), 0);
}

namespace {

struct TDialogRig {
    kv::TVirtualClock Clock;
    kv::TClockGuard ClockGuard{&Clock};
    kv::TRecordingMessageService Messages;
    kv::TMessageGuard Guard{&Messages};
    std::shared_ptr<TLineState> Line = std::make_shared<TLineState>();
    std::unique_ptr<kv::TCtrlBox> Box = kv::CreateCtrlBox(0);
    TDialogRig()
    {
        auto s = Line;
        Box->SetSerialFactory([s] { return std::make_unique<TScriptedLine>(s); });
        Box->Init();
        Box->CommPort = 4;
        Box->Settings = QStringLiteral("4800,o,7,2");
    }
};

} // namespace

TEST(CommSettingsDialog, ShowsTheDriverValuesAndHidesTheScanArea)
{
    TDialogRig rig;
    kv::TfrmCommSettings dlg(rig.Box.get());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("串行参数设置"));
    dlg.show();
    EXPECT_EQ(kv::TfrmCommSettings::Current(), &dlg);
    EXPECT_EQ(dlg.GetPort(), 4);
    EXPECT_EQ(dlg.GetSettings(), QStringLiteral("4800,o,7,2"));
    QLabel *device = Child<QLabel>(dlg, "lblDevice");
    QSpinBox *port = Child<QSpinBox>(dlg, "seComm");
    EXPECT_EQ(Child<QComboBox>(dlg, "cbStop")->currentText(), QStringLiteral("2位"));
    EXPECT_EQ(dlg.height(), Child<QPushButton>(dlg, "btnOK")->geometry().bottom() + 1 + 10);
    EXPECT_EQ(device->toolTip(), kv::SerialDevicePath(4));
    port->setValue(6);
    EXPECT_EQ(device->toolTip(), kv::SerialDevicePath(6));
    EXPECT_EQ(device->text(), QStringLiteral("/dev/ttyUSB1"));
    EXPECT_EQ(port->maximum(), 16);
    EXPECT_EQ(port->minimum(), 1);
    dlg.EnableInputs(false);
    EXPECT_FALSE(Child<QComboBox>(dlg, "cbData")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(dlg, "btnCancel")->isEnabled());
    EXPECT_TRUE(Child<QPushButton>(dlg, "btnCancelScan")->isEnabled());
    dlg.EnableInputs(true);
    dlg.reject();
    EXPECT_EQ(kv::TfrmCommSettings::Current(), nullptr);
}

TEST(CommSettingsDialog, ScanOverAllPortsWithoutABox)
{
    TDialogRig rig;
    rig.Box->Online = 1; // left over from an earlier link: does not count
    kv::TfrmCommSettings dlg(rig.Box.get());
    QSignalSpy finished(&dlg, &QDialog::finished);
    dlg.open();
    QPushButton *scan = Child<QPushButton>(dlg, "btnScan");
    QPushButton *ok = Child<QPushButton>(dlg, "btnOK");
    QPushButton *cancelScan = Child<QPushButton>(dlg, "btnCancelScan");
    scan->click();
    EXPECT_EQ(dlg.height(), cancelScan->geometry().bottom() + 1 + 8);
    EXPECT_FALSE(scan->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg.Scanning() && ok->isEnabled(); }, 60000));
    QTest::qWait(20);
    EXPECT_TRUE(finished.isEmpty());
    ASSERT_EQ(rig.Messages.messages().size(), 1);
    EXPECT_EQ(rig.Messages.lastText(), QStringLiteral("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"));
    EXPECT_EQ(rig.Messages.messages().first().icon, kv::TMsgIcon::Information);
    EXPECT_EQ(rig.Line->OpenCount, 16);
    EXPECT_EQ(rig.Line->Port, 16);
    EXPECT_EQ(dlg.GetPort(), 1);
    EXPECT_EQ(Child<QProgressBar>(dlg, "pbScan")->value(), 15);
    EXPECT_EQ(dlg.height(), cancelScan->geometry().top() - 2);
    EXPECT_FALSE(rig.Box->IsOnline());
    // Each port: streaming started, then five polls of a silent line, the
    // fifth miss restarting streaming once more.
    EXPECT_EQ(rig.Line->Bytes().count(0xF6), 32);
    dlg.reject();
}

TEST(CommSettingsDialog, ScanStopsAtTheFirstPortThatAnswers)
{
    TDialogRig rig;
    rig.Line->OnCount = [](TLineState &s) {
        if (s.IsOpen && s.Port == 3 && s.Rx.isEmpty())
            s.Rx = kv::box::Encode7(100, 0, 0);
    };
    kv::TfrmCommSettings dlg(rig.Box.get());
    QSignalSpy finished(&dlg, &QDialog::finished);
    dlg.open();
    Child<QPushButton>(dlg, "btnScan")->click();
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(finished.first().first().toInt(), int(QDialog::Accepted));
    EXPECT_EQ(dlg.GetPort(), 3);
    EXPECT_EQ(rig.Box->CommPort, 3);
    EXPECT_FALSE(rig.Line->IsOpen); // the scan let go of the port
    EXPECT_TRUE(rig.Messages.messages().isEmpty());
}
