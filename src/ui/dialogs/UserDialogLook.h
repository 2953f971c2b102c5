#pragma once
// Shared look of the user dialogs: password boxes showing "*", and the
// row of OK / cancel buttons.
#include <QString>

class QBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace kv {

// A line edit named name that echoes "*".
QLineEdit *MakePasswordBox(QWidget *parent, const QString &name, int maxLength);
// OK and cancel buttons centred in a row.
QBoxLayout *ButtonRow(QPushButton *ok, QPushButton *cancel);

} // namespace kv
