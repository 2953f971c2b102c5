#include "store/PasswordCode.h"

#include <gtest/gtest.h>

using kv::PasswordCode;

namespace {

// The code computed independently, in 64-bit arithmetic reduced mod 2^32.
qint64 ExpectedCode(const QByteArray &bytes)
{
    qint64 sum = 0;
    for (int i = 0; i < bytes.size(); ++i)
        sum += qint64(static_cast<unsigned char>(bytes[i])) * qint64(kv::PasswordWeights[i]);
    sum %= (qint64(1) << 32);
    if (sum >= (qint64(1) << 31))
        sum -= (qint64(1) << 32);
    return sum;
}

} // namespace

TEST(PasswordCode, WeightsHaveTheFixedDigitCounts)
{
    const int digits[8] = {7, 6, 5, 4, 3, 2, 1, 7};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(QString::number(kv::PasswordWeights[i]).size(), digits[i]) << "weight " << i + 1;
}

TEST(PasswordCode, OnlyThreeToEightBytesHaveACode)
{
    EXPECT_EQ(PasswordCode(QString()), 0);
    EXPECT_EQ(PasswordCode("48"), 0);
    EXPECT_NE(PasswordCode("486"), 0);
    EXPECT_NE(PasswordCode("12345678"), 0);
    EXPECT_EQ(PasswordCode("123456789"), 0);
    EXPECT_EQ(PasswordCode("486"), ExpectedCode("486"));
    EXPECT_EQ(PasswordCode("12345678"), ExpectedCode("12345678"));
}

TEST(PasswordCode, BlanksAreBytesLikeAnyOther)
{
    // Two characters plus a blank make a valid three-byte password ...
    EXPECT_EQ(PasswordCode("48"), 0);
    EXPECT_NE(PasswordCode(" 48"), 0);
    // ... and a blank around a password changes its code.
    EXPECT_NE(PasswordCode(" 486"), PasswordCode("486"));
    EXPECT_NE(PasswordCode("486 "), PasswordCode("486"));
    EXPECT_EQ(PasswordCode("abcdefgh "), 0) << "nine bytes";
    EXPECT_NE(PasswordCode("486"), PasswordCode("684")) << "position matters";
}

TEST(PasswordCode, SumWrapsAroundInThirtyTwoBits)
{
    // Four "ÿ" are eight UTF-8 bytes above 190: the sum exceeds 2^31.
    const QString high = QString::fromUtf8("ÿÿÿÿ");
    ASSERT_EQ(high.toUtf8().size(), 8);
    const qint64 expected = ExpectedCode(high.toUtf8());
    EXPECT_LT(expected, 0);
    EXPECT_EQ(PasswordCode(high), expected);
}

TEST(PasswordCode, LengthCountsUtf8Bytes)
{
    // A Chinese character is three bytes: two make a valid password, three do not.
    EXPECT_NE(PasswordCode(QString::fromUtf8("密码")), 0);
    EXPECT_EQ(PasswordCode(QString::fromUtf8("密码码")), 0);
}
