// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "helppage.h"

#include "uilog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QUrl>

namespace {
QString findPage(const QString& languageCode, const QString& programDir)
{
    const QString relative = QStringLiteral("chimewell/help/%1/chimewell.html").arg(languageCode);
    const QString besideProgram = QDir(programDir).filePath(QStringLiteral("../share/") + relative);
    if (QFileInfo::exists(besideProgram))
        return QDir::cleanPath(besideProgram);
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation, relative);
}
} // namespace

QString helpPagePath(UiLanguage language, const QString& programDir)
{
    if (language == UiLanguage::German) {
        const QString german = findPage(QStringLiteral("de"), programDir);
        if (!german.isEmpty())
            return german;
    }
    return findPage(QStringLiteral("en"), programDir);
}

void showHelpPage(QWidget* parent)
{
    const QString page = helpPagePath(uiLanguage(), QCoreApplication::applicationDirPath());
    if (page.isEmpty()) {
        qCInfo(lcUi) << "no help page installed";
        QMessageBox::information(
            parent, loadText(IDS_APP_TITLE),
            QCoreApplication::translate("HelpPage", "The help pages are not installed."));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page))) {
        qCInfo(lcUi) << "no viewer for" << page;
        QMessageBox::information(
            parent, loadText(IDS_APP_TITLE),
            QCoreApplication::translate(
                "HelpPage", "No program to show the help page was found. The page is:\n%1")
                .arg(QDir::toNativeSeparators(page)));
    }
}
