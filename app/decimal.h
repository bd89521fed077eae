#pragma once
#include <QLocale>
#include <QString>
#include <QStringView>
#include <optional>
#include <string>

// An exact decimal number of any size: sign, decimal digits and the count of fraction digits.
// Rounding happens on the decimal digits, so 2.675 rounds like the 2.675 the user sees and not
// like the binary double just below it. Texts are written with a point whatever the locale.
class Decimal {
public:
    enum class Rounding {
        HalfEven, // a half goes to the even neighbour: 0.125 -> 0.12, 0.135 -> 0.14
        HalfUp,   // a half goes away from zero: 0.125 -> 0.13, -0.125 -> -0.13
    };

    Decimal() = default; // zero
    static Decimal fromInt(long long value);
    // The shortest decimal that reads back as the same double (0.1 -> 0.1, 2.675 -> 2.675).
    // Infinity and NaN give zero.
    static Decimal fromDouble(double value);
    // "12.3400", "-0,5", "+7", "1e-3", "  3 " (blanks around it ignored); nullopt otherwise.
    static std::optional<Decimal> parse(QStringView text);

    Decimal rounded(int decimals, Rounding mode = Rounding::HalfEven) const;

    Decimal operator+(const Decimal& other) const;
    Decimal operator-(const Decimal& other) const;
    Decimal operator*(const Decimal& other) const;
    Decimal operator-() const;
    // Quotient rounded to the given number of decimals; throws std::domain_error on a zero divisor.
    Decimal divided(const Decimal& divisor, int decimals, Rounding mode = Rounding::HalfEven) const;

    int compare(const Decimal& other) const; // -1, 0, 1
    bool operator==(const Decimal& other) const { return compare(other) == 0; }
    bool operator<(const Decimal& other) const { return compare(other) < 0; }

    bool isZero() const;
    bool isNegative() const { return negative_ && !isZero(); }
    // Decimal places after trailing zeros are dropped.
    int decimals() const;

    // Plain text with a point, no exponent, no trailing fraction zeros, never "-0": "24", "0.3333".
    QString toString() const;
    // Exactly this many decimals after rounding half-even (or half-up): "2.50", "-0.00" -> "0.00".
    QString toFixed(int decimals, Rounding mode = Rounding::HalfEven) const;
    double toDouble() const;

private:
    bool negative_ = false;
    std::string digits_ = "0"; // magnitude, most significant first, no leading zeros but one
    int scale_ = 0;            // how many of the digits are fraction digits

    static Decimal make(bool negative, std::string digits, int scale);
    void normalize();
};

// The number rounded to the decimals and written with a point: the text a statement gets.
QString decimalText(double value, int decimals, Decimal::Rounding mode = Decimal::Rounding::HalfEven);

// The general number format of the user's locale for a value already rounded as it should be
// shown: only the needed decimals, the locale's decimal separator, no thousands grouping
// (1234.5 -> "1234,5" in Russian).
QString localeGeneral(const Decimal& value, const QLocale& locale = QLocale());
// The double rounded to the decimals (halves to even), shown as above.
QString localeGeneral(double value, int decimals, const QLocale& locale = QLocale());
