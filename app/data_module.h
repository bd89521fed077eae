#pragma once
#include "app/connection.h"
#include "app/dataset.h"

#include <QString>

class Messenger;

// The shared connection, datasets and commands used by several windows.
class TDataModule6 {
public:
    explicit TDataModule6(Messenger& messenger);
    TDataModule6(const TDataModule6&) = delete;
    TDataModule6& operator=(const TDataModule6&) = delete;

    Connection ADO_DB;
    // Decimal separator of the database's numeric literals; filled by the build-stamp check.
    QString Delim;

    Dataset Workers;
    Dataset Control; // scratch: every user replaces its text
    Dataset Izdel;
    Dataset Oper;
    Dataset Vid_oper;
    Dataset Smena1;
    Dataset Smena2;
    Dataset Smena3;
    Dataset Smena4;
    Dataset H_Tabel_1;
    Dataset H_Tabel_2;
    Dataset H_Tabel_3;

    Command DelSmena;    // scratch
    Command H_Tabel_ins; // scratch
    Command SQL_exec;    // scratch
    Command Oper_ins;    // scratch
    Command Oper_ed;     // scratch
    Command Oper_del;

    // The shift dataset of a shift number: 1..4, anything else gives Smena1.
    Dataset& smena(int shift);

    // Runs a count statement (field "cnt"); when it counts a row, shows the message as an error
    // and returns true.
    bool CheckExists(const QString& sql, const QString& message);
    // Replaces the first "," (or, when there is none, the first ".") by Delim.
    QString ToDbDecimal(const QString& number) const;

    Messenger& messenger() { return messenger_; }

    // Statements of the shared datasets.
    static QString smenaSql(int shift);
    static const char* const kWorkersSql;
    static const char* const kIzdelSql;
    static const char* const kOperSql;
    static const char* const kVidOperSql;

private:
    Messenger& messenger_;
};
using DataModule6 = TDataModule6;
