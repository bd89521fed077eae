#include "reports/price_list_export.h"

#include "app/data_module.h"
#include "app/dataset.h"
#include "reports/excel_export.h"

#include <QLocale>

const char* const kXlsRepSql =
    "select izdel.MARKA, vid_oper.VID, oper.NAIMEN,(SELECT (CASE naimen WHEN 0 THEN 'Готовая продукция' ELSE "
    "'Заготовки' END)) as nmn, oper.CENA_new as cena, oper.id, oper.i_id,"
    " oper.VID as oper_vid from accounts_dep.OPER,accounts_dep.IZDEL,accounts_dep.VID_OPER where OPER.i_id=IZDEL.id "
    "and oper.vid=vid_oper.id order by izdel.marka, vid_oper.vid, oper.naimen";

QString systemNumberText(const QString& decimalText) {
    QString t = decimalText.trimmed();
    const qsizetype point = t.indexOf(QLatin1Char('.'));
    if (point >= 0) {
        while (t.endsWith(QLatin1Char('0')))
            t.chop(1);
        if (t.endsWith(QLatin1Char('.')))
            t.chop(1);
        else
            t.replace(point, 1, QLocale::system().decimalPoint());
    }
    if (t.isEmpty() || t == QLatin1String("-") || t == QLatin1String("-0"))
        return QStringLiteral("0");
    return t;
}

int exportPriceList(TDataModule6& dm, PlainExcel& excel) {
    Dataset XLS_Rep(dm.ADO_DB, QStringLiteral("XLS_Rep"), QString::fromUtf8(kXlsRepSql));
    XLS_Rep.open();
    if (excel.ExcelOpen(QString(), QStringLiteral("Цены операций")) == -1)
        return -1;
    XLS_Rep.first();
    excel.ExcelWrite(1, 1, 1, QStringLiteral("Марка"));
    excel.ExcelWrite(1, 2, 1, QStringLiteral("Операция"));
    excel.ExcelWrite(1, 3, 1, QStringLiteral("Цена"));
    excel.ExcelWrite(1, 4, 1, QStringLiteral("Вид"));
    int row = 2;
    while (!XLS_Rep.eof()) {
        excel.ExcelWrite(1, 1, row, XLS_Rep.asString(QStringLiteral("MARKA")));
        excel.ExcelWrite(1, 2, row, XLS_Rep.asString(QStringLiteral("VID")));
        excel.ExcelWrite(1, 3, row, systemNumberText(XLS_Rep.asDecimal(QStringLiteral("cena"))));
        excel.ExcelWrite(1, 4, row,
                         XLS_Rep.asInt(QStringLiteral("naimen")) == 0 ? QStringLiteral("Готовая продукция")
                                                                      : QStringLiteral("Заготовки"));
        XLS_Rep.next();
        ++row;
    }
    excel.ExcelVisible(true);
    XLS_Rep.close();
    return 1;
}
