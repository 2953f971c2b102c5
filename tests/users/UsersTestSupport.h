#pragma once
// A private database copy with its data module, recorded messages and raw
// access for set-ups the program never makes.
#include "store/DataModule.h"
#include "TestSupport.h"
#include "MessageService.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace userstest {

struct TUsersDb : ::testing::Test {
    kvtest::TFreshDb Fresh = kvtest::FreshDatabase();
    std::unique_ptr<kv::TZovData> Data = std::make_unique<kv::TZovData>(Fresh.path);
    kv::TRecordingMessageService Messages;
    kv::TMessageGuard MessageGuard{&Messages};

    void Raw(const QString &sql)
    {
        QSqlQuery q(Data->conZovDb.database());
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }
    // The stored user names in row order.
    QStringList Names()
    {
        QStringList names;
        QSqlQuery q(Data->conZovDb.database());
        EXPECT_TRUE(q.exec(QStringLiteral("select name from Tester order by UserNo")));
        while (q.next())
            names.append(q.value(0).toString());
        return names;
    }
    qint64 SecretOf(const QString &name)
    {
        QSqlQuery q(Data->conZovDb.database());
        q.prepare(QStringLiteral("select secret from Tester where name = ?"));
        q.addBindValue(name);
        EXPECT_TRUE(q.exec());
        return q.next() ? q.value(0).toLongLong() : -1;
    }
    QString LastUser()
    {
        QString s;
        Data->ReadStr(100, s);
        return s;
    }
};

} // namespace userstest
