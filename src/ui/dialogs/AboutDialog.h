#pragma once
// TfrmExplain: the about window of the main program.
#include <QDialog>

namespace kv {

class TfrmExplain : public QDialog {
    Q_OBJECT
public:
    explicit TfrmExplain(QWidget *parent = nullptr);
    static void Show(QWidget *parent);
};

} // namespace kv
