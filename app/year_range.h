#pragma once
#include <QDate>
#include <QList>

// The years offered by every year box of the time sheets: 2007 up to next year.
inline constexpr int kFirstYear = 2007;
QList<int> yearBoxYears(const QDate& today);
// Index of a year in such a list. A year before the first gives the first entry, a later year
// than the last the last entry, so an opener never searches without end.
int yearBoxIndex(const QList<int>& years, int year);
