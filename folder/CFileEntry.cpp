#include "folder/CFileEntry.h"

namespace {
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
} // namespace

bool CFileEntry::HasPrefix() const
{
    const std::string& n = m_strFileName;
    return n.size() >= 4 && IsDigit(n[0]) && IsDigit(n[1]) && (n[2] == 'e' || n[2] == 'd') &&
           n[3] == '_';
}

std::string CFileEntry::GetDisplayName() const
{
    return HasPrefix() ? m_strFileName.substr(4) : m_strFileName;
}

bool CFileEntry::IsEnabled() const
{
    return !(HasPrefix() && m_strFileName[2] == 'd');
}
