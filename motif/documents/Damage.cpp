#include "motif/documents/Damage.h"

#include <QJsonObject>
#include <QStringList>

QString Damage::toString() const
{
    QStringList where;
    if (!chunk.isEmpty()) where << QStringLiteral("chunk %1").arg(chunk);
    if (item > 0) where << QStringLiteral("item %1").arg(item);
    where << QStringLiteral("offset %1").arg(offset);
    return where.join(QLatin1String(", ")) + QLatin1String(": ") + reason;
}

QJsonArray damageJson(const DamageList& damage)
{
    QJsonArray out;
    for (const Damage& part : damage)
        out.append(QJsonObject{{"chunk", part.chunk},
                               {"item", part.item},
                               {"offset", double(part.offset)},
                               {"reason", part.reason}});
    return out;
}
