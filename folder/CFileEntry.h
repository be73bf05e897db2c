// One file of the launch folder. Its name may start with a four-byte entry prefix, two digits,
// e or d, and an underscore ("01e_setup.sh"), recording its place and whether it is enabled.
#pragma once

#include <string>

class CFileEntry
{
public:
    CFileEntry() = default;
    explicit CFileEntry(std::string fileName) : m_strFileName(std::move(fileName)) {}
    virtual ~CFileEntry() = default;
    CFileEntry(const CFileEntry&) = default;
    CFileEntry& operator=(const CFileEntry&) = default;

    std::string GetFileName() const { return m_strFileName; }
    void SetFileName(const std::string& name) { m_strFileName = name; }

    bool HasPrefix() const;
    // The name less a well-formed prefix; only one prefix is stripped.
    std::string GetDisplayName() const;
    // False only for a well-formed prefix with the letter d.
    bool IsEnabled() const;

private:
    std::string m_strFileName;
};
