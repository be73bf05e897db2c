#include "support/MemoryProfileStore.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

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
    if (it == values.end() || it->second.empty())
        return def;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(it->second.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX)
        return def;
    return static_cast<int>(v);
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
