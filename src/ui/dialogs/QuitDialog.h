#pragma once
// TfrmQuit: the exit question of the main window.
#include <QDialog>

namespace kv {

class TfrmQuit : public QDialog {
    Q_OBJECT
public:
    explicit TfrmQuit(QWidget *parent = nullptr);

    // Shows the question modally; true when the operator chose "确定".
    static bool Ask(QWidget *parent);
};

} // namespace kv
