#pragma once
// What the database benchmarks share: a messenger that stays silent, the median of timings,
// and a scratch database copied from the template database of the local cluster.
#include "app/connection.h"
#include "app/services.h"

#include <QString>
#include <algorithm>
#include <vector>

struct NullMessenger : Messenger {
    void error(const QString&, const QString&) override {}
    bool question(const QString&, const QString&) override { return false; }
    void information(const QString&, const QString&) override {}
};

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Runs one statement on the cluster's maintenance database.
inline void onCluster(const QString& statement) {
    Connection admin;
    admin.setConnectionText(buildConnectionText(QStringLiteral("postgres"), QStringLiteral("127.0.0.1")));
    admin.open();
    admin.exec(statement);
}

// Points the port at the local cluster unless set, and makes a fresh copy of the template.
inline void recreateBenchDatabase(const QString& name) {
    if (qEnvironmentVariableIsEmpty(kPortOverrideEnv))
        qputenv(kPortOverrideEnv, "54329");
    onCluster(QStringLiteral("drop database if exists ") + name + QStringLiteral(" with (force)"));
    onCluster(QStringLiteral("create database ") + name + QStringLiteral(" template tabel_template"));
}

inline void dropBenchDatabase(const QString& name) {
    onCluster(QStringLiteral("drop database if exists ") + name + QStringLiteral(" with (force)"));
}
