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

// What is not a whole 32-bit number reads as the default.
int MemoryProfileStore::GetInt(const std::string& section, const std::string& entry, int def)
{
    int value = def;
    platform::ParseInt32(GetString(section, entry, ""), value);
    return value;
}

bool MemoryProfileStore::WriteString(const std::string& section, const std::string& entry,
                                     const std::string& value)
{
    log.push_back("write " + entry);
    if (!failWrites)
        values[section + "/" + entry] = value;
    return !failWrites;
}

} // namespace testing_support
