#include "app/data_module.h"

#include "app/services.h"

const char* const TDataModule6::kWorkersSql = "select * from accounts_dep.person order by fio";
const char* const TDataModule6::kIzdelSql = "select *  from accounts_dep.IZDEL order by marka";
const char* const TDataModule6::kOperSql =
    "select izdel.MARKA, vid_oper.VID, oper.NAIMEN, (SELECT (CASE naimen WHEN 0 THEN 'Готовая продукция' ELSE "
    "'Заготовки' END)) as nmn, count(o_id) norma, min(price)::numeric cena, oper.id, oper.i_id, oper.VID as "
    "oper_vid from accounts_dep.norm,accounts_dep.OPER,accounts_dep.IZDEL,accounts_dep.VID_OPER where "
    "OPER.i_id=IZDEL.id and norm.o_id=oper.id and oper.vid=vid_oper.id group by izdel.MARKA, vid_oper.VID, "
    "oper.NAIMEN, oper.id, oper.i_id, oper.VID order by izdel.marka, vid_oper.vid, oper.naimen";
const char* const TDataModule6::kVidOperSql = "select * from accounts_dep.VID_OPER order by vid";

QString TDataModule6::smenaSql(int shift) {
    if (shift < 1 || shift > 4)
        shift = 1;
    const QString select = QStringLiteral(
        "select smena.id, smena.data, smena.smena, smena.i_id, smena.o_id, smena.w_id, smena.cena,person.s_caption "
        "fio, izdel.marka, vid_oper.vid, (SELECT (CASE naimen WHEN 0 THEN 'Готовая продукция' ELSE 'Заготовки' "
        "END)) as nmn, oper.naimen, smena.brak, smena.kol_vo::numeric, round((kol_vo-brak)*smena.cena::numeric, 2) "
        "as summa, smena.prize, color,time, smena.ok, vvod, smena.id_doc, smena.id_doc_item, smena.f_gds_qty_use, "
        "smena.id_gds_use, smena.id_cons_use from cmn_contractor.person person, "
        "accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper where smena.i_id=izdel.id "
        "and smena.o_id=oper.id and (w_id=person.id or s_code::t_id=w_id) and oper.vid=vid_oper.id and ");
    if (shift == 1)
        return select + QStringLiteral("smena.smena=1 and smena.data=:data and ok!=:ok order by fio, "
                                       "izdel.marka, vid_oper.vid, oper.naimen, color");
    return select + QStringLiteral("smena.smena=%1 and smena.data=:data and ok<>:ok order by fio").arg(shift);
}

TDataModule6::TDataModule6(Messenger& messenger)
    : Workers(ADO_DB, QStringLiteral("Workers"), QString::fromUtf8(kWorkersSql)),
      Control(ADO_DB, QStringLiteral("Control")),
      Izdel(ADO_DB, QStringLiteral("Izdel"), QString::fromUtf8(kIzdelSql)),
      Oper(ADO_DB, QStringLiteral("Oper"), QString::fromUtf8(kOperSql)),
      Vid_oper(ADO_DB, QStringLiteral("Vid_oper"), QString::fromUtf8(kVidOperSql)),
      Smena1(ADO_DB, QStringLiteral("Smena1"), smenaSql(1)), Smena2(ADO_DB, QStringLiteral("Smena2"), smenaSql(2)),
      Smena3(ADO_DB, QStringLiteral("Smena3"), smenaSql(3)), Smena4(ADO_DB, QStringLiteral("Smena4"), smenaSql(4)),
      H_Tabel_1(ADO_DB, QStringLiteral("H_Tabel_1")), H_Tabel_2(ADO_DB, QStringLiteral("H_Tabel_2")),
      H_Tabel_3(ADO_DB, QStringLiteral("H_Tabel_3")), DelSmena(ADO_DB, QStringLiteral("DelSmena")),
      H_Tabel_ins(ADO_DB, QStringLiteral("H_Tabel_ins")), SQL_exec(ADO_DB, QStringLiteral("SQL_exec")),
      Oper_ins(ADO_DB, QStringLiteral("Oper_ins")), Oper_ed(ADO_DB, QStringLiteral("Oper_ed")),
      Oper_del(ADO_DB, QStringLiteral("Oper_del"), QStringLiteral("delete from accounts_dep.oper where id=:id")),
      messenger_(messenger) {
    Smena1.setParam(QStringLiteral("ok"), QStringLiteral("ok"));
    for (Dataset* d : {&Smena2, &Smena3, &Smena4})
        d->setParam(QStringLiteral("ok"), QStringLiteral("ta"));
    // Every shift dataset carries this filter text; filtering stays switched off.
    for (Dataset* d : {&Smena1, &Smena2, &Smena3, &Smena4})
        d->setFilter(QStringLiteral("i_id<>7777"));
}

Dataset& TDataModule6::smena(int shift) {
    switch (shift) {
    case 2: return Smena2;
    case 3: return Smena3;
    case 4: return Smena4;
    default: return Smena1;
    }
}

bool TDataModule6::CheckExists(const QString& sql, const QString& message) {
    Control.setSql(sql);
    Control.open();
    Control.first();
    const bool exists = Control.asInt(QStringLiteral("cnt")) > 0;
    Control.close();
    if (exists)
        messenger_.error(message, QStringLiteral("Ошибка"));
    return exists;
}

QString TDataModule6::ToDbDecimal(const QString& number) const {
    qsizetype pos = number.indexOf(u',');
    if (pos < 0)
        pos = number.indexOf(u'.');
    if (pos < 0)
        return number;
    QString out = number;
    out.replace(pos, 1, Delim);
    return out;
}
