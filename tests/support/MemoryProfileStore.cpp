#include "support/MemoryProfileStore.h"

#include "platform/Number.h"

namespace testing_support {

std::string MemoryProfileStore::GetString(const std::string& section, const std::string& entry,
                                          const std::string& def)
{
    log.push_back("get " + entry);
    auto it = values.find(section + "/" + entry);
    return it == values.end() ? def : it->second;
}

int MemoryProfileStore::GetInt(const std::string& section, const std::string& entry, int def)
{
    log.push_back("get " + entry);
    auto it = values.find(section + "/" + entry);
    int value = def;
    if (it != values.end())
        platform::ParseInt32(it->second, value);
    return value;
}

bool MemoryProfileStore::WriteString(const std::string& section, const std::string& entry,
                                     const std::string& value)
{
    log.push_back("write " + entry);
    if (failWrites)
        return false;
    values[section + "/" + entry] = value;
    return true;
}

bool MemoryProfileStore::WriteInt(const std::string& section, const std::string& entry, int value)
{
    return WriteString(section, entry, std::to_string(value));
}

} // namespace testing_support
