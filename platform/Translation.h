#pragma once
// English texts come from a Qt translation file beside each program file:
// "<file name without suffix>.ENU.qm", else "<...>.EN.qm". Sources stay Chinese.
#include "Export.h"
#include <QString>

namespace kv {

// The candidate translation files of a program file, in the order tried.
KVPLATFORM_EXPORT QStringList EnglishTranslationFiles(const QString &programFile);

// Loads the first candidate that exists and installs it into the application
// for every later window and text. False (and nothing installed) when none is
// found or none loads.
KVPLATFORM_EXPORT bool InstallEnglishTranslation(const QString &programFile);

// The environment variable "Language" = "English" tells the test modules.
KVPLATFORM_EXPORT void SetLanguageEnvironment(bool english);
KVPLATFORM_EXPORT bool LanguageEnvironmentIsEnglish();

} // namespace kv
