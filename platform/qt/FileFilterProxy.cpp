#include "platform/qt/FileFilterProxy.h"

#include <QFileSystemModel>

namespace platform {

std::vector<FileFilter> ParseFileFilter(const std::string& filter)
{
    std::vector<FileFilter> filters;
    QStringList pieces =
        QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size())).split(u'|');
    // Pairs of label and patterns; an empty label ends the list ("||").
    for (qsizetype i = 0; i + 1 < pieces.size(); i += 2) {
        if (pieces[i].isEmpty())
            break;
        FileFilter f;
        f.label = pieces[i];
        for (const QString& p : pieces[i + 1].split(u';', Qt::SkipEmptyParts)) {
            QString pattern = p.trimmed();
            if (pattern.isEmpty())
                continue;
            f.patterns << pattern;
            if (pattern.compare(QStringLiteral("*.exe"), Qt::CaseInsensitive) == 0)
                f.executables = true;
        }
        filters.push_back(std::move(f));
    }
    return filters;
}

FileFilterProxy::FileFilterProxy(std::vector<FileFilter> filters, QObject* parent)
    : QSortFilterProxyModel(parent), m_filters(std::move(filters))
{
    for (const FileFilter& f : m_filters) {
        std::vector<QRegularExpression> res;
        for (const QString& pattern : f.patterns) {
            // "*.*" matches names without a dot too, as it does on Windows.
            QString p = pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern;
            res.push_back(QRegularExpression::fromWildcard(p, Qt::CaseInsensitive));
        }
        m_regexps.push_back(std::move(res));
    }
}

QStringList FileFilterProxy::ChooserNameFilters() const
{
    QStringList names;
    for (const FileFilter& f : m_filters)
        names << f.label + QStringLiteral(" (*)");
    return names;
}

void FileFilterProxy::SelectChooserFilter(const QString& nameFilter)
{
    QStringList names = ChooserNameFilters();
    qsizetype i = names.indexOf(nameFilter);
    if (i < 0) {
        // The chooser may report the shown label alone.
        for (qsizetype k = 0; k < static_cast<qsizetype>(m_filters.size()); ++k)
            if (m_filters[static_cast<size_t>(k)].label.trimmed() == nameFilter.trimmed())
                i = k;
    }
    if (i >= 0)
        SelectFilter(static_cast<int>(i));
}

void FileFilterProxy::SelectFilter(int index)
{
    if (index < 0 || index >= static_cast<int>(m_filters.size()) || index == m_current)
        return;
    m_current = index;
    invalidateFilter();
}

bool FileFilterProxy::Accepts(const QString& fileName, bool executable) const
{
    if (m_filters.empty())
        return true;
    const auto& f = m_filters[static_cast<size_t>(m_current)];
    if (f.executables && executable)
        return true;
    for (const QRegularExpression& re : m_regexps[static_cast<size_t>(m_current)])
        if (re.match(fileName).hasMatch())
            return true;
    return false;
}

bool FileFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    auto* fs = qobject_cast<QFileSystemModel*>(sourceModel());
    if (!fs)
        return true;
    QModelIndex index = fs->index(sourceRow, 0, sourceParent);
    if (fs->isDir(index))
        return true;
    QFileInfo info = fs->fileInfo(index);
    bool executable = (info.permissions() &
                       (QFile::ExeOwner | QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther)) != 0;
    return Accepts(fs->fileName(index), executable);
}

} // namespace platform
