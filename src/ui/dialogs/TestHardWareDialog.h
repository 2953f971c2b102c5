#pragma once
// TfrmTestHardWare ("测试硬件采样模块"): the raw force code of the box every
// 80 ms, as absolute codes (at first) or relative codes that 清零 zeroes.
// Opening it makes the box stream absolute codes; closing it stops the
// streaming (the main window starts it again).
#include <QDialog>
#include <memory>

class QLineEdit;
class QPushButton;

namespace kv {

class TCtrlBox;
class TPeriodicTimer;

class TfrmTestHardWare : public QDialog {
    Q_OBJECT
public:
    static constexpr int PeriodMs = 80;

    explicit TfrmTestHardWare(TCtrlBox &box, QWidget *parent = nullptr);
    ~TfrmTestHardWare() override;

    // The box streams absolute codes (the mode button offers relative ones).
    bool AbsoluteMode() const { return FAbsolute; }
    bool TimerActive() const;
    // One tick of the timer: the newest code into the edit.
    void TimerTick();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void btnModeClick();
    void btnZeroClick();

    TCtrlBox &FBox;
    bool FAbsolute = true;
    bool FStreaming = false;
    std::unique_ptr<TPeriodicTimer> FTimer; // timCode
    QLineEdit *FCodeEdit = nullptr;         // edtCode
    QPushButton *FModeButton = nullptr;     // btnMode
    QPushButton *FZeroButton = nullptr;     // btnZero
    QPushButton *FExitButton = nullptr;     // btnExit
};

} // namespace kv
