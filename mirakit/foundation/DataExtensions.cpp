#include "DataExtensions.h"

namespace mira {

QByteArray xored(const QByteArray &data, const QString &key)
{
    const QByteArray keyBytes = key.toUtf8();
    if (keyBytes.isEmpty())
        return data;
    QByteArray result(data.size(), Qt::Uninitialized);
    const qsizetype keySize = keyBytes.size();
    for (qsizetype i = 0; i < data.size(); ++i)
        result[i] = char(data.at(i) ^ keyBytes.at(i % keySize));
    return result;
}

} // namespace mira
