#pragma once
// Helpers shared by the source files of the main window.
#include "Rounding.h"

#include <QAction>
#include <QLabel>
#include <QWidget>

namespace kv::mw {

// Property of a numeric display holding its value (reformatted when the
// digits change) and of a digit menu item naming its display group.
inline const char *const kDisplayValue = "kvValue";
inline const char *const kDigitHint = "kvDigitHint";

inline void SetEnabledOf(QObject *command, bool enabled)
{
    if (auto *w = qobject_cast<QWidget *>(command))
        w->setEnabled(enabled);
    else if (auto *a = qobject_cast<QAction *>(command))
        a->setEnabled(enabled);
}

inline void ShowDisplay(QLabel *display, double value, const QString &format)
{
    display->setProperty(kDisplayValue, value);
    display->setText(FormatValue(value, format));
}

} // namespace kv::mw
