#pragma once

#include "app/SettingsStore.h"

#include <QSettings>
#include <memory>

// The settings in an INI file: organisation "Kestrix", application "Kestrix Vaultline",
// sections "Connection" and "Setup", every value written as text.
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();                                // the user's settings file
    explicit QtSettingsStore(const QString& iniPath); // a given file (tests)

    std::string read(const std::string& section, const std::string& entry) const override;
    void write(const std::string& section, const std::string& entry, const std::string& value) override;

    QString fileName() const { return m_settings->fileName(); }

private:
    std::unique_ptr<QSettings> m_settings;
};
