#include "platform/qt/QtProfileStore.h"

#include <QSettings>
#include <QStandardPaths>

#include "platform/Number.h"

namespace platform {
namespace {

QString FromUtf8(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString Key(const std::string& section, const std::string& entry)
{
    return FromUtf8(section) + u'/' + FromUtf8(entry);
}

} // namespace

QtProfileStore::QtProfileStore(std::string application) : m_application(std::move(application)) {}

void QtProfileStore::SetRegistryKey(const std::string& company)
{
    m_company = company;
    m_keySet = true;
}

QString QtProfileStore::FilePath() const
{
    if (!m_keySet)
        return {};
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QString path = base;
    if (!m_company.empty())
        path += u'/' + FromUtf8(m_company);
    return path + u'/' + FromUtf8(m_application) + QStringLiteral(".conf");
}

std::unique_ptr<QSettings> QtProfileStore::Open() const
{
    QString path = FilePath();
    if (path.isEmpty())
        return nullptr;
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

std::string QtProfileStore::GetString(const std::string& section, const std::string& entry,
                                      const std::string& def)
{
    auto settings = Open();
    if (!settings)
        return def;
    QVariant value = settings->value(Key(section, entry));
    if (!value.isValid())
        return def;
    // Text that is not UTF-8 (a folder name in another encoding) was stored as bytes.
    if (value.typeId() == QMetaType::QByteArray) {
        QByteArray bytes = value.toByteArray();
        return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
    }
    if (value.typeId() != QMetaType::QString)
        return def;
    QByteArray utf8 = value.toString().toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

int QtProfileStore::GetInt(const std::string& section, const std::string& entry, int def)
{
    auto settings = Open();
    if (!settings)
        return def;
    QVariant value = settings->value(Key(section, entry));
    if (value.typeId() != QMetaType::QString)
        return def;
    int parsed = 0;
    return ParseInt32(value.toString().toStdString(), parsed) ? parsed : def;
}

bool QtProfileStore::Write(const std::string& section, const std::string& entry,
                           const QVariant& value)
{
    auto settings = Open();
    if (!settings || !settings->isWritable())
        return false;
    settings->setValue(Key(section, entry), value);
    settings->sync();
    return settings->status() == QSettings::NoError;
}

bool QtProfileStore::WriteString(const std::string& section, const std::string& entry,
                                 const std::string& value)
{
    QByteArray bytes(value.data(), static_cast<qsizetype>(value.size()));
    QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() != bytes)
        return Write(section, entry, bytes);
    return Write(section, entry, text);
}

bool QtProfileStore::WriteInt(const std::string& section, const std::string& entry, int value)
{
    return Write(section, entry, QString::number(value));
}

} // namespace platform
