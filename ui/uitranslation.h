// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/stringtable.h"

#include <QTranslator>

// The windows' texts in the UI language while this object lives. The texts are written in
// English; German installs the program's German texts, compiled into the resources, and Qt's
// own German texts (the edit fields' context menus) when this machine has them.
class UiTranslation
{
public:
    explicit UiTranslation(UiLanguage language);

    // False when the German texts could not be loaded: the windows then stay English.
    bool loaded() const { return m_loaded; }

private:
    QTranslator m_qtTexts;
    QTranslator m_programTexts;
    bool m_loaded = true;
};
