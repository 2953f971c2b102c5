#include "ui/MessageService.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <atomic>

namespace kv {

namespace {
TDialogMessageService g_dialogs;
std::atomic<TMessageService *> g_service{nullptr};

TMsgResult firstButton(TMsgButtons b)
{
    switch (b) {
    case TMsgButtons::Ok:
    case TMsgButtons::OkCancel: return TMsgResult::Ok;
    default: return TMsgResult::Yes;
    }
}
} // namespace

TMessageService::~TMessageService() = default;

TMessageService &TMessageService::current()
{
    TMessageService *s = g_service.load();
    return s ? *s : g_dialogs;
}

void TMessageService::install(TMessageService *service) { g_service.store(service); }

QString DefaultCaption() { return QCoreApplication::translate("Message", "提示"); }

TMsgResult TDialogMessageService::show(const TMsgRequest &r)
{
    QMessageBox box(r.parent);
    box.setWindowTitle(r.caption.isEmpty() ? DefaultCaption() : r.caption);
    box.setText(r.text);
    switch (r.icon) {
    case TMsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case TMsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case TMsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case TMsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case TMsgIcon::None: break;
    }
    auto add = [&](const char *text, QMessageBox::ButtonRole role) {
        return box.addButton(QCoreApplication::translate("Message", text), role);
    };
    QAbstractButton *ok = nullptr, *cancel = nullptr, *yes = nullptr, *no = nullptr;
    switch (r.buttons) {
    case TMsgButtons::Ok: ok = add(QT_TRANSLATE_NOOP("Message", "确定"), QMessageBox::AcceptRole); break;
    case TMsgButtons::OkCancel:
        ok = add(QT_TRANSLATE_NOOP("Message", "确定"), QMessageBox::AcceptRole);
        cancel = add(QT_TRANSLATE_NOOP("Message", "取消"), QMessageBox::RejectRole);
        break;
    case TMsgButtons::YesNo:
        yes = add(QT_TRANSLATE_NOOP("Message", "是"), QMessageBox::YesRole);
        no = add(QT_TRANSLATE_NOOP("Message", "否"), QMessageBox::NoRole);
        break;
    case TMsgButtons::YesNoCancel:
        yes = add(QT_TRANSLATE_NOOP("Message", "是"), QMessageBox::YesRole);
        no = add(QT_TRANSLATE_NOOP("Message", "否"), QMessageBox::NoRole);
        cancel = add(QT_TRANSLATE_NOOP("Message", "取消"), QMessageBox::RejectRole);
        break;
    }
    box.setDefaultButton(qobject_cast<QPushButton *>(ok ? ok : yes));
    if (cancel)
        box.setEscapeButton(cancel);
    else if (no)
        box.setEscapeButton(no);
    box.exec();
    QAbstractButton *clicked = box.clickedButton();
    if (clicked == ok) return TMsgResult::Ok;
    if (clicked == yes) return TMsgResult::Yes;
    if (clicked == no) return TMsgResult::No;
    if (clicked == cancel) return TMsgResult::Cancel;
    // Closed by the window's close box.
    if (r.buttons == TMsgButtons::Ok) return TMsgResult::Ok;
    if (r.buttons == TMsgButtons::YesNo) return TMsgResult::No;
    return TMsgResult::Cancel;
}

TMsgResult TRecordingMessageService::show(const TMsgRequest &request)
{
    m_messages.append(request);
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return firstButton(request.buttons);
}

QStringList TRecordingMessageService::texts() const
{
    QStringList out;
    for (const auto &m : m_messages)
        out << m.text;
    return out;
}

TMsgResult ShowMessage(const QString &text, TMsgIcon icon, TMsgButtons buttons, const QString &caption,
                       QWidget *parent)
{
    TMsgRequest r;
    r.text = text;
    r.caption = caption.isEmpty() ? DefaultCaption() : caption;
    r.icon = icon;
    r.buttons = buttons;
    r.parent = parent;
    return TMessageService::current().show(r);
}

} // namespace kv
