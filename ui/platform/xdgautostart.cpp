// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "xdgautostart.h"

#include "app/stringtable.h"
#include "platformautostart.h"
#include "ui/uilog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace {

// A string value of a desktop entry key: backslashes and line breaks escaped.
QString desktopStringValue(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return text;
}

// Whether the entry's [Desktop Entry] group carries a desktop's "off" switch: the user turned
// autostart off in the desktop's own settings.
bool switchedOff(const QByteArray& entry)
{
    bool inMainGroup = false;
    for (const QByteArray& rawLine : entry.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inMainGroup || equals < 0)
            continue;
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1).trimmed();
        if ((key == "Hidden" && value == "true") ||
            (key == "X-GNOME-Autostart-enabled" && value == "false"))
            return true;
    }
    return false;
}

} // namespace

XdgAutostart::XdgAutostart(const QString& autostartFolder, const QString& executable)
    : m_folder(autostartFolder), m_executable(executable)
{}

QString XdgAutostart::defaultFolder()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    if (config.isEmpty() || QDir::isRelativePath(config)) {
        const QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty())
            return {};
        config = home + QStringLiteral("/.config");
    }
    return config + QStringLiteral("/autostart");
}

QString XdgAutostart::entryPath() const
{
    if (m_folder.isEmpty())
        return {};
    return m_folder + QLatin1Char('/') + loadText(IDS_PRODUCT_NAME) + QStringLiteral(".desktop");
}

int XdgAutostart::startupShortcutExists()
{
    if (m_folder.isEmpty())
        return -1;
    QFile entry(entryPath());
    if (!entry.open(QIODevice::ReadOnly))
        return 0;
    return switchedOff(entry.readAll()) ? 0 : 1;
}

int XdgAutostart::createStartupShortcut()
{
    if (m_folder.isEmpty())
        return -1;
    // The folder does not exist until the first program of a fresh account asks for it.
    if (!QDir().mkpath(m_folder)) {
        qCWarning(lcUi) << "cannot create the autostart folder" << m_folder;
        return -1;
    }
    const QString name = loadText(IDS_PRODUCT_NAME);
    QSaveFile entry(entryPath());
    if (!entry.open(QIODevice::WriteOnly)) {
        qCWarning(lcUi) << "cannot write" << entry.fileName() << entry.errorString();
        return -1;
    }
    const QString text =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=%1\n"
                       "Comment=%1\n"
                       "Exec=%2\n"
                       "Path=%3\n"
                       "Icon=chimewell\n"
                       "Terminal=false\n")
            .arg(name, desktopExecArgument(m_executable), desktopStringValue(m_folder));
    entry.write(text.toUtf8());
    if (!entry.commit()) {
        qCWarning(lcUi) << "cannot write" << entry.fileName() << entry.errorString();
        return -1;
    }
    return 0;
}

int XdgAutostart::deleteStartupShortcut()
{
    if (m_folder.isEmpty())
        return -1;
    // An entry the desktop switched off is off already; in the user's folder it may also hide
    // a system-wide entry of the same name, which deleting it would bring back.
    QFile entry(entryPath());
    if (entry.open(QIODevice::ReadOnly) && switchedOff(entry.readAll()))
        return 0;
    entry.remove();
    return 0;
}

QString desktopExecArgument(const QString& path)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString argument = path;
    // A literal percent sign is written twice: single ones start field codes.
    argument.replace(QLatin1Char('%'), QStringLiteral("%%"));
    const bool quote = std::any_of(argument.cbegin(), argument.cend(),
                                   [](QChar c) { return reserved.contains(c); });
    if (quote) {
        QString quoted;
        for (QChar c : argument) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        argument = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    // The value of a desktop entry key escapes its backslashes once more.
    return desktopStringValue(argument);
}

std::unique_ptr<Autostart> makeAutostart()
{
    return std::make_unique<XdgAutostart>(XdgAutostart::defaultFolder(),
                                          QCoreApplication::applicationFilePath());
}
