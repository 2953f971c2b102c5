#include "ui/dialogs/LoginDialog.h"

#include "store/DataModule.h"
#include "ui/dialogs/UserDialogLook.h"
#include "MessageService.h"
#include "ui/WholeCharacters.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kv {

namespace {

constexpr int kClockMs = 1000;


} // namespace

TfrmLogin::TfrmLogin(TZovData &data, QWidget *parent) : QDialog(parent), FLogic(data)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(tr("用户登录"));
    setModal(true);

    FUserBox = new QComboBox(this);
    FUserBox->setObjectName(QStringLiteral("edtName"));
    FUserBox->setEditable(true);
    FUserBox->setInsertPolicy(QComboBox::NoInsert);
    FUserBox->lineEdit()->setMaxLength(MaxNameLength);
    KeepWholeCharacters(FUserBox->lineEdit());
    FUserBox->setToolTip(tr("请选择用户名"));

    FPasswordEdit = MakePasswordBox(this, QStringLiteral("edtSrc"), MaxPasswordLength);
    FPasswordEdit->setToolTip(tr("在此输入该用户名对应的密码"));

    FClockEdit = new QLineEdit(this);
    FClockEdit->setObjectName(QStringLiteral("edtTime"));
    FClockEdit->setReadOnly(true);
    FClockEdit->setFocusPolicy(Qt::NoFocus);
    FClockEdit->setText(DateTimeText(QDateTime::currentDateTime()));

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(10);
    form->addRow(tr("用户名："), FUserBox);
    form->addRow(tr("密  码："), FPasswordEdit);
    form->addRow(tr("当前时间："), FClockEdit);

    FWaitLabel = new QLabel(this);
    FWaitLabel->setObjectName(QStringLiteral("lblWait"));
    FWaitLabel->setStyleSheet(QStringLiteral("color: #c00000;"));
    FWaitLabel->setAlignment(Qt::AlignCenter);
    FWaitLabel->hide();

    FLoginButton = new QPushButton(tr("登录"), this);
    FLoginButton->setObjectName(QStringLiteral("btnOk"));
    FCancelButton = new QPushButton(tr("取消"), this);
    FCancelButton->setObjectName(QStringLiteral("btnOut"));
    FLoginButton->setDefault(true);
    connect(FLoginButton, &QPushButton::clicked, this, &TfrmLogin::btnOkClick);
    connect(FCancelButton, &QPushButton::clicked, this, &TfrmLogin::btnOutClick);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->setSpacing(12);
    layout->addLayout(form);
    layout->addWidget(FWaitLabel);
    layout->addLayout(ButtonRow(FLoginButton, FCancelButton));
    setMinimumWidth(380);

    FClockTimer = new QTimer(this);
    FClockTimer->setObjectName(QStringLiteral("timerNow"));
    FClockTimer->setInterval(kClockMs);
    connect(FClockTimer, &QTimer::timeout, this, &TfrmLogin::timerNowTimer);

    // Enter anywhere in the dialog presses the login button.
    for (QWidget *w : std::initializer_list<QWidget *>{FUserBox, FUserBox->lineEdit(), FPasswordEdit, FClockEdit,
                                                       FLoginButton, FCancelButton})
        w->installEventFilter(this);

    // On creation: the last user goes into the name box.
    FUserBox->setEditText(FLogic.LastUser());
}

TfrmLogin::~TfrmLogin() = default;

QString TfrmLogin::UserName() const { return FUserBox->currentText().trimmed(); }

QString TfrmLogin::DateTimeText(const QDateTime &moment)
{
    const QLocale locale = QLocale::system();
    return locale.toString(moment.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + moment.time().toString(QStringLiteral("HH:mm:ss"));
}

void TfrmLogin::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    timerNowTimer();
    FClockTimer->start();
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TfrmLogin::hideEvent(QHideEvent *event)
{
    FClockTimer->stop();
    QDialog::hideEvent(event);
}

void TfrmLogin::FormShow()
{
    const QString typed = FUserBox->currentText();
    FUserBox->clear();
    FUserBox->addItems(FLogic.UserList());
    FUserBox->setEditText(typed);
    FPasswordEdit->setFocus();
}

bool TfrmLogin::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            FLoginButton->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmLogin::btnOkClick()
{
    const TLoginCheck check = FLogic.Check(FUserBox->currentText(), FPasswordEdit->text());
    if (check.Accepted) {
        FLoginOk = true;
        accept();
        return;
    }
    ShowWait();
    if (!check.Message.isEmpty())
        ShowMessage(check.Message, TMsgIcon::Warning, TMsgButtons::Ok, QString(), this);
    if (check.ClearName)
        FUserBox->setEditText(QString());
    if (check.ClearPassword)
        FPasswordEdit->clear();
    if (check.ClearName)
        FUserBox->setFocus();
    else
        FPasswordEdit->setFocus();
}

void TfrmLogin::btnOutClick()
{
    FLoginOk = false;
    reject();
}

void TfrmLogin::timerNowTimer()
{
    FClockEdit->setText(DateTimeText(QDateTime::currentDateTime()));
    ShowWait();
}

void TfrmLogin::ShowWait()
{
    const int wait = FLogic.WaitSeconds();
    if (wait > 0)
        FWaitLabel->setText(TLoginLogic::WaitText(wait));
    FWaitLabel->setVisible(wait > 0);
}

} // namespace kv
