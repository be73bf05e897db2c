// The file chooser's filters. The program gives them as "label|patterns|label|patterns||" with
// patterns separated by "; ". Qt's own name filtering cannot show programs without an
// extension, so the chooser lets every file through and this proxy does the filtering: a file
// passes when its name matches one of the current filter's patterns (case-insensitively, as on
// Windows, where "*.*" matches every name), or, for a filter of executables, when it carries an
// execute bit. Folders always pass, so the user can move around.
#pragma once

#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QString>
#include <string>
#include <vector>

namespace platform {

struct FileFilter
{
    QString label;            // shown exactly as stored
    QStringList patterns;     // as stored, blanks trimmed
    bool executables = false; // a filter for programs (it names *.exe)
};

std::vector<FileFilter> ParseFileFilter(const std::string& filter);

class FileFilterProxy : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit FileFilterProxy(std::vector<FileFilter> filters, QObject* parent = nullptr);

    // The name filters to give the chooser, one per filter in order: each label with a
    // pattern that lets everything through to this proxy.
    QStringList ChooserNameFilters() const;
    // Selects the filter in force by its chooser name filter or its index.
    void SelectChooserFilter(const QString& nameFilter);
    void SelectFilter(int index);
    int CurrentFilter() const { return m_current; }

    // Whether a file of this name and execute bit passes the current filter.
    bool Accepts(const QString& fileName, bool executable) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    std::vector<FileFilter> m_filters;
    std::vector<std::vector<QRegularExpression>> m_regexps;
    int m_current = 0;
};

} // namespace platform
