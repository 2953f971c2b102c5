#include "MessageService.h"

#include <QCoreApplication>
#include <QDebug>
#include <atomic>

namespace kv {

namespace {
std::atomic<TMessageService *> g_service{nullptr};
std::atomic<TMessageService *> g_default{nullptr};

TMsgResult firstButton(TMsgButtons b)
{
    switch (b) {
    case TMsgButtons::Ok:
    case TMsgButtons::OkCancel: return TMsgResult::Ok;
    default: return TMsgResult::Yes;
    }
}
// Without any service a box cannot be shown: it is logged and answered with
// the choice that changes nothing.
class TUnseenMessages final : public TMessageService {
public:
    TMsgResult show(const TMsgRequest &r) override
    {
        qWarning().noquote() << "message not shown:" << r.text;
        switch (r.buttons) {
        case TMsgButtons::Ok: return TMsgResult::Ok;
        case TMsgButtons::YesNo: return TMsgResult::No;
        default: return TMsgResult::Cancel;
        }
    }
};
TUnseenMessages g_unseen;

} // namespace

TMessageService::~TMessageService() = default;

TMessageService &TMessageService::current()
{
    if (TMessageService *s = g_service.load())
        return *s;
    TMessageService *d = g_default.load();
    return d ? *d : g_unseen;
}

void TMessageService::install(TMessageService *service) { g_service.store(service); }

void TMessageService::setDefault(TMessageService *service) { g_default.store(service); }

QString DefaultCaption() { return QCoreApplication::translate("Message", "提示"); }

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
