#include "ui/dialogs/DbSettingsDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kv {

TfrmDbSettings::TfrmDbSettings(const TDbChoice &choice, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDbSettings"));
    setWindowTitle(tr("数据库设置"));
    auto *layout = new QVBoxLayout(this);
    rbSqlite = new QRadioButton(tr("本机数据库文件 (SQLite)"), this);
    rbSqlite->setObjectName(QStringLiteral("rbSqlite"));
    rbServer = new QRadioButton(tr("数据库服务器 (PostgreSQL)"), this);
    rbServer->setObjectName(QStringLiteral("rbServer"));
    layout->addWidget(rbSqlite);
    layout->addWidget(rbServer);

    auto *form = new QFormLayout;
    auto edit = [this](const char *name, const QString &text) {
        auto *e = new QLineEdit(text, this);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    edtHost = edit("edtHost", choice.Params.Host);
    edtHost->setPlaceholderText(tr("空: 本机"));
    sePort = new QSpinBox(this);
    sePort->setObjectName(QStringLiteral("sePort"));
    sePort->setRange(1, 65535);
    sePort->setValue(choice.Params.Port);
    edtDatabase = edit("edtDatabase", choice.Params.Database);
    edtUser = edit("edtUser", choice.Params.User);
    edtPassword = edit("edtPassword", QString());
    edtPassword->setEchoMode(QLineEdit::Password);
    edtPassword->setPlaceholderText(tr("空: 使用密码文件 (~/.pgpass)"));
    edtSchema = edit("edtSchema", choice.Params.Schema);
    edtSchema->setPlaceholderText(tr("空: 默认"));
    form->addRow(tr("服务器:"), edtHost);
    form->addRow(tr("端口:"), sePort);
    form->addRow(tr("数据库:"), edtDatabase);
    form->addRow(tr("用户:"), edtUser);
    form->addRow(tr("密码:"), edtPassword);
    form->addRow(tr("模式:"), edtSchema);
    layout->addLayout(form);
    auto *note = new QLabel(tr("密码不会保存; 设置保存在数据库文件旁的 Database.ini 中。"), this);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    (choice.Server ? rbServer : rbSqlite)->setChecked(true);
    connect(rbServer, &QRadioButton::toggled, this, &TfrmDbSettings::UpdateEnabled);
    connect(edtDatabase, &QLineEdit::textChanged, this, &TfrmDbSettings::UpdateEnabled);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    UpdateEnabled();
}

void TfrmDbSettings::UpdateEnabled()
{
    const bool server = rbServer->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(edtHost), static_cast<QWidget *>(sePort),
                       static_cast<QWidget *>(edtDatabase), static_cast<QWidget *>(edtUser),
                       static_cast<QWidget *>(edtPassword), static_cast<QWidget *>(edtSchema)})
        w->setEnabled(server);
    // A server needs at least the database's name.
    m_ok->setEnabled(!server || !edtDatabase->text().trimmed().isEmpty());
}

TDbChoice TfrmDbSettings::Choice() const
{
    TDbChoice c;
    c.Server = rbServer->isChecked();
    c.Params.Host = edtHost->text().trimmed();
    c.Params.Port = sePort->value();
    c.Params.Database = edtDatabase->text().trimmed();
    c.Params.User = edtUser->text().trimmed();
    c.Params.Password = edtPassword->text();
    c.Params.Schema = edtSchema->text().trimmed();
    return c;
}

} // namespace kv
