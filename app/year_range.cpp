#include "app/year_range.h"

QList<int> yearBoxYears(const QDate& today) {
    QList<int> years;
    const int last = std::max(kFirstYear, today.year() + 1);
    for (int y = kFirstYear; y <= last; ++y)
        years << y;
    return years;
}

int yearBoxIndex(const QList<int>& years, int year) {
    if (years.isEmpty())
        return -1;
    const qsizetype i = years.indexOf(year);
    if (i >= 0)
        return static_cast<int>(i);
    return year < years.first() ? 0 : static_cast<int>(years.size() - 1);
}
