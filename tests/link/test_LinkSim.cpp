// The driver against the simulated box over a pseudo-terminal, in real time:
// first contact with each model, what the frames carry, parameter words, the
// port scan, and a box that goes silent or is unplugged and comes back.
#include "SimProcess.h"

#include "link/SerialPort.h"
#include "ui/dialogs/CommSettingsDialog.h"
#include "link/CtrlBox.h"
#include "Clock.h"
#include "MessageService.h"
#include "TestSupport.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>
#include <mutex>

using namespace linktest;
using kv::TCtrlBox;
using kvtest::Child;

namespace {

const char *const kModels[] = {"KVD300", "KVD510", "KVD520", "KVD300_DJ", "KVD510_DJ", "KVD520_DJ"};

std::unique_ptr<TCtrlBox> BoxOn(const TPortFolder &folder, int type)
{
    auto box = kv::CreateCtrlBox(type);
    const QString dir = folder.Path();
    box->SetSerialFactory([dir] { return std::make_unique<kv::TMSComm>(dir); });
    return box;
}

// Polls until the condition holds, at most n times.
template <class F> bool PollUntil(TCtrlBox &box, int n, F cond)
{
    for (int i = 0; i < n; ++i) {
        box.ReadForceCode();
        if (cond())
            return true;
    }
    return false;
}

} // namespace

TEST(LinkSim, FirstContactWithEachModel)
{
    const int maxLoadOnWire[] = {2000, 300, 10000, 2000, 300, 10000};
    for (int type = 0; type < 6; ++type) {
        SCOPED_TRACE(kModels[type]);
        TPortFolder folder;
        TSim sim(folder, QLatin1String(kModels[type]), 1, {QStringLiteral("--noise"), QStringLiteral("0")});
        ASSERT_TRUE(sim.WaitReady());

        auto driver = BoxOn(folder, type);
        TCtrlBox &box = *driver;
        // The main window's first contact.
        driver->Init();
        driver->OpenPort();
        for (int i = 0; i < 2; ++i) {
            driver->SetControlMode(3);
            kv::Sleep(100);
        }
        driver->SetADState(0);
        kv::Sleep(100);
        for (int i = 0; i < 12; ++i)
            driver->ReadForceCode();
        ASSERT_TRUE(driver->IsOnline());
        driver->Activate();
        for (int i = 0; i < 2; ++i) {
            driver->SetControlMode(3);
            kv::Sleep(100);
        }
        driver->Command(0);
        driver->SetADState(2);

        // Parameter words with streaming off: the factory maximum force, a
        // write read back (the unload delay), a two-word calibration code.
        const int offset = box.Model().Family.ParamOffset;
        int v = -1;
        ASSERT_TRUE(box.ReadParamRaw(36 + offset, v));
        EXPECT_EQ(v, maxLoadOnWire[type]);
        ASSERT_TRUE(box.WriteParamRaw(60 + offset, 7));
        ASSERT_TRUE(box.ReadParamRaw(60 + offset, v));
        EXPECT_EQ(v, 7);
        ASSERT_TRUE(box.WriteParam32(4, 100000));
        EXPECT_EQ(box.ReadParam32(4), 100000);
        quint16 high = 0;
        ASSERT_TRUE(box.ReadParamAt(13 + offset, high)); // high word at 13 / 113
        EXPECT_EQ(high, 1);
        driver->SetADState(0);

        // Frames carry exactly what the box was told to send.
        ASSERT_TRUE(sim.Ok(QStringLiteral("pattern 1234 -567 890 5")));
        const bool single = type == 0;
        const bool flexural = type == 2 || type == 5;
        const int force = flexural ? -567 : 1234;
        EXPECT_TRUE(PollUntil(box, 50, [&] { return box.ForceCode == force && box.GetAuxCode() == 890; }))
            << box.ForceCode << " " << box.GetAuxCode();
        EXPECT_EQ(box.GetStatus(), 5);
        if (!single) {
            EXPECT_EQ(box.SecondCode, flexural ? 1234 : -567);
        }

        // Closing: streaming off, host leaving, port closed.
        driver->SetADState(2);
        driver->SetControlMode(4);
        driver->Finish();
        EXPECT_EQ(box.Line(), nullptr);
    }
}

TEST(LinkSim, LateAndBrokenFramesOnTheLine)
{
    TPortFolder folder;
    TSim sim(folder, QStringLiteral("KVD510"), 1, {QStringLiteral("--noise"), QStringLiteral("0")});
    ASSERT_TRUE(sim.WaitReady());
    auto box = BoxOn(folder, 1);
    box->Init();
    ASSERT_TRUE(box->OpenPort());
    box->SetADState(0);
    ASSERT_TRUE(PollUntil(*box, 50, [&] { return box->IsOnline(); }));
    ASSERT_TRUE(sim.Ok(QStringLiteral("pattern 2222 0 0 0")));
    ASSERT_TRUE(PollUntil(*box, 50, [&] { return box->ForceCode == 2222; }));
    for (const char *fault : {"stray 3", "garbage 17", "drop 5", "stray 11"}) {
        SCOPED_TRACE(fault);
        ASSERT_TRUE(sim.Ok(QLatin1String(fault)));
        for (int i = 0; i < 20; ++i) {
            box->ReadForceCode();
            ASSERT_EQ(box->ForceCode, 2222); // never a wrong value
        }
        EXPECT_TRUE(box->IsOnline());
        EXPECT_EQ(box->MissCount, 0);
    }
    box->Finish();
}

TEST(LinkSim, BoxSwitchedOffAndOnAgain)
{
    TPortFolder folder;
    TSim sim(folder, QStringLiteral("KVD300"), 1);
    ASSERT_TRUE(sim.WaitReady());
    auto box = BoxOn(folder, 0);
    box->Init();
    ASSERT_TRUE(box->OpenPort());
    box->SetADState(0);
    ASSERT_TRUE(PollUntil(*box, 50, [&] { return box->IsOnline(); }));

    // Silent for a while: 30 missed polls take the link down, the frames
    // that come back bring it up.
    ASSERT_TRUE(sim.Ok(QStringLiteral("silence 9")));
    ASSERT_TRUE(PollUntil(*box, 80, [&] { return !box->IsOnline(); }));
    EXPECT_EQ(box->MissCount, 30);
    EXPECT_TRUE(PollUntil(*box, 200, [&] { return box->IsOnline(); }));

    // Cable pulled: nothing arrives; plugged in again, the port is reopened.
    ASSERT_TRUE(sim.Ok(QStringLiteral("unplug")));
    ASSERT_TRUE(PollUntil(*box, 80, [&] { return !box->IsOnline(); }));
    ASSERT_TRUE(sim.Ok(QStringLiteral("plug")));
    ASSERT_TRUE(sim.WaitReady());
    ASSERT_TRUE(box->OpenPort());
    box->SetADState(0);
    EXPECT_TRUE(PollUntil(*box, 50, [&] { return box->IsOnline(); }));
    box->Finish();
}

namespace {

// A real line that records the ports opened and can act on an open.
class TWatchedLine : public kv::TMSComm {
public:
    TWatchedLine(const QString &dir, std::function<void(int)> onOpen) : TMSComm(dir), FOnOpen(std::move(onOpen)) {}
    bool Open(int port, const QString &settings) override
    {
        FOnOpen(port);
        return TMSComm::Open(port, settings);
    }

private:
    std::function<void(int)> FOnOpen;
};

struct TScanRig {
    TPortFolder Folder;
    kv::TRecordingMessageService Messages;
    kv::TMessageGuard Guard{&Messages};
    std::mutex Lock;
    QList<int> Opened;
    std::unique_ptr<TCtrlBox> Box;
    std::function<void(int)> OnOpen = [](int) {};

    TScanRig()
    {
        Box = kv::CreateCtrlBox(1);
        const QString dir = Folder.Path();
        Box->SetSerialFactory([this, dir] {
            return std::make_unique<TWatchedLine>(dir, [this](int port) {
                {
                    std::lock_guard<std::mutex> g(Lock);
                    Opened.append(port);
                }
                OnOpen(port);
            });
        });
        Box->Init();
    }
    QList<int> Ports()
    {
        std::lock_guard<std::mutex> g(Lock);
        return Opened;
    }
};

} // namespace

TEST(LinkSim, ScanFindsTheBoxOnPort3)
{
    TScanRig rig;
    TSim sim(rig.Folder, QStringLiteral("KVD510"), 3);
    ASSERT_TRUE(sim.WaitReady());

    kv::TfrmCommSettings dlg(rig.Box.get());
    dlg.SetProgramFolder(rig.Folder.Path());
    QSignalSpy finished(&dlg, &QDialog::finished);
    dlg.open();
    Child<QPushButton>(dlg, "btnScan")->click();
    EXPECT_FALSE(Child<QPushButton>(dlg, "btnOK")->isEnabled());
    ASSERT_TRUE(finished.wait(120000));
    EXPECT_EQ(finished.first().first().toInt(), int(QDialog::Accepted));
    EXPECT_EQ(dlg.GetPort(), 3);
    EXPECT_EQ(rig.Ports(), (QList<int>{1, 2, 3}));
    EXPECT_TRUE(rig.Messages.messages().isEmpty());

    // The caller takes the port and opens it on its own thread.
    rig.Box->CommPort = dlg.GetPort();
    ASSERT_TRUE(rig.Box->OpenPort());
    rig.Box->Online = 0;
    rig.Box->SetADState(0);
    EXPECT_TRUE(PollUntil(*rig.Box, 50, [&] { return rig.Box->IsOnline(); }));
    rig.Box->Finish();
}

TEST(LinkSim, ScanCancelledDuringPort5)
{
    TScanRig rig;
    TSim sim(rig.Folder, QStringLiteral("KVD510"), 7); // would be found on port 7
    ASSERT_TRUE(sim.WaitReady());

    kv::TfrmCommSettings dlg(rig.Box.get());
    dlg.SetProgramFolder(rig.Folder.Path());
    // The operator presses "取消扫描" while port 5 is being tried.
    QPushButton *cancelScan = Child<QPushButton>(dlg, "btnCancelScan");
    QPushButton *ok = Child<QPushButton>(dlg, "btnOK");
    rig.OnOpen = [cancelScan](int port) {
        if (port == 5)
            QMetaObject::invokeMethod(cancelScan, &QPushButton::click, Qt::BlockingQueuedConnection);
    };
    QSignalSpy finished(&dlg, &QDialog::finished);
    dlg.open();
    Child<QPushButton>(dlg, "btnScan")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg.Scanning() && ok->isEnabled(); }, 120000));
    QTest::qWait(50);
    EXPECT_EQ(rig.Ports(), (QList<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(dlg.GetPort(), 1);
    EXPECT_TRUE(finished.isEmpty()); // the dialog stays open
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(rig.Messages.messages().isEmpty());
    EXPECT_EQ(kv::TfrmCommSettings::CancelScan.load(), 0);
    dlg.reject();
}

TEST(LinkSim, PortObjectStaysWithTheThreadThatOpenedIt)
{
    TPortFolder folder;
    TSim sim(folder, QStringLiteral("KVD510"), 1);
    ASSERT_TRUE(sim.WaitReady());
    kv::TMSComm line(folder.Path());

    // Opened on a worker: this thread is refused, the worker reads frames.
    bool workerSaw = false;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        if (!line.Open(1, QStringLiteral("19200,n,8,1")))
            return;
        line.Output(QByteArray(1, char(0xF6)));
        for (int i = 0; i < 100 && line.InBufferCount() < 12; ++i)
            QThread::msleep(20);
        workerSaw = line.InBufferCount() >= 12;
    }));
    worker->start();
    ASSERT_TRUE(worker->wait(30000));
    EXPECT_TRUE(workerSaw);
    EXPECT_FALSE(line.IsOpen()); // not this thread's port object
    EXPECT_FALSE(line.Output(QByteArray(1, char(0xF8))));
    EXPECT_EQ(line.InBufferCount(), 0);

    // The worker has ended: opening here takes the port over.
    ASSERT_TRUE(line.Open(1, QStringLiteral("19200,n,8,1")));
    EXPECT_TRUE(line.IsOpen());
    line.DiscardInput();
    for (int i = 0; i < 100 && line.InBufferCount() < 12; ++i)
        QThread::msleep(20);
    EXPECT_GE(line.InBufferCount(), 12);
    EXPECT_TRUE(line.Output(QByteArray(1, char(0xF8))));
    line.Close();
    EXPECT_FALSE(line.IsOpen());
}
