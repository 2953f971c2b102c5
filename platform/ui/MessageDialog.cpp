#include "ui/MessageDialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace kv {

TMsgResult TDialogMessageService::show(const TMsgRequest &r)
{
    // Without an owner the box sits over the active window.
    QMessageBox box(r.parent ? r.parent : QApplication::activeWindow());
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
    box.setDefaultButton(qobject_cast<QPushButton *>(r.defaultNo && no ? no : (ok ? ok : yes)));
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

void UseDialogMessages()
{
    static TDialogMessageService dialogs;
    TMessageService::setDefault(&dialogs);
}

} // namespace kv
