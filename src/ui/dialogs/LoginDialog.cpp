#include "ui/dialogs/LoginDialog.h"

#include "store/DataModule.h"
#include "ui/dialogs/UserDialogLook.h"
#include "MessageService.h"

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

    edtName = new QComboBox(this);
    edtName->setObjectName(QStringLiteral("edtName"));
    edtName->setEditable(true);
    edtName->setInsertPolicy(QComboBox::NoInsert);
    edtName->lineEdit()->setMaxLength(MaxNameLength);
    edtName->setToolTip(tr("请选择用户名"));

    edtSrc = MakePasswordBox(this, QStringLiteral("edtSrc"), MaxPasswordLength);
    edtSrc->setToolTip(tr("在此输入该用户名对应的密码"));

    edtTime = new QLineEdit(this);
    edtTime->setObjectName(QStringLiteral("edtTime"));
    edtTime->setReadOnly(true);
    edtTime->setFocusPolicy(Qt::NoFocus);
    edtTime->setText(DateTimeText(QDateTime::currentDateTime()));

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(10);
    form->addRow(tr("用户名："), edtName);
    form->addRow(tr("密  码："), edtSrc);
    form->addRow(tr("当前时间："), edtTime);

    btnOk = new QPushButton(tr("登录"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOut = new QPushButton(tr("取消"), this);
    btnOut->setObjectName(QStringLiteral("btnOut"));
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &TfrmLogin::btnOkClick);
    connect(btnOut, &QPushButton::clicked, this, &TfrmLogin::btnOutClick);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->setSpacing(12);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(btnOk, btnOut));
    setMinimumWidth(380);

    timerNow = new QTimer(this);
    timerNow->setObjectName(QStringLiteral("timerNow"));
    timerNow->setInterval(kClockMs);
    connect(timerNow, &QTimer::timeout, this, &TfrmLogin::timerNowTimer);

    // Enter anywhere in the dialog presses the login button.
    for (QWidget *w : std::initializer_list<QWidget *>{edtName, edtName->lineEdit(), edtSrc, edtTime, btnOk, btnOut})
        w->installEventFilter(this);

    // On creation: the last user goes into the name box.
    edtName->setEditText(FLogic.LastUser());
}

TfrmLogin::~TfrmLogin() = default;

QString TfrmLogin::UserName() const { return edtName->currentText(); }

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
    timerNow->start();
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TfrmLogin::hideEvent(QHideEvent *event)
{
    timerNow->stop();
    QDialog::hideEvent(event);
}

void TfrmLogin::FormShow()
{
    const QString typed = edtName->currentText();
    edtName->clear();
    edtName->addItems(FLogic.UserList());
    edtName->setEditText(typed);
    edtSrc->setFocus();
}

bool TfrmLogin::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            btnOk->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmLogin::btnOkClick()
{
    const TLoginCheck check = FLogic.Check(edtName->currentText(), edtSrc->text());
    if (check.Accepted) {
        FLoginOk = true;
        accept();
        return;
    }
    if (!check.Message.isEmpty())
        ShowMessage(check.Message, TMsgIcon::Warning, TMsgButtons::Ok, QString(), this);
    if (check.ClearName)
        edtName->setEditText(QString());
    if (check.ClearPassword)
        edtSrc->clear();
    if (check.ClearName)
        edtName->setFocus();
    else
        edtSrc->setFocus();
}

void TfrmLogin::btnOutClick()
{
    FLoginOk = false;
    reject();
}

void TfrmLogin::timerNowTimer() { edtTime->setText(DateTimeText(QDateTime::currentDateTime())); }

} // namespace kv
