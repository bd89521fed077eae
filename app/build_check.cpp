#include "app/build_check.h"

#include "app/data_module.h"

StampVerdict checkBuildStamp(TDataModule6& dm, const BuildStamp& build) {
    Dataset ver(dm.ADO_DB, QStringLiteral("ver"), QStringLiteral("select d, t, delim from accounts_dep.ver"));
    ver.open();
    ver.first();
    StampVerdict verdict = StampVerdict::Equal;
    if (ver.isEmpty()) {
        dm.Delim.clear();
        dm.ADO_DB.exec(QStringLiteral("insert into accounts_dep.ver (d, t) values (:d, :t)"),
                       {{QStringLiteral("d"), build.date}, {QStringLiteral("t"), build.time}});
        return StampVerdict::Stamped;
    }
    dm.Delim = ver.asString(QStringLiteral("delim"));
    int d = ver.asInt(QStringLiteral("d"));
    int t = ver.asInt(QStringLiteral("t"));
    if (d < build.date || (d == build.date && t < build.time)) {
        // Only moves the stamp forward, so two builds starting together never step it back.
        dm.ADO_DB.exec(QStringLiteral("update accounts_dep.ver set d=:d, t=:t where d < :d or (d = :d and t < :t)"),
                       {{QStringLiteral("d"), build.date}, {QStringLiteral("t"), build.time}});
        d = build.date;
        t = build.time;
        verdict = StampVerdict::Stamped;
    }
    if (d > build.date || (d == build.date && t > build.time))
        verdict = StampVerdict::DatabaseNewer;
    return verdict;
}
