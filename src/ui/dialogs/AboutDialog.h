#pragma once
// TfrmExplain: the about window of the main program, with the files of the
// module folder: the tests each loaded one offers, or why it was left out.
#include "host/TestList.h"

#include <QDialog>
#include <vector>

namespace kv {

class TfrmExplain : public QDialog {
    Q_OBJECT
public:
    explicit TfrmExplain(QWidget *parent = nullptr, const std::vector<TModuleLoad> &modules = {});
    static void Show(QWidget *parent, const std::vector<TModuleLoad> &modules = {});
};

} // namespace kv
