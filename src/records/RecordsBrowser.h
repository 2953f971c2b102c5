#pragma once
// What the records window knows without its widgets: which test kinds it
// offers on this machine, the report templates of a test kind, the print
// request handed to the module, and the search and delete statements, which
// the test module builds.
#include "BaseTest.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace kv {

class TMyFunction;

struct TTestKind {
    QString Name;              // display name, as in the test list
    TBaseTest *Test = nullptr; // owned by the test list
    int Index = -1;            // position in the test list
};

// The tests of the list that run on the machine kind (bit 1, 2 or 4):
// those of menu section 1, then 2, then 3, each in list order.
std::vector<TTestKind> RecordTestKinds(const TMyFunction &tests, quint32 machineBit);

// Where the Excel report templates of a test kind live:
// <program folder>/Report/<display name>.
QString TemplateFolder(const QString &programDir, const QString &testName);

// The templates of a folder: every "*.xls" and "*.xlsx" file in name order,
// each named by its file name without the suffix ("a.b.xls" is "a.b"), a
// name that has both only once.
QStringList ReportTemplates(const QString &folder);

// What PrintReport is handed: the built-in report (empty template) is
// "<group>::::", a template "<group>::<template>::".
QString PrintRequest(const QString &groupNo, const QString &templateName = QString());

// The module's search: kind 0 by group number (From, To), 1 by date; both
// texts without surrounding blanks.
QString SearchStatement(TBaseTest &test, int kind, const QString &from, const QString &to);

// The module's statement for a group: 4 delete one group, 5 delete a group
// of a delete-all, 1 after a result was corrected.
QString RecordStatement(TBaseTest &test, const QString &groupNo, quint8 kind);

} // namespace kv
