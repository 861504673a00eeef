#include "optionstore.h"

#include "optionsio.h"

#include <QDebug>

#include <cmath>

OptionFile::OptionFile(const QString& iniPath, const QString& group)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
    , m_group(group)
{
}

OptionFile::~OptionFile() = default;

QString OptionFile::fileName() const
{
    return m_settings->fileName();
}

QStringList OptionFile::keys() const
{
    QMutexLocker locker(&m_mutex);
    m_settings->beginGroup(m_group);
    const QStringList present = m_settings->childKeys();
    m_settings->endGroup();
    return present;
}

QString OptionFile::path(const char* key) const
{
    return m_group + QLatin1Char('/') + QLatin1String(key);
}

QVariant OptionFile::value(const char* key) const
{
    return m_settings->value(path(key));
}

void OptionFile::setValue(const char* key, const QVariant& value)
{
    m_settings->setValue(path(key), value);
}

void OptionFile::write(const char* key, const Slot& slot)
{
    std::visit([&](auto member) { setValue(key, QVariant::fromValue(*member)); }, slot);
}

void OptionFile::read(const char* key, const Slot& slot, OptionRule rule)
{
    const QVariant stored = value(key);
    if (rule == OptionRule::Keep && OptionsIo::text(stored).isEmpty())
        return;
    assign(slot, stored);
}

bool OptionFile::sync()
{
    return OptionsIo::sync(*m_settings);
}

void OptionFile::assign(const Slot& slot, const QVariant& value)
{
    std::visit([&](auto member) { OptionsIo::assign(*member, value); }, slot);
}

namespace {

bool withinLimit(double value, const OptionLimit& limit)
{
    return std::isfinite(value) && value >= limit.low && value <= limit.high;
}

// Every comma-separated element a number within the limit.
bool listWithinLimit(const QString& text, const OptionLimit& limit)
{
    for (const QString& element : text.split(QLatin1Char(','))) {
        bool ok = false;
        const double value = element.trimmed().toDouble(&ok);
        if (!ok || !withinLimit(value, limit))
            return false;
    }
    return true;
}

} // namespace

void OptionFile::keepInLimit(const char* key, const Slot& slot, const OptionLimit& limit)
{
    const QString stored = OptionsIo::text(value(key));
    // A missing or empty value follows the entry's rule; only what the file holds is judged.
    if (stored.trimmed().isEmpty())
        return;
    bool ok = false;
    const double number = stored.trimmed().toDouble(&ok);
    const bool inLimit = std::visit(
        [&](auto member) {
            using T = std::decay_t<decltype(*member)>;
            if constexpr (std::is_same_v<T, QString>)
                return listWithinLimit(stored, limit);
            else if constexpr (std::is_same_v<T, bool>)
                return true;
            else if (!ok || !std::isfinite(number))
                return true; // unreadable text: the conversion already gave the plain value
            else
                return withinLimit(number, limit) && withinLimit(double(*member), limit);
        },
        slot);
    if (inLimit)
        return;
    qWarning().noquote() << QStringLiteral("设置值超出范围，使用默认值:") << m_group + QLatin1Char('/') + QLatin1String(key)
                         << stored << QStringLiteral("->") << OptionsIo::text(limit.fallback);
    assign(slot, limit.fallback);
}
