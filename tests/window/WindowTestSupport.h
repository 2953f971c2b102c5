#pragma once
// The main window with the run sequence on a scripted box, and a helper
// that answers the next modal dialog.
#include "../run/RunTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace windowtest {

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
