// The per-user settings store, keyed by company, application and section.
#pragma once

#include <string>
#include <variant>
#include <vector>

namespace platform {

// One value of a section: a text or a 32-bit integer.
struct ProfileValue
{
    std::string entry;
    std::variant<std::string, int> value;
};

class ProfileStore
{
public:
    virtual ~ProfileStore() = default;
    // Selects the company key; called once before the first read.
    virtual void SetRegistryKey(const std::string& company) = 0;
    // Missing values, and integers that are not a whole 32-bit decimal number, give the default.
    virtual std::string GetString(const std::string& section, const std::string& entry,
                                  const std::string& def) = 0;
    virtual int GetInt(const std::string& section, const std::string& entry, int def) = 0;
    // Writes create what is missing and replace an existing value; an empty string is stored
    // as an empty value. False when the value could not be written.
    virtual bool WriteString(const std::string& section, const std::string& entry,
                             const std::string& value) = 0;
    virtual bool WriteInt(const std::string& section, const std::string& entry, int value) = 0;
    // Writes several values of one section, in their order, as one save: a store kept in a
    // file replaces it once. False when any value could not be written.
    virtual bool WriteValues(const std::string& section, const std::vector<ProfileValue>& values)
    {
        bool ok = true;
        for (const ProfileValue& v : values) {
            if (const int* number = std::get_if<int>(&v.value))
                ok = WriteInt(section, v.entry, *number) && ok;
            else
                ok = WriteString(section, v.entry, std::get<std::string>(v.value)) && ok;
        }
        return ok;
    }
};

} // namespace platform
