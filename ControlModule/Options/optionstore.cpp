#include "optionstore.h"

#include "optionsio.h"

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
