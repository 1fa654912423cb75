// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsstorage.h"

#include "autostart.h"
#include "logcategories.h"
#include "palm/settings.h"
#include "palmfile/codepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>

#include <array>
#include <cstdint>

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QString kSection = QStringLiteral("Options");
const QString kPassword = QStringLiteral("password");

// An integer value of the profile and the Settings field it fills.
struct IntValue
{
    const char* name;
    int Settings::*field;
    int defaultValue;
};

// In the order load reads them; "palmuserid" and "showalltodaysappts" take their defaults from
// the record (the value after construction, and the just loaded "showuntimedappts").
const std::array<IntValue, 13> kIntValues = {{
    {"palmuserid", &Settings::palmuserid, 0},
    {"warntime", &Settings::warntime, 5},
    {"warnagaintime", &Settings::warnagaintime, 1},
    {"maxprio", &Settings::maxprio, 1},
    {"showtodos", &Settings::showtodos, 1},
    {"showtodosnodate", &Settings::showtodosnodate, 0},
    {"beep", &Settings::beep, 0},
    {"autohide", &Settings::autohide, 1},
    {"showprivate", &Settings::showprivate, 0},
    {"showuntimedappts", &Settings::showuntimedappts, 1},
    {"showalltodaysappts", &Settings::showalltodaysappts, 0},
    {"warnred", &Settings::warnred, 1},
    {"rememberpassword", &Settings::rememberpassword, 0},
}};

// Values this program added after the fourteen of the registry: read and written after
// "password", so the registry's values keep their order and older versions skip these.
const std::array<IntValue, 1> kAddedValues = {{
    {"ringmissed", &Settings::ringmissed, 1},
}};

// The order save writes them in; "password" follows.
const std::array<const char*, 13> kSaveOrder = {
    "palmuserid",        "warntime",        "warnagaintime", "maxprio",
    "showtodos",         "showtodosnodate", "beep",          "showprivate",
    "rememberpassword",  "autohide",        "warnred",       "showuntimedappts",
    "showalltodaysappts"};

// The integer field stored under `name`, or null.
int Settings::*fieldOf(const QString& name)
{
    for (const IntValue& value : kIntValues) {
        if (name == QLatin1String(value.name))
            return value.field;
    }
    for (const IntValue& value : kAddedValues) {
        if (name == QLatin1String(value.name))
            return value.field;
    }
    return nullptr;
}

// A registry DWORD arrives as an integer, an INI value as text; anything else (or text that
// is no whole number) is the wrong type.
int readInt(const QSettings& profile, const QString& key, int defaultValue)
{
    const QVariant value = profile.value(key);
    if (!value.isValid())
        return defaultValue;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return static_cast<int>(value.toLongLong());
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        bool ok = false;
        const int number = value.toString().trimmed().toInt(&ok);
        if (ok)
            return number;
        break;
    }
    default:
        break;
    }
    qCWarning(lcSettings) << "profile value" << key << "is not a whole number; using"
                          << defaultValue;
    return defaultValue;
}

// The registry held the scrambled bytes as an ANSI (Windows-1252) string; every byte has its
// own character there, so the exact bytes survive.
QString bytesToText(const QByteArray& bytes)
{
    return QString::fromStdString(palmfile::cp1252ToUtf8(bytes.toStdString()));
}

QByteArray textToBytes(const QString& text)
{
    return QByteArray::fromStdString(palmfile::utf8ToCp1252(text.toStdString()));
}

// The clear password's bytes: Windows-1252, as older versions of Chimewell wrote them, or
// UTF-8, which some versions wrote for every password. Valid UTF-8 is taken for UTF-8.
QString passwordFromBytes(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? bytesToText(bytes) : text;
}

// Windows-1252 where that reads back as the same password (what older versions of Chimewell
// and the Windows registry hold); UTF-8 for a character Windows-1252 lacks, or for bytes that
// would read back as UTF-8 text, so that no password is lost.
QByteArray passwordToBytes(const QString& password)
{
    const QByteArray windows1252 = textToBytes(password);
    return passwordFromBytes(windows1252) == password ? windows1252 : password.toUtf8();
}

// Whether this save reached the profile. A read error (a file that did not parse) hides the
// write's own outcome: then the profile must at least be writable.
bool written(const QSettings& profile, QSettings::Status before)
{
    if (before == QSettings::NoError)
        return profile.status() == QSettings::NoError;
    return profile.isWritable();
}

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
// Takes group and other rights away from `path` when it is ours and of the type wanted.
void keepToOwner(const QByteArray& path, bool folder)
{
    struct stat status
    {};
    if (::lstat(path.constData(), &status) != 0 || status.st_uid != geteuid() ||
        (folder ? !S_ISDIR(status.st_mode) : !S_ISREG(status.st_mode)))
        return;
    if ((status.st_mode & 077) != 0 && ::chmod(path.constData(), status.st_mode & 0700) != 0)
        qCWarning(lcSettings) << "cannot make" << path << "private:" << strerror(errno);
}

// The profile file and its folder, made before the first save writes them with the umask's
// rights; a save keeps the rights of the file it replaces.
void keepProfilePrivate(const QString& fileName)
{
    const QFileInfo file(fileName);
    QDir().mkpath(QFileInfo(file.absolutePath()).absolutePath());
    const QByteArray folder = QFile::encodeName(file.absolutePath());
    ::mkdir(folder.constData(), 0700);
    keepToOwner(folder, true);
    const QByteArray path = QFile::encodeName(file.absoluteFilePath());
    const int fd =
        ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    keepToOwner(path, false);
}
#endif

} // namespace

QByteArray scramblePassword(const QByteArray& text)
{
    QByteArray out = text;
    std::int32_t state = 7351;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        // Park-Miller constants, but the product wraps at 32 bits: stored passwords depend on it.
        state = static_cast<std::int32_t>(static_cast<std::uint32_t>(state) * 16807u);
        state %= 2147483647;
        const std::uint32_t k = static_cast<std::uint32_t>(state < 0 ? -state : state) & 0x3F;
        const auto in = static_cast<std::uint8_t>(text[i]);
        out[i] = static_cast<char>(static_cast<std::uint8_t>(((in - 0x20) ^ k) + 0x20));
    }
    return out;
}

bool setSettingsValue(Settings& settings, const QString& name, const QString& value)
{
    if (name == kPassword) {
        settings.password = value;
        return true;
    }
    int Settings::*field = fieldOf(name);
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!field || !ok)
        return false;
    if (field == &Settings::palmuserid)
        settings.selectPalmUser(number);
    else
        settings.*field = number;
    return true;
}

SettingsStorage::SettingsStorage(QSettings& profile, Autostart* autostart)
    : m_profile(profile), m_autostart(autostart)
{}

int SettingsStorage::load(Settings& settings)
{
    m_profile.beginGroup(kSection);
    for (const IntValue& value : kIntValues) {
        int defaultValue = value.defaultValue;
        if (value.field == &Settings::palmuserid)
            defaultValue = settings.palmuserid;
        else if (value.field == &Settings::showalltodaysappts)
            defaultValue = settings.showuntimedappts;
        settings.*value.field = readInt(m_profile, QLatin1String(value.name), defaultValue);
        if (value.field == &Settings::palmuserid)
            settings.selectPalmUser(settings.palmuserid);
    }
    const QVariant stored = m_profile.value(kPassword);
    if (stored.isValid() && stored.typeId() != QMetaType::QString)
        qCWarning(lcSettings) << "profile value password is not a text; using \"\"";
    const QString scrambled = stored.typeId() == QMetaType::QString ? stored.toString() : QString();
    settings.password = passwordFromBytes(scramblePassword(textToBytes(scrambled)));
    for (const IntValue& value : kAddedValues)
        settings.*value.field = readInt(m_profile, QLatin1String(value.name), value.defaultValue);
    m_profile.endGroup();
    if (m_profile.status() == QSettings::FormatError)
        qCWarning(lcSettings) << "the settings file" << m_profile.fileName()
                              << "is damaged; what cannot be read takes its default";

    if (m_autostart)
        settings.autostart = m_autostart->startupShortcutExists();
    qCDebug(lcSettings) << "settings loaded from" << m_profile.fileName();
    return 0;
}

int SettingsStorage::save(const Settings& settings)
{
    const QSettings::Status before = m_profile.status();
    m_profile.beginGroup(kSection);
    for (const char* name : kSaveOrder)
        m_profile.setValue(QLatin1String(name), settings.*fieldOf(QLatin1String(name)));
    m_profile.setValue(kPassword,
                       bytesToText(scramblePassword(passwordToBytes(settings.password))));
    for (const IntValue& value : kAddedValues)
        m_profile.setValue(QLatin1String(value.name), settings.*value.field);
    m_profile.endGroup();
    m_profile.sync();

    int status = 0;
    if (!written(m_profile, before)) {
        status = kNotWritten;
        qCWarning(lcSettings) << "could not save the settings to" << m_profile.fileName();
    }
    if (m_autostart) {
        const int runKey = m_autostart->removeRunKeyValue();
        if (status == 0)
            status = runKey;
        if (settings.autostart != 0)
            m_autostart->createStartupShortcut();
        else
            m_autostart->deleteStartupShortcut();
    }
    return status;
}

std::unique_ptr<QSettings> openProfile(const QString& applicationName)
{
    auto profile = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                               QStringLiteral("Corvander"), applicationName);
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    keepProfilePrivate(profile->fileName());
#endif
    return profile;
}
