#include "app/decimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace {
// Magnitudes are strings of decimal digits, most significant first.

std::string stripLeadingZeros(std::string s) {
    const auto nz = s.find_first_not_of('0');
    if (nz == std::string::npos)
        return "0";
    s.erase(0, nz);
    return s;
}

int compareMag(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string addMag(const std::string& a, const std::string& b) {
    std::string out;
    out.reserve(std::max(a.size(), b.size()) + 1);
    int carry = 0;
    for (size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
        int d = carry;
        if (i < a.size())
            d += a[a.size() - 1 - i] - '0';
        if (i < b.size())
            d += b[b.size() - 1 - i] - '0';
        out.push_back(char('0' + d % 10));
        carry = d / 10;
    }
    std::reverse(out.begin(), out.end());
    return stripLeadingZeros(out);
}

// a - b for a >= b.
std::string subMag(const std::string& a, const std::string& b) {
    std::string out;
    out.reserve(a.size());
    int borrow = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        int d = (a[a.size() - 1 - i] - '0') - borrow;
        if (i < b.size())
            d -= b[b.size() - 1 - i] - '0';
        borrow = d < 0 ? 1 : 0;
        out.push_back(char('0' + d + 10 * borrow));
    }
    std::reverse(out.begin(), out.end());
    return stripLeadingZeros(out);
}

std::string mulMag(const std::string& a, const std::string& b) {
    std::vector<int> acc(a.size() + b.size(), 0);
    for (size_t i = 0; i < a.size(); ++i)
        for (size_t j = 0; j < b.size(); ++j)
            acc[i + j + 1] += (a[i] - '0') * (b[j] - '0');
    for (size_t k = acc.size() - 1; k > 0; --k) {
        acc[k - 1] += acc[k] / 10;
        acc[k] %= 10;
    }
    std::string out;
    out.reserve(acc.size());
    for (int d : acc)
        out.push_back(char('0' + d));
    return stripLeadingZeros(out);
}

// Long division: quotient and remainder of n / d (d not zero).
std::pair<std::string, std::string> divMag(const std::string& n, const std::string& d) {
    std::string q;
    std::string r = "0";
    for (char c : n) {
        r = stripLeadingZeros(r + c);
        int times = 0;
        while (compareMag(r, d) >= 0) {
            r = subMag(r, d);
            ++times;
        }
        q.push_back(char('0' + times));
    }
    return {stripLeadingZeros(q), r};
}

std::string incrementMag(const std::string& a) { return addMag(a, "1"); }

// Both magnitudes brought to the same number of fraction digits.
std::pair<std::string, std::string> aligned(const std::string& a, int sa, const std::string& b, int sb) {
    const int s = std::max(sa, sb);
    return {a + std::string(size_t(s - sa), '0'), b + std::string(size_t(s - sb), '0')};
}

constexpr int kMaxExponent = 4000; // keeps texts like "1e999999999" from allocating without end
} // namespace

Decimal Decimal::make(bool negative, std::string digits, int scale) {
    Decimal d;
    d.negative_ = negative;
    d.digits_ = std::move(digits);
    d.scale_ = scale;
    d.normalize();
    return d;
}

void Decimal::normalize() {
    digits_ = stripLeadingZeros(std::move(digits_));
    while (scale_ > 0 && digits_.size() > 1 && digits_.back() == '0') {
        digits_.pop_back();
        --scale_;
    }
    if (digits_ == "0") {
        scale_ = 0;
        negative_ = false;
    }
}

Decimal Decimal::fromInt(long long value) {
    const bool neg = value < 0;
    // Through unsigned so that the smallest long long has a magnitude too.
    unsigned long long mag = neg ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    return make(neg, std::to_string(mag), 0);
}

Decimal Decimal::fromDouble(double value) {
    if (!std::isfinite(value))
        return {};
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    const auto parsed = parse(QString::fromLatin1(buf, res.ptr - buf));
    return parsed ? *parsed : Decimal();
}

std::optional<Decimal> Decimal::parse(QStringView text) {
    text = text.trimmed();
    qsizetype i = 0;
    bool neg = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        neg = text[i] == u'-';
        ++i;
    }
    std::string digits;
    int fraction = 0;
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            digits.push_back(char(c.unicode()));
            if (seenPoint)
                ++fraction;
        } else if ((c == u'.' || c == u',') && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (digits.empty())
        return std::nullopt;
    long exponent = 0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool expNeg = false;
        if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
            expNeg = text[i] == u'-';
            ++i;
        }
        const qsizetype start = i;
        for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
            exponent = exponent * 10 + (text[i].unicode() - '0');
            if (exponent > kMaxExponent)
                return std::nullopt;
        }
        if (i == start)
            return std::nullopt;
        if (expNeg)
            exponent = -exponent;
    }
    if (i != text.size())
        return std::nullopt;
    long scale = fraction - exponent;
    if (scale < 0) {
        digits.append(size_t(-scale), '0');
        scale = 0;
    }
    return make(neg, std::move(digits), int(scale));
}

Decimal Decimal::rounded(int decimals, Rounding mode) const {
    decimals = std::max(decimals, 0);
    if (decimals >= scale_)
        return *this;
    const size_t cut = size_t(scale_ - decimals);
    std::string all = digits_;
    if (all.size() < cut + 1)
        all.insert(0, cut + 1 - all.size(), '0');
    std::string kept = all.substr(0, all.size() - cut);
    const std::string dropped = all.substr(all.size() - cut);
    const char first = dropped[0];
    const bool restNonZero = dropped.find_first_not_of('0', 1) != std::string::npos;
    bool up = false;
    if (first > '5')
        up = true;
    else if (first == '5')
        up = mode == Rounding::HalfUp || restNonZero || ((kept.back() - '0') % 2 == 1);
    if (up)
        kept = incrementMag(kept);
    return make(negative_, std::move(kept), decimals);
}

Decimal Decimal::operator-() const { return make(!negative_, digits_, scale_); }

Decimal Decimal::operator+(const Decimal& o) const {
    auto [a, b] = aligned(digits_, scale_, o.digits_, o.scale_);
    const int scale = std::max(scale_, o.scale_);
    if (negative_ == o.negative_)
        return make(negative_, addMag(a, b), scale);
    const int c = compareMag(stripLeadingZeros(a), stripLeadingZeros(b));
    if (c == 0)
        return {};
    if (c > 0)
        return make(negative_, subMag(stripLeadingZeros(a), stripLeadingZeros(b)), scale);
    return make(o.negative_, subMag(stripLeadingZeros(b), stripLeadingZeros(a)), scale);
}

Decimal Decimal::operator-(const Decimal& o) const { return *this + (-o); }

Decimal Decimal::operator*(const Decimal& o) const {
    return make(negative_ != o.negative_, mulMag(digits_, o.digits_), scale_ + o.scale_);
}

Decimal Decimal::divided(const Decimal& divisor, int decimals, Rounding mode) const {
    if (divisor.isZero())
        throw std::domain_error("division by zero");
    decimals = std::max(decimals, 0);
    // this / divisor * 10^decimals = digits * 10^(divisor.scale - scale + decimals) / divisor.digits
    const int e = divisor.scale_ - scale_ + decimals;
    std::string n = digits_;
    std::string d = divisor.digits_;
    if (e >= 0)
        n.append(size_t(e), '0');
    else
        d.append(size_t(-e), '0');
    auto [q, r] = divMag(n, d);
    const int half = compareMag(addMag(r, r), d);
    bool up = half > 0;
    if (half == 0)
        up = mode == Rounding::HalfUp || ((q.back() - '0') % 2 == 1);
    if (up)
        q = incrementMag(q);
    return make(negative_ != divisor.negative_, std::move(q), decimals);
}

int Decimal::compare(const Decimal& o) const {
    const bool an = isNegative();
    const bool bn = o.isNegative();
    if (an != bn)
        return an ? -1 : 1;
    auto [a, b] = aligned(digits_, scale_, o.digits_, o.scale_);
    const int c = compareMag(stripLeadingZeros(a), stripLeadingZeros(b));
    return an ? -c : c;
}

bool Decimal::isZero() const { return digits_ == "0"; }

int Decimal::decimals() const { return scale_; }

QString Decimal::toString() const {
    std::string s = digits_;
    if (scale_ > 0) {
        if (s.size() < size_t(scale_) + 1)
            s.insert(0, size_t(scale_) + 1 - s.size(), '0');
        s.insert(s.size() - size_t(scale_), 1, '.');
    }
    if (isNegative())
        s.insert(0, 1, '-');
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

QString Decimal::toFixed(int decimals, Rounding mode) const {
    decimals = std::max(decimals, 0);
    const Decimal r = rounded(decimals, mode);
    QString s = r.toString();
    if (decimals == 0)
        return s;
    const int have = r.scale_;
    if (have == 0)
        s += u'.';
    s += QString(decimals - have, u'0');
    return s;
}

double Decimal::toDouble() const {
    const std::string s = toString().toStdString();
    double v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}

QString decimalText(double value, int decimals, Decimal::Rounding mode) {
    return Decimal::fromDouble(value).rounded(decimals, mode).toString();
}

QString localeGeneral(const Decimal& value, const QLocale& locale) {
    QString s = value.toString();
    s.replace(u'.', locale.decimalPoint());
    return s;
}

QString localeGeneral(double value, int decimals, const QLocale& locale) {
    return localeGeneral(Decimal::fromDouble(value).rounded(decimals), locale);
}
