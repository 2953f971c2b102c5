#pragma once
// The module side of the contract. A test module writes, in one source file,
//     KV_TEST_MODULE(TMyTest)
// which defines its three C-linkage exports:
//   Init(App, Scr)      the program's application and screen become the
//                       module's; the first call counts, later ones change
//                       nothing; returns true.
//   GetBaseTests(Tests) Tests becomes a one-element array with a new object
//                       of the test class; the caller owns it.
//   DeInit()            undoes Init and removes the module's translation.
// When the library is loaded and the environment variable "Language" is
// "English", the translation file beside it ("<name>.ENU.qm", else
// "<name>.EN.qm") is installed; without one the Chinese texts stay.
#include "ContractExport.h"
#include "BaseTest.h"

class QApplication;
class QScreen;
class QTranslator;

namespace kv {

// The state of one module; each module holds its own instance.
class KVCONTRACT_EXPORT TModuleState {
public:
    TModuleState() = default;
    ~TModuleState();
    TModuleState(const TModuleState &) = delete;
    TModuleState &operator=(const TModuleState &) = delete;

    // Load time: addressInModule is any address inside the module, which
    // tells the module's own file.
    bool Loaded(const void *addressInModule);
    bool Init(QApplication *app, QScreen *screen);
    void DeInit();

    QApplication *Application() const { return FApplication; }
    QScreen *Screen() const { return FScreen; }
    QString ModuleFile() const { return FModuleFile; }
    bool Translated() const { return FTranslator != nullptr; }

private:
    void InstallTranslation();

    QString FModuleFile;
    QApplication *FApplication = nullptr; // the program's, after Init
    QScreen *FScreen = nullptr;
    bool FTaken = false;
    bool FLanguageChecked = false;
    QTranslator *FTranslator = nullptr;
};

// The file of the library that holds addressInModule; empty when unknown.
KVCONTRACT_EXPORT QString ModuleFileOf(const void *addressInModule);

} // namespace kv

// The state of the module this code belongs to (defined by KV_TEST_MODULE).
kv::TModuleState &ModuleState();

#define KV_TEST_MODULE(TestClass)                                                                    \
    namespace {                                                                                      \
    kv::TModuleState kvModuleState;                                                                  \
    const bool kvModuleLoaded = kvModuleState.Loaded(&kvModuleState);                                \
    }                                                                                                \
    kv::TModuleState &ModuleState() { return kvModuleState; }                                        \
    extern "C" Q_DECL_EXPORT bool Init(QApplication *App, QScreen *Scr)                              \
    {                                                                                                \
        return kvModuleState.Init(App, Scr);                                                         \
    }                                                                                                \
    extern "C" Q_DECL_EXPORT void GetBaseTests(kv::TBaseTests &Tests)                                \
    {                                                                                                \
        Tests.clear();                                                                               \
        Tests.push_back(new TestClass);                                                              \
    }                                                                                                \
    extern "C" Q_DECL_EXPORT void DeInit() { kvModuleState.DeInit(); }
