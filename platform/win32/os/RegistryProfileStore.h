// The per-user settings store in the registry, as the profile functions of a Windows program
// keep it: HKEY_CURRENT_USER\Software\<company>\<application>\<section>, integers as
// REG_DWORD and texts as REG_SZ. Every call opens the key afresh.
#pragma once

#include <string>

#include "platform/ProfileStore.h"

namespace platform::win32 {

class RegistryProfileStore final : public ProfileStore
{
public:
    explicit RegistryProfileStore(std::string application = "Hanavo");

    // Before this is called, reads give the defaults and writes fail.
    void SetRegistryKey(const std::string& company) override;
    // A REG_SZ text as stored; a REG_EXPAND_SZ text with its environment variables expanded;
    // a value of any other type reads as the default.
    std::string GetString(const std::string& section, const std::string& entry,
                          const std::string& def) override;
    // A REG_DWORD value; a value of any other type or size reads as the default.
    int GetInt(const std::string& section, const std::string& entry, int def) override;
    bool WriteString(const std::string& section, const std::string& entry,
                     const std::string& value) override;
    bool WriteInt(const std::string& section, const std::string& entry, int value) override;
    // All values under one opened key.
    bool WriteValues(const std::string& section, const std::vector<ProfileValue>& values) override;

    // "Software\<company>\<application>\<section>"; empty before SetRegistryKey.
    std::wstring SectionKey(const std::string& section) const;

private:
    std::string m_application;
    std::string m_company;
};

} // namespace platform::win32
