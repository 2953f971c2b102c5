#pragma once
// Helpers shared by the test groups.
#include <QObject>
#include <QScopeGuard>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cstdlib>
#include <memory>
#include <unistd.h>

class QWidget;

namespace kvtest {

// Runs f with the rights of an ordinary user. Root passes every permission
// check, so a test run as root does the call as "nobody" (real and effective
// user; the saved one stays root to come back), on every thread.
template <class F>
auto AsOrdinaryUser(F &&f)
{
    const bool root = ::geteuid() == 0;
    if (root && ::setresuid(65534, 65534, 0) != 0)
        ADD_FAILURE() << "cannot drop to nobody";
    const auto back = qScopeGuard([root] {
        if (root && ::setresuid(0, 0, 0) != 0)
            std::abort();
    });
    return f();
}

// The staged program folder of this build (build/Kalvio6).
QString StageDir();
// The source tree.
QString SourceDir();

// True when the text holds a Chinese character (a text the English
// translation left as it was).
bool HasChinese(const QString &text);
// The captions of a window (title, labels, buttons, group boxes) that hold
// a Chinese character.
QStringList ChineseCaptions(const QWidget &window);

// A private copy of the installed database in a temporary folder that lives
// as long as the returned object.
struct TFreshDb {
    std::unique_ptr<QTemporaryDir> dir;
    QString path;   // the database file
};
TFreshDb FreshDatabase();

// The child of root (at any depth) of type T whose objectName is name: the
// widgets, actions and timers of a window by their form names. None such
// fails the test and gives null.
template <class T>
T *Child(const QObject &root, const char *name)
{
    T *child = root.findChild<T *>(QString::fromLatin1(name));
    if (!child)
        ADD_FAILURE() << "no " << name << " in " << root.objectName().toStdString();
    return child;
}

} // namespace kvtest
