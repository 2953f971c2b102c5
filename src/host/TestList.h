#pragma once
// TMyFunction: owner of the test list (display names with their test
// objects, and which one is current) and a few utilities of the main program.
#include "BaseTest.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>

class QApplication;
class QScreen;

namespace kv {

namespace db {
class TDbConnection;
}

// Why a file of the module folder adds no test.
enum class TModuleSkip {
    None,          // loaded
    EmptyFile,     // a file of length 0
    NotALibrary,   // the system cannot load it as a library
    NoTestExport,  // a library without "GetBaseTests"
    FailedToStart, // the module failed in "Init" or "GetBaseTests"
    Duplicate,     // every test it offers is listed already (same name and kinds)
};

// One file of the last load of the module folder.
struct TModuleLoad {
    QString File;  // name in the folder
    TModuleSkip Skip = TModuleSkip::None;
    QString Detail;    // the loader's error, or the module a duplicate repeats
    QStringList Tests; // the tests it put into the list
};

class TMyFunction {
public:
    TMyFunction() = default;
    ~TMyFunction() { ClearTests(); }
    TMyFunction(const TMyFunction &) = delete;
    TMyFunction &operator=(const TMyFunction &) = delete;

    // The test list. Each entry owns its test object; the objects are freed
    // by ClearTests (new load, side switch) and with this object.
    int TestCount() const { return static_cast<int>(m_tests.size()); }
    QString TestName(int index) const;
    void AddTest(const QString &name, std::unique_ptr<TBaseTest> test);
    TBaseTest *Test(int index) const;
    // Frees every test object; no test is current afterwards.
    void ClearTests();

    // The current test (none at start and after ClearTests).
    TBaseTest *CurrentTest() const { return Test(m_current); }
    int CurrentIndex() const { return m_current; }
    void SetCurrentIndex(int index) { m_current = Test(index) ? index : -1; }

    // Builds a new test list from the modules in folder (every file with the
    // platform's module suffix, in name order) for the machine-kind mask:
    // each test whose FMachineMask shares a bit with mask is listed with the
    // connection handed to it; the others are freed. A file that is not a
    // module, lacks "GetBaseTests" or fails inside the module adds nothing.
    // connection null: the data module's.
    void LoadTestModules(const QString &folder, int mask, db::TDbConnection *connection = nullptr);
    // Every file of the last load in folder order: loaded, or skipped and why.
    const std::vector<TModuleLoad> &ModuleLoads() const { return m_loads; }
    // The application and screen handed to each module's Init (the
    // program's; null in programs without windows).
    void SetModuleEnvironment(QApplication *app, QScreen *screen)
    {
        FApplication = app;
        FScreen = screen;
    }

    // Weighted character code of a password (the stored user secret).
    static qint32 PasswordCode(const QString &password);
    // "%0.1f" for kind 1, else "%0.2f" ('.' as decimal point).
    static QString FormatResult(int kind, float value);
    // Year, month and day without leading zeros joined by "-": 2024-3-5.
    static QString DateText(const QDate &date);
    // Local date and time now: year, month, day, hour, minute, second.
    static std::array<quint16, 6> GetNowRecord();

private:
    struct TEntry {
        QString name;
        std::unique_ptr<TBaseTest> object;
    };
    std::vector<TEntry> m_tests;
    std::vector<TModuleLoad> m_loads;
    int m_current = -1;
    QApplication *FApplication = nullptr;
    QScreen *FScreen = nullptr;
};

} // namespace kv
