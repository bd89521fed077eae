// The number formatter: rounding on decimal digits, point separator, locale display.
#include "app/decimal.h"

#include <gtest/gtest.h>

using R = Decimal::Rounding;

TEST(Decimal, RoundsDoublesOnTheirDecimalDigits) {
    struct Case {
        double value;
        int decimals;
        const char* halfEven;
        const char* halfUp;
    } cases[] = {
        // binary 0.125 is exact: a true half
        {0.125, 2, "0.12", "0.13"},
        // 2.675 and 1.005 are stored just below the half; rounding on the digits still sees the half
        {2.675, 2, "2.68", "2.68"},
        {1.005, 2, "1", "1.01"},
        {-0.004, 2, "0", "0"},
        {-0.005, 2, "0", "-0.01"},
        {-2.675, 2, "-2.68", "-2.68"},
        {1.0 / 3.0, 4, "0.3333", "0.3333"},
        {2.0 / 3.0, 4, "0.6667", "0.6667"},
        {0.00005, 4, "0", "0.0001"},
        {0.00015, 4, "0.0002", "0.0002"},
        {24.000000000000004, 4, "24", "24"},
        {0.1 + 0.2, 4, "0.3", "0.3"},
        {9.99995, 4, "10", "10"},
        {123456789.5, 0, "123456790", "123456790"},
        {1e20, 4, "100000000000000000000", "100000000000000000000"},
        {1.5e-10, 4, "0", "0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decimalText(c.value, c.decimals, R::HalfEven), c.halfEven) << c.value;
        EXPECT_EQ(decimalText(c.value, c.decimals, R::HalfUp), c.halfUp) << c.value;
    }
}

TEST(Decimal, ParsesServerAndUserTexts) {
    struct Case {
        const char* text;
        const char* value; // nullptr: refused
    } cases[] = {
        {"12.3400", "12.34"}, {"-0,5", "-0.5"}, {"+7", "7"}, {" 3 ", "3"}, {"1e-3", "0.001"},
        {"2.5E+2", "250"},    {"-0.000", "0"},  {".5", "0.5"}, {"5.", "5"}, {"", nullptr},
        {"abc", nullptr},     {"1.2.3", nullptr}, {"1e", nullptr}, {"12 34", nullptr}, {"1e99999", nullptr},
    };
    for (const Case& c : cases) {
        const auto d = Decimal::parse(QString::fromUtf8(c.text));
        if (c.value == nullptr) {
            EXPECT_FALSE(d.has_value()) << c.text;
        } else {
            ASSERT_TRUE(d.has_value()) << c.text;
            EXPECT_EQ(d->toString(), c.value) << c.text;
        }
    }
}

TEST(Decimal, ArithmeticIsExact) {
    auto d = [](const char* t) { return *Decimal::parse(QString::fromLatin1(t)); };
    EXPECT_EQ((d("0.1") + d("0.2")).toString(), "0.3");
    EXPECT_EQ((d("1") - d("1.0001")).toString(), "-0.0001");
    EXPECT_EQ((d("-2.5") + d("2.5")).toString(), "0");
    EXPECT_EQ((d("10") * d("2") * d("1.2")).toString(), "24");
    EXPECT_EQ((d("0.3333333333333333") * d("1000")).toString(), "333.3333333333333");
    EXPECT_EQ((d("-1.5") * d("2")).toString(), "-3");
    EXPECT_EQ((d("99999999999999999999") * d("99999999999999999999")).toString(),
              "9999999999999999999800000000000000000001");
    EXPECT_EQ(d("1").divided(d("3"), 4).toString(), "0.3333");
    EXPECT_EQ(d("2").divided(d("3"), 2).toString(), "0.67");
    EXPECT_EQ(d("1").divided(d("8"), 2).toString(), "0.12");            // exact half, to even
    EXPECT_EQ(d("1").divided(d("8"), 2, R::HalfUp).toString(), "0.13");
    EXPECT_EQ(d("-7").divided(d("0.5"), 2).toString(), "-14");
}

TEST(Decimal, DivisionByZeroThrows) {
    EXPECT_THROW(Decimal::fromInt(1).divided(Decimal(), 2), std::domain_error);
}

TEST(Decimal, ComparesAndConverts) {
    auto d = [](const char* t) { return *Decimal::parse(QString::fromLatin1(t)); };
    EXPECT_TRUE(d("1.10") == d("1.1"));
    EXPECT_TRUE(d("-2") < d("-1.5"));
    EXPECT_TRUE(d("0.001") < d("0.01"));
    EXPECT_TRUE(d("-0") == Decimal());
    EXPECT_EQ(Decimal::fromInt(-9223372036854775807LL - 1).toString(), "-9223372036854775808");
    EXPECT_DOUBLE_EQ(d("2.675").toDouble(), 2.675);
    EXPECT_EQ(Decimal::fromDouble(0.1).toString(), "0.1");
    EXPECT_EQ(d("2.5").toFixed(2), "2.50");
    EXPECT_EQ(d("-0.004").toFixed(2), "0.00");
    EXPECT_EQ(d("7").toFixed(0), "7");
}

TEST(Decimal, PointSeparatorWhateverTheLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_EQ(decimalText(1.0 / 3.0, 4), "0.3333");
    EXPECT_EQ(Decimal::fromDouble(1234567.25).toString(), "1234567.25");
    // the locale's general format: its decimal comma, no grouping of thousands
    EXPECT_EQ(localeGeneral(1.0 / 3.0, 4), "0,3333");
    EXPECT_EQ(localeGeneral(1234567.25, 4), "1234567,25");
    EXPECT_EQ(localeGeneral(24.000000000000004, 4), "24");
    EXPECT_EQ(localeGeneral(2.675, 4, QLocale::c()), "2.675");
    QLocale::setDefault(before);
}
