#pragma once
// Every message box of the program and of the test modules goes through this
// service. The program installs the dialog service (platform/ui) at start;
// tests install a recorder that answers from a script and keeps every
// message for inspection. Logic code uses this interface without knowing
// about windows.
#include "Export.h"
#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace kv {

enum class TMsgIcon { None, Information, Warning, Error, Question };
enum class TMsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class TMsgResult { Ok, Cancel, Yes, No };

struct TMsgRequest {
    QString text;
    QString caption;
    TMsgIcon icon = TMsgIcon::Information;
    TMsgButtons buttons = TMsgButtons::Ok;
    QWidget *parent = nullptr;
    bool defaultNo = false; // Enter answers No (questions whose Yes overwrites data)
};

class KVPLATFORM_EXPORT TMessageService {
public:
    virtual ~TMessageService();
    virtual TMsgResult show(const TMsgRequest &request) = 0;

    // The installed service, else the default one, else a service that
    // answers every box with its safe choice (OK, Cancel or No) unseen.
    static TMessageService &current();
    // Installs a service (not owned); nullptr goes back to the default.
    static void install(TMessageService *service);
    // The service used while none is installed (the program's dialogs).
    static void setDefault(TMessageService *service);
};

// Records every message and answers from a queue; with the queue empty it
// answers with the dialog's first (affirmative) button.
class KVPLATFORM_EXPORT TRecordingMessageService : public TMessageService {
public:
    TMsgResult show(const TMsgRequest &request) override;

    void queueAnswer(TMsgResult answer) { m_answers.append(answer); }
    const QList<TMsgRequest> &messages() const { return m_messages; }
    QStringList texts() const;
    QString lastText() const { return m_messages.isEmpty() ? QString() : m_messages.last().text; }
    void clear() { m_messages.clear(); m_answers.clear(); }

private:
    QList<TMsgRequest> m_messages;
    QList<TMsgResult> m_answers;
};

// The default caption of every message box: "提示" (translated).
KVPLATFORM_EXPORT QString DefaultCaption();

KVPLATFORM_EXPORT TMsgResult ShowMessage(const QString &text, TMsgIcon icon = TMsgIcon::Information,
                                         TMsgButtons buttons = TMsgButtons::Ok,
                                         const QString &caption = QString(), QWidget *parent = nullptr);
inline TMsgResult MsgInfo(const QString &text, QWidget *parent = nullptr)
{ return ShowMessage(text, TMsgIcon::Information, TMsgButtons::Ok, QString(), parent); }
inline TMsgResult MsgWarning(const QString &text, QWidget *parent = nullptr)
{ return ShowMessage(text, TMsgIcon::Warning, TMsgButtons::Ok, QString(), parent); }
inline TMsgResult MsgError(const QString &text, QWidget *parent = nullptr)
{ return ShowMessage(text, TMsgIcon::Error, TMsgButtons::Ok, QString(), parent); }
// True when the operator answered OK.
inline bool MsgConfirm(const QString &text, TMsgIcon icon = TMsgIcon::Question, QWidget *parent = nullptr)
{ return ShowMessage(text, icon, TMsgButtons::OkCancel, QString(), parent) == TMsgResult::Ok; }
// True when the operator answered Yes.
inline bool MsgYesNo(const QString &text, TMsgIcon icon = TMsgIcon::Question, QWidget *parent = nullptr)
{ return ShowMessage(text, icon, TMsgButtons::YesNo, QString(), parent) == TMsgResult::Yes; }

// Installs a service for the lifetime of the guard (tests).
class KVPLATFORM_EXPORT TMessageGuard {
public:
    explicit TMessageGuard(TMessageService *s) { TMessageService::install(s); }
    ~TMessageGuard() { TMessageService::install(nullptr); }
    TMessageGuard(const TMessageGuard &) = delete;
    TMessageGuard &operator=(const TMessageGuard &) = delete;
};

} // namespace kv
