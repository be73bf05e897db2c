#include "platform/win32/os/RegistryProfileStore.h"

#include "platform/win32/os/WideText.h"

#include <windows.h>

#include <utility>

namespace platform::win32 {
namespace {

// An open registry key, closed when it goes out of scope.
class Key
{
public:
    Key() = default;
    ~Key()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool Open(const std::wstring& path)
    {
        return !path.empty() && RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE,
                                              &m_key) == ERROR_SUCCESS;
    }
    bool Create(const std::wstring& path)
    {
        return !path.empty() &&
               RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_SET_VALUE, nullptr, &m_key, nullptr) == ERROR_SUCCESS;
    }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

// The value's type and bytes; false when it is missing or cannot be read.
bool Query(HKEY key, const std::wstring& name, DWORD& type, std::wstring& data)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return false;
        // Room for the bytes and a NUL even when the stored text has none or an odd length.
        data.assign(size / sizeof(wchar_t) + 2, L'\0');
        DWORD got = size;
        const LONG result = RegQueryValueExW(key, name.c_str(), nullptr, &type,
                                             reinterpret_cast<BYTE*>(data.data()), &got);
        if (result == ERROR_MORE_DATA)
            continue; // the value grew in between
        if (result != ERROR_SUCCESS)
            return false;
        data.resize((got + 1) / sizeof(wchar_t));
        return true;
    }
    return false;
}

std::wstring Expand(const std::wstring& text)
{
    std::wstring expanded(text.size() + 64, L'\0');
    for (;;) {
        const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), expanded.data(),
                                                       static_cast<DWORD>(expanded.size()));
        if (needed == 0)
            return text;
        if (needed <= expanded.size()) {
            expanded.resize(needed - 1);
            return expanded;
        }
        expanded.assign(needed, L'\0');
    }
}

bool SetText(HKEY key, const std::wstring& name, const std::string& value)
{
    std::wstring wide;
    if (!ToWide(value, wide))
        return false;
    return RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool SetNumber(HKEY key, const std::wstring& name, int value)
{
    const DWORD number = static_cast<DWORD>(value);
    return RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                          sizeof number) == ERROR_SUCCESS;
}

} // namespace

RegistryProfileStore::RegistryProfileStore(std::string application)
    : m_application(std::move(application))
{
}

void RegistryProfileStore::SetRegistryKey(const std::string& company)
{
    m_company = company;
}

std::wstring RegistryProfileStore::SectionKey(const std::string& section) const
{
    std::wstring company, application, name;
    if (m_company.empty() || !ToWide(m_company, company) || !ToWide(m_application, application) ||
        !ToWide(section, name))
        return {};
    return L"Software\\" + company + L"\\" + application + L"\\" + name;
}

std::string RegistryProfileStore::GetString(const std::string& section, const std::string& entry,
                                            const std::string& def)
{
    Key key;
    std::wstring name, data;
    DWORD type = REG_NONE;
    if (!ToWide(entry, name) || !key.Open(SectionKey(section)) ||
        !Query(key.Get(), name, type, data))
        return def;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return def;
    // The text ends at its first NUL, stored or not.
    data.resize(data.find(L'\0') == std::wstring::npos ? data.size() : data.find(L'\0'));
    return ToUtf8(type == REG_EXPAND_SZ ? Expand(data) : data);
}

int RegistryProfileStore::GetInt(const std::string& section, const std::string& entry, int def)
{
    Key key;
    std::wstring name;
    if (!ToWide(entry, name) || !key.Open(SectionKey(section)))
        return def;
    DWORD type = REG_NONE, number = 0, size = sizeof number;
    if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof number)
        return def;
    return static_cast<int>(number);
}

bool RegistryProfileStore::WriteString(const std::string& section, const std::string& entry,
                                       const std::string& value)
{
    return WriteValues(section, {ProfileValue{entry, value}});
}

bool RegistryProfileStore::WriteInt(const std::string& section, const std::string& entry, int value)
{
    return WriteValues(section, {ProfileValue{entry, value}});
}

bool RegistryProfileStore::WriteValues(const std::string& section,
                                       const std::vector<ProfileValue>& values)
{
    Key key;
    if (!key.Create(SectionKey(section)))
        return false;
    bool ok = true;
    for (const ProfileValue& v : values) {
        std::wstring name;
        if (!ToWide(v.entry, name)) {
            ok = false;
            continue;
        }
        if (const int* number = std::get_if<int>(&v.value))
            ok = SetNumber(key.Get(), name, *number) && ok;
        else
            ok = SetText(key.Get(), name, std::get<std::string>(v.value)) && ok;
    }
    return ok;
}

} // namespace platform::win32
