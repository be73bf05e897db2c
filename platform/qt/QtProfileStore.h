// The per-user settings store on QSettings: $XDG_CONFIG_HOME/<company>/<application>.conf, one
// group per section. Every call opens the store afresh, so an error of one write does not
// stick to the next and a changed XDG_CONFIG_HOME is followed.
#pragma once

#include <QString>
#include <QVariant>
#include <memory>
#include <string>

#include "platform/ProfileStore.h"

class QSettings;

namespace platform {

class QtProfileStore final : public ProfileStore
{
public:
    explicit QtProfileStore(std::string application = "Hanavo");

    void SetRegistryKey(const std::string& company) override;
    std::string GetString(const std::string& section, const std::string& entry,
                          const std::string& def) override;
    int GetInt(const std::string& section, const std::string& entry, int def) override;
    bool WriteString(const std::string& section, const std::string& entry,
                     const std::string& value) override;
    bool WriteInt(const std::string& section, const std::string& entry, int value) override;

    // The file the store reads and writes; empty before SetRegistryKey.
    QString FilePath() const;

private:
    std::unique_ptr<QSettings> Open() const;
    bool Write(const std::string& section, const std::string& entry, const QVariant& value);

    std::string m_application;
    std::string m_company;
    bool m_keySet = false;
};

} // namespace platform
