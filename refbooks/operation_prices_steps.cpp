#include "refbooks/operation_prices_steps.h"

#include "app/data_module.h"
#include "app/services.h"

bool saveOperationPrice(TDataModule6& dm, int tag, const QString& productText, const QString& kindText,
                        int productId, int kindId, int naimen, int currentId) {
    if (productText.trimmed().isEmpty() || kindText.trimmed().isEmpty()) {
        dm.messenger().error(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return false;
    }
    const QString message = QStringLiteral("Операция с такими параметрами уже заведена!");
    const QString kind = QString::number(kindId);
    const QString kindOfProduct = QString::number(naimen);
    const QString product = QString::number(productId);
    if (tag == 1) {
        if (dm.CheckExists(QStringLiteral("select count(ID) as cnt from accounts_dep.OPER where vid=") + kind +
                               QStringLiteral(" and naimen=") + kindOfProduct + QStringLiteral(" and i_id=") + product,
                           message))
            return false;
        dm.Oper_ins.setSql(QStringLiteral("insert into accounts_dep.oper(vid, naimen, i_id, cena_new)values (") + kind +
                           QStringLiteral(", ") + kindOfProduct + QStringLiteral(", ") + product +
                           QStringLiteral(", 0)"));
        dm.Oper_ins.execute();
    } else {
        if (dm.CheckExists(QStringLiteral("select count(*) as cnt from accounts_dep.OPER where vid=") + kind +
                               QStringLiteral(" and naimen=") + kindOfProduct + QStringLiteral(" and i_id=") +
                               product + QStringLiteral(" and id<>") + QString::number(currentId),
                           message))
            return false;
        dm.Oper_ed.setSql(QStringLiteral("update accounts_dep.oper set vid=") + kind + QStringLiteral(", naimen=") +
                          kindOfProduct + QStringLiteral(",  i_id=") + product + QStringLiteral(" where id=") +
                          QString::number(currentId));
        dm.Oper_ed.execute();
    }
    dm.Oper.close();
    dm.Oper.open();
    return true;
}

void deleteOperationPrice(TDataModule6& dm, int id) {
    dm.Oper_del.setParam(QStringLiteral("id"), id);
    dm.Oper_del.execute();
    dm.Oper.close();
    dm.Oper.open();
}

QString productKindText(int naimen) {
    return naimen == 0 ? QStringLiteral("Готовая продукция") : QStringLiteral("Заготовки");
}

QString operationDescription(TDataModule6& dm) {
    const int productId = dm.Oper.asInt(QStringLiteral("i_id"));
    dm.Control.setSql(QStringLiteral("select marka from accounts_dep.izdel where id=") + QString::number(productId));
    dm.Control.open();
    dm.Control.first();
    QString text = dm.Control.asString(QStringLiteral("marka")).trimmed() + QStringLiteral("; ");
    dm.Control.close();
    text += dm.Oper.asString(QStringLiteral("VID")).trimmed() + QStringLiteral("; ");
    text += productKindText(dm.Oper.asInt(QStringLiteral("NAIMEN")));
    return text;
}
