#pragma once
// TfrmLogin: the login window, modal before the main window becomes usable
// and again at every log-off. After it closes the owner reads LoginOk and
// the name box.
#include "store/UserAdmin.h"

#include <QDateTime>
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace kv {

class TZovData;

class TfrmLogin : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLogin(TZovData &data, QWidget *parent = nullptr);
    ~TfrmLogin() override;

    bool LoginOk() const { return FLoginOk; }
    // The text of the name box without surrounding blanks (the accepted
    // user after a login).
    QString UserName() const;

    // The clock box's text: the system's short date and the time with seconds.
    static QString DateTimeText(const QDateTime &moment);
    // One tick of the clock: the current date and time into edtTime, and
    // the wait after wrong passwords into lblWait.
    void timerNowTimer();

    static constexpr int MaxNameLength = 10;
    static constexpr int MaxPasswordLength = 15;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void btnOkClick();
    void btnOutClick();
    void ShowWait();

    // The widgets; the form name each keeps as objectName after it.
    QComboBox *FUserBox = nullptr;       // edtName
    QLineEdit *FPasswordEdit = nullptr;  // edtSrc
    QLineEdit *FClockEdit = nullptr;     // edtTime
    QLabel *FWaitLabel = nullptr;        // lblWait: shown while wrong passwords make it wait
    QTimer *FClockTimer = nullptr;       // timerNow
    QPushButton *FLoginButton = nullptr; // btnOk "登录"
    QPushButton *FCancelButton = nullptr; // btnOut "取消"

    TLoginLogic FLogic;
    bool FLoginOk = false;
    bool FShown = false;
};

} // namespace kv
