// The per-user settings store in a file of our own: <config folder>/<company>/<application>.conf,
// one group per section (the format is SettingsText's). Every read opens the file afresh; a
// save of several values replaces the file once, atomically: a crash leaves the old file or
// the new one, whole.
#pragma once

#include <optional>
#include <string>

#include "platform/ProfileStore.h"

namespace platform {

class FileProfileStore final : public ProfileStore
{
public:
    explicit FileProfileStore(std::string application = "Hanavo");

    void SetRegistryKey(const std::string& company) override;
    std::string GetString(const std::string& section, const std::string& entry,
                          const std::string& def) override;
    int GetInt(const std::string& section, const std::string& entry, int def) override;
    bool WriteString(const std::string& section, const std::string& entry,
                     const std::string& value) override;
    bool WriteInt(const std::string& section, const std::string& entry, int value) override;
    // Values with a line break, or names that could not be read back, are not written and make
    // the result false; the others are still saved.
    bool WriteValues(const std::string& section, const std::vector<ProfileValue>& values) override;

    // The file the store reads and writes; empty before SetRegistryKey or without a home.
    std::string FilePath() const;

private:
    std::optional<std::string> Read(const std::string& section, const std::string& entry) const;

    std::string m_application;
    std::string m_company;
    bool m_keySet = false;
};

} // namespace platform
