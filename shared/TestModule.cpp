#include "TestModule.h"

#include "Translation.h"

#include <QApplication>
#include <QFileInfo>
#include <QTranslator>

#include <dlfcn.h>

namespace kv {

QString ModuleFileOf(const void *addressInModule)
{
    Dl_info info{};
    if (!addressInModule || dladdr(addressInModule, &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
}

TModuleState::~TModuleState()
{
    // A module unloaded while the program runs takes its texts with it; at
    // process end the application has already gone.
    if (FTranslator && QCoreApplication::instance()) {
        QCoreApplication::removeTranslator(FTranslator);
        delete FTranslator;
    }
}

bool TModuleState::Loaded(const void *addressInModule)
{
    FModuleFile = ModuleFileOf(addressInModule);
    InstallTranslation();
    return true;
}

void TModuleState::InstallTranslation()
{
    if (FLanguageChecked || !QCoreApplication::instance())
        return;
    FLanguageChecked = true;
    if (!LanguageEnvironmentIsEnglish() || FModuleFile.isEmpty())
        return;
    for (const QString &file : EnglishTranslationFiles(FModuleFile)) {
        if (!QFileInfo::exists(file))
            continue;
        auto *translator = new QTranslator;
        if (translator->load(file) && QCoreApplication::installTranslator(translator)) {
            FTranslator = translator;
            return;
        }
        delete translator;
    }
}

bool TModuleState::Init(QApplication *app, QScreen *screen)
{
    // Qt keeps one application per process, shared with the program through
    // the same libraries; taking over means remembering the program's.
    if (!FTaken) {
        FTaken = true;
        FApplication = app;
        FScreen = screen;
    }
    InstallTranslation(); // loaded before the application existed
    return true;
}

void TModuleState::DeInit()
{
    if (FTaken) {
        FTaken = false;
        FApplication = nullptr;
        FScreen = nullptr;
    }
    if (FTranslator) {
        if (QCoreApplication::instance())
            QCoreApplication::removeTranslator(FTranslator);
        delete FTranslator;
        FTranslator = nullptr;
    }
}

} // namespace kv
