// SQL text helpers under a comma-decimal locale, and the recording message
// service that tests use instead of dialogs.
#include "SqlText.h"
#include "db/DbEngine.h"
#include "MessageService.h"

#include <QLocale>
#include <clocale>
#include <gtest/gtest.h>

using namespace kv;

TEST(SqlText, QuotesAndNumbers)
{
    EXPECT_EQ(QuotedStr(QStringLiteral("O'Brien")), QStringLiteral("'O''Brien'"));
    EXPECT_EQ(QuotedStr(QString()), QStringLiteral("''"));
    EXPECT_EQ(QuotedStr(QStringLiteral("''")), QStringLiteral("''''''"));
    EXPECT_EQ(SqlSingle(0.3f), QStringLiteral("0.3"));
    EXPECT_EQ(SqlSingle(2.5f), QStringLiteral("2.5"));
    EXPECT_EQ(SqlSingle(2.4f), QStringLiteral("2.4"));
    EXPECT_EQ(SqlNum(0.1), QStringLiteral("0.1"));
    EXPECT_EQ(SqlNum(qint64(-42)), QStringLiteral("-42"));
    EXPECT_EQ(FixedText(72000.0, 2), QStringLiteral("72000.00"));
    EXPECT_EQ(FixedText(2.45, 1).size(), 3);
    bool ok = false;
    EXPECT_DOUBLE_EQ(ParseNumber(QStringLiteral("2,5"), &ok), 2.5);
    EXPECT_TRUE(ok);
    ParseNumber(QStringLiteral("x"), &ok);
    EXPECT_FALSE(ok);
}

TEST(SqlText, CommaDecimalLocaleNeverReachesStatements)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const char *cBefore = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = cBefore ? cBefore : "C";
    const bool cLocale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "de_DE");
    EXPECT_EQ(QLocale().toString(2.5), QStringLiteral("2,5")); // the locale really is a comma one
    for (double v : {2.5, 0.3, 123.456, -1e-7, 1e21}) {
        EXPECT_FALSE(SqlNum(v).contains(QLatin1Char(','))) << v;
        EXPECT_FALSE(SqlSingle(float(v)).contains(QLatin1Char(','))) << v;
        EXPECT_FALSE(FixedText(v, 2).contains(QLatin1Char(','))) << v;
    }
    EXPECT_EQ(SqlNum(2.5), QStringLiteral("2.5"));
    EXPECT_EQ(FixedText(2.5, 1), QStringLiteral("2.5"));
    EXPECT_TRUE(db::TranslateJetSql(QStringLiteral("Insert into SavNum values(1100,") + SqlSingle(2.5f) +
                                    QStringLiteral(")"))
                    .endsWith(QStringLiteral("(1100, 2.5)")));
    std::setlocale(LC_NUMERIC, saved.c_str());
    QLocale::setDefault(before);
    if (!cLocale)
        GTEST_LOG_(INFO) << "no de_DE C locale installed; checked the Qt default locale only";
}

TEST(MessageService, RecorderAnswersFromItsQueueThenAffirmatively)
{
    TRecordingMessageService rec;
    TMessageGuard guard(&rec);
    rec.queueAnswer(TMsgResult::No);
    rec.queueAnswer(TMsgResult::Cancel);
    EXPECT_FALSE(MsgYesNo(QStringLiteral("是否删除?")));
    EXPECT_FALSE(MsgConfirm(QStringLiteral("真的要恢复吗?")));
    EXPECT_TRUE(MsgYesNo(QStringLiteral("again")));     // queue empty: Yes
    EXPECT_EQ(MsgInfo(QStringLiteral("done")), TMsgResult::Ok);
    ASSERT_EQ(rec.messages().size(), 4);
    EXPECT_EQ(rec.messages()[0].buttons, TMsgButtons::YesNo);
    EXPECT_EQ(rec.messages()[1].buttons, TMsgButtons::OkCancel);
    EXPECT_EQ(rec.lastText(), QStringLiteral("done"));
    EXPECT_EQ(rec.texts().first(), QStringLiteral("是否删除?"));
    MsgError(QStringLiteral("坏"));
    EXPECT_EQ(rec.messages().last().icon, TMsgIcon::Error);
    rec.clear();
    EXPECT_TRUE(rec.messages().isEmpty());
}
