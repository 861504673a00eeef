#include "optionsio.h"

#include <QDebug>

#include <cmath>

namespace OptionsIo {

QString text(const QVariant& stored)
{
    if (stored.type() == QVariant::StringList)
        return stored.toStringList().join(QLatin1Char(','));
    return stored.toString();
}

void assign(bool& member, const QVariant& stored)
{
    if (stored.type() == QVariant::Bool) {
        member = stored.toBool();
        return;
    }
    // The toolkit's rule for text: only "", "0" and "false" are false.
    const QString value = text(stored).trimmed();
    member = !(value.isEmpty() || value == QLatin1String("0")
               || value.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0);
}

void assign(int& member, const QVariant& stored)
{
    bool ok = false;
    const int value = text(stored).trimmed().toInt(&ok);
    member = ok ? value : 0;
}

void assign(double& member, const QVariant& stored)
{
    bool ok = false;
    const double value = text(stored).trimmed().toDouble(&ok);
    member = (ok && std::isfinite(value)) ? value : 0.0;
}

void assign(QString& member, const QVariant& stored)
{
    member = text(stored);
}

bool sync(QSettings& settings)
{
    settings.sync();
    if (settings.status() == QSettings::AccessError) {
        qWarning() << "保存设置失败:" << settings.fileName();
        return false;
    }
    return true;
}

} // namespace OptionsIo
