#include "Translation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTranslator>

namespace kv {

QStringList EnglishTranslationFiles(const QString &programFile)
{
    QFileInfo fi(programFile);
    QString base = fi.absolutePath() + QLatin1Char('/') + fi.completeBaseName();
    // A shared library "CemComp.so" and an executable "Kalvio6" both lose
    // their suffix; the language tag takes its place.
    if (fi.suffix().isEmpty())
        base = fi.absoluteFilePath();
    return {base + QStringLiteral(".ENU.qm"), base + QStringLiteral(".EN.qm")};
}

bool InstallEnglishTranslation(const QString &programFile)
{
    for (const QString &file : EnglishTranslationFiles(programFile)) {
        if (!QFileInfo::exists(file))
            continue;
        auto *tr = new QTranslator(QCoreApplication::instance());
        if (tr->load(file) && QCoreApplication::installTranslator(tr))
            return true;
        delete tr;
    }
    return false;
}

void SetLanguageEnvironment(bool english)
{
    if (english)
        qputenv("Language", "English");
    else
        qunsetenv("Language");
}

bool LanguageEnvironmentIsEnglish() { return qgetenv("Language") == "English"; }

} // namespace kv
