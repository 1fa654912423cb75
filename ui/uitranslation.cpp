// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "uitranslation.h"

#include "uilog.h"

#include <QCoreApplication>
#include <QLibraryInfo>

UiTranslation::UiTranslation(UiLanguage language)
{
    if (language != UiLanguage::German)
        return;
    if (m_qtTexts.load(QStringLiteral("qtbase_de"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_qtTexts);
    m_loaded = m_programTexts.load(QStringLiteral(":/translations/chimewell_de.qm"));
    if (m_loaded)
        QCoreApplication::installTranslator(&m_programTexts);
    else
        qCWarning(lcUi) << "the German texts are missing from the program";
}
