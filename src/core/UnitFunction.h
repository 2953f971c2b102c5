#pragma once
// TMyFunction: owner of the test list (display names with their test
// objects) and a few utilities of the main program.
#include <QDate>
#include <QString>
#include <array>
#include <memory>
#include <vector>

namespace kv {

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
    template <class T> void AddTest(const QString &name, std::unique_ptr<T> test)
    {
        T *raw = test.release();
        m_tests.push_back({name, std::shared_ptr<void>(raw, [](void *p) { delete static_cast<T *>(p); })});
    }
    template <class T> T *Test(int index) const
    {
        return index >= 0 && index < TestCount() ? static_cast<T *>(m_tests[index].object.get()) : nullptr;
    }
    void ClearTests() { m_tests.clear(); }

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
        std::shared_ptr<void> object;
    };
    std::vector<TEntry> m_tests;
};

} // namespace kv
