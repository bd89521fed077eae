#include "refbooks/products_steps.h"

#include "app/connection.h"
#include "app/data_module.h"
#include "app/services.h"

namespace {
const QString kDeleteTitle = QStringLiteral("Удаление");

QString deleteProductSql(qint64 id) {
    return QStringLiteral("delete from cmn_gds_and_srv.gds_and_srv  where id=") + QString::number(id);
}

int countOf(Dataset& ds) {
    ds.close();
    ds.open();
    ds.first();
    const int n = ds.asInt(QStringLiteral("cnt"));
    ds.close();
    return n;
}
} // namespace

ProductsBook::ProductsBook(TDataModule6& dm)
    : ii_oper(dm.ADO_DB, QStringLiteral("ii_oper"),
              QStringLiteral("select count(*) as cnt from accounts_dep.oper o where o.i_id =:id_ii")),
      Izdel_Smena(dm.ADO_DB, QStringLiteral("Izdel_Smena"),
                  QStringLiteral("select count(*) as cnt from accounts_dep.smena s where s.i_id =:id_ii and "
                                 "s.\"data\">=:dt")),
      dm_(dm) {}

bool ProductsBook::deleteProduct(qint64 id, const QDate& today) {
    // The first day of the previous month of the year 2000 (January counts as the 13th month):
    // every record of the product counts in practice.
    const int month = today.month() == 1 ? 13 : today.month();
    Izdel_Smena.setParam(QStringLiteral("id_ii"), id);
    Izdel_Smena.setParam(QStringLiteral("dt"), QDate(2000, month - 1, 1));
    const int records = countOf(Izdel_Smena);
    ii_oper.setParam(QStringLiteral("id_ii"), id);
    const int prices = countOf(ii_oper);

    Messenger& ask = dm_.messenger();
    const bool dropPrices =
        prices > 0 && ask.question(QStringLiteral("По изделию есть расценки они будут удалены!!!"), kDeleteTitle);
    bool dropProduct = false;
    bool dropRecords = false;
    if (records > 0) {
        dropProduct = ask.question(QStringLiteral("По изделию есть операции в текущем, предыдущем месяцах и ранее, "
                                                  "они будут удалены. Удалить изделие? "),
                                   kDeleteTitle);
        dropRecords = dropProduct;
    } else {
        dropProduct = ask.question(QStringLiteral("Удалить изделие? "), kDeleteTitle);
    }

    // The answers are all in before anything is written, so the confirmed statements can run
    // as one unit: prices are never left deleted while the product stays.
    if (dropPrices || dropProduct) {
        Transaction tx(dm_.ADO_DB);
        auto run = [this](const QString& sql) {
            dm_.DelSmena.setSql(sql);
            dm_.DelSmena.execute();
        };
        const QString key = QString::number(id);
        if (dropPrices)
            run(QStringLiteral("delete from accounts_dep.oper o where o.i_id =") + key);
        if (dropRecords)
            run(QStringLiteral("delete from accounts_dep.smena s where s.i_id =") + key);
        if (dropProduct)
            run(deleteProductSql(id));
        tx.commit();
    }
    dm_.Izdel.close();
    dm_.Izdel.open();
    return dropProduct;
}

bool ProductsBook::save(int tag, const QString& markText, const QString& numberText, qint64 groupId,
                        qint64 currentId) {
    const QString mark = markText.trimmed();
    const QString number = numberText.trimmed();
    if (mark.isEmpty() || number.isEmpty() || groupId <= 0) {
        dm_.messenger().error(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return false;
    }
    const bool adding = tag == 1;
    // The mark is compared in capitals on both sides, and goes in as a bound parameter.
    QString check = QStringLiteral("select count(*) as cnt from accounts_dep.izdel where upper(marka)=upper(:marka)");
    if (!adding)
        check += QStringLiteral("and id<>") + QString::number(currentId);
    dm_.Control.setParam(QStringLiteral("marka"), mark.toUpper());
    if (dm_.CheckExists(check, QStringLiteral("Такая марка изделия уже заведена!")))
        return false;

    // The number box lets only digits and "." through; a number loaded from the list carries the
    // display's separator, which is read as the decimal point as well.
    QString massa = number;
    massa.replace(u',', u'.');
    Command& cmd = dm_.SQL_exec;
    if (adding)
        cmd.setSql(QStringLiteral("INSERT INTO cmn_gds_and_srv.gds_and_srv(s_caption, s_description, id_msm_bs, "
                                  "massa, id_class_item)VALUES(:mark, '', 6, :massa,") +
                   QString::number(groupId) + QStringLiteral(")"));
    else
        cmd.setSql(QStringLiteral("UPDATE cmn_gds_and_srv.gds_and_srv SET s_caption=:mark, s_description='', "
                                  "id_msm_bs=6, massa=:massa, id_class_item=") +
                   QString::number(groupId) + QStringLiteral(" where id=") + QString::number(currentId));
    cmd.setParam(QStringLiteral("mark"), mark);
    cmd.setParam(QStringLiteral("massa"), massa);
    cmd.execute();
    dm_.Izdel.close();
    dm_.Izdel.open();
    return true;
}

QString productNumberText(const QString& decimalText, QChar separator) {
    QString t = decimalText.trimmed();
    if (t.contains(u'.')) {
        while (t.endsWith(u'0'))
            t.chop(1);
        if (t.endsWith(u'.'))
            t.chop(1);
    }
    t.replace(u'.', separator);
    return t;
}

QString productNumberKey(const QString& typed) {
    if (typed == u"." || typed == u",")
        return QStringLiteral(".");
    if (typed == u"\b")
        return typed;
    if (typed.size() == 1 && typed.at(0).isDigit() && typed.at(0).unicode() < 128)
        return typed;
    return {};
}
