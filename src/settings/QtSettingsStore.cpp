#include "QtSettingsStore.h"

#include <QFile>

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
    // The file names the site's database and user: readable by its owner only, however the
    // process's umask would have made it.
    QFile::setPermissions(m_settings->fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
