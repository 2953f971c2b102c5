#pragma once
// The main window with its run on a scripted box and a probe test, in
// virtual time, and a helper that answers the next modal dialog.
#include "../core/CoreTestSupport.h"
#include "../run/RunTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace windowtest {

struct TWindowRunRig : coretest::TWindowRig {
    runtest::TScriptedBox *Box = nullptr;
    runtest::TProbeTest *Probe = nullptr;
    std::unique_ptr<kv::TfrmMeasure> W;
    kv::TRunSequence *Run = nullptr;

    TWindowRunRig()
    {
        Steps.CreateDriver = [this](int) -> std::unique_ptr<kv::TCtrlBox> {
            auto box = std::make_unique<runtest::TScriptedBox>(Clock);
            Box = box.get();
            return box;
        };
    }

    void Open()
    {
        W = Create();
        W->show();
        Run = &W->Run();
        auto probe = std::make_unique<runtest::TProbeTest>();
        Probe = probe.get();
        W->MyFunction()->AddTest(QStringLiteral("Probe"), std::move(probe));
        W->MyFunction()->SetCurrentIndex(W->MyFunction()->TestCount() - 1);
        W->EnableAllButton();
        Messages.clear();
        Box->Calls.clear();
    }

    int RunToEnd(qint64 maxMs = 600000) { return runtest::RunToEnd(Clock, *Run, maxMs); }
    void Ticks(int n) { runtest::StatusTicks(Clock, n); }
};

// Runs answer on the next modal dialog once it is open (then the caller's
// exec returns when answer closes it).
inline void OnNextDialog(std::function<void(QDialog &)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!d) {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *dlg = qobject_cast<QDialog *>(w); dlg && dlg->isVisible())
                    d = dlg;
        }
        ASSERT_NE(d, nullptr);
        answer(*d);
    });
}

} // namespace windowtest
