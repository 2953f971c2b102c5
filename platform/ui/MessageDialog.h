#pragma once
// The message service of the running program: a real message box, captioned
// "提示" unless told otherwise, its button captions following the translation.
#include "MessageService.h"
#include "ui/ExportUi.h"

namespace kv {

class KVPLATFORM_UI_EXPORT TDialogMessageService : public TMessageService {
public:
    TMsgResult show(const TMsgRequest &request) override;
};

// Makes the dialog service the default of TMessageService (program start).
KVPLATFORM_UI_EXPORT void UseDialogMessages();

} // namespace kv
