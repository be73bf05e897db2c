// An in-memory settings store that records the order of reads and writes.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/Number.h"
#include "platform/ProfileStore.h"

namespace testing_support {

class MemoryProfileStore : public platform::ProfileStore
{
public:
    void SetRegistryKey(const std::string& name) override { company = name; }
    std::string GetString(const std::string& section, const std::string& entry,
                          const std::string& def) override
    {
        log.push_back("get " + entry);
        auto it = values.find(section + "/" + entry);
        return it == values.end() ? def : it->second;
    }
    // What is not a whole 32-bit number reads as the default.
    int GetInt(const std::string& section, const std::string& entry, int def) override
    {
        int value = def;
        platform::ParseInt32(GetString(section, entry, ""), value);
        return value;
    }
    bool WriteString(const std::string& section, const std::string& entry,
                     const std::string& value) override
    {
        log.push_back("write " + entry);
        if (!failWrites)
            values[section + "/" + entry] = value;
        return !failWrites;
    }
    bool WriteInt(const std::string& section, const std::string& entry, int value) override
    {
        return WriteString(section, entry, std::to_string(value));
    }

    // Values as text, as a file-backed store would hold them.
    std::map<std::string, std::string> values; // key "Section/Entry"
    std::vector<std::string> log;              // "get Seconds", "write Command", ...
    std::string company;
    bool failWrites = false;
};

} // namespace testing_support
