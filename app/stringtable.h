// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Ids of the program's own texts (English and German), also used on the refresh worker's thread.
// The windows' captions and control texts are translated through Qt (res/translations).
enum StringId : int
{
    IDS_NO_PALM_DESKTOP = 1,
    IDS_ALARM_CAPTION = 2,
    IDS_APP_TITLE = 3,
    IDS_NO_APPOINTMENTS = 4,
    IDS_PRODUCT_NAME = 5,
    IDS_CAPTION_WITH_TODOS = 32781,
    IDS_CAPTION_APPOINTMENTS = 32782,
    IDS_NO_MORE_APPOINTMENTS = 32783,
    IDS_CANT_READ_DATEBOOK = 32784,
    IDS_TODO_PREFIX = 32785,
    IDS_REMIND_AGAIN_PLURAL = 32787,
    IDS_REMIND_AGAIN_SINGULAR = 32788,
    IDS_CANT_READ_DATEBOOK_BECAUSE = 32789,
    IDS_CANT_READ_TODOS_BECAUSE = 32790,
    IDS_SETTINGS_NOT_SAVED = 32791,
    IDS_NO_PRIVATE_FOLDER = 32792,
    IDS_MISSED_ALARM = 32793,
    IDS_PRIVATE_APPOINTMENT = 32794,
};

enum class UiLanguage
{
    English,
    German
};

// German when the user's first UI language is German, else English.
UiLanguage systemUiLanguage();
// Tests pin the language; by default it follows systemUiLanguage().
void setUiLanguage(UiLanguage language);
UiLanguage uiLanguage();

// The text of `id` in the current UI language; an unknown id gives "".
QString loadText(int id);

// The program's whole version number, as the build sets it ("1.1.0.2").
QString getVersionText();
