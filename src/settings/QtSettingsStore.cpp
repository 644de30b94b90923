#include "QtSettingsStore.h"

namespace {
QString key(const std::string& section, const std::string& entry)
{
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(entry);
}
} // namespace

QtSettingsStore::QtSettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrix"),
                                             QStringLiteral("Kestrix Vaultline")))
{
}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
}

std::string QtSettingsStore::read(const std::string& section, const std::string& entry) const
{
    return m_settings->value(key(section, entry)).toString().toStdString();
}

void QtSettingsStore::write(const std::string& section, const std::string& entry, const std::string& value)
{
    m_settings->setValue(key(section, entry), QString::fromStdString(value));
    m_settings->sync();
}
