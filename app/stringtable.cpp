// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "stringtable.h"

#include <QLocale>

#include <atomic>

namespace {

struct TableRow
{
    int id;
    const char* english;
    const char* german;
};

// Texts exactly as shown to the user, leading and trailing blanks included.
constexpr TableRow kStrings[] = {
    {IDS_NO_PALM_DESKTOP, "No Palm Desktop found. This program requires an installed Palm Desktop.",
     "Kein Palm Desktop gefunden. Dieses Programm benötigt einen installierten Palm Desktop."},
    {IDS_ALARM_CAPTION, "Appointment due! Time now ", "Termin fällig! Zeit jetzt"},
    {IDS_APP_TITLE, "Chimewell", "Chimewell"},
    {IDS_NO_APPOINTMENTS, "No appointments today", "Keine Termine heute"},
    {IDS_PRODUCT_NAME, "Chimewell", "Chimewell"},
    {IDS_CAPTION_WITH_TODOS, "Appointments and To Do items for today",
     "Termine und Aufgaben für heute"},
    {IDS_CAPTION_APPOINTMENTS, "Appointments for today", "Termine für heute"},
    {IDS_NO_MORE_APPOINTMENTS, "No more appointments today", "Keine weiteren Termine"},
    {IDS_CANT_READ_DATEBOOK, "Error: Can't read datebook", "Error: Kann datebook nicht lesen"},
    {IDS_TODO_PREFIX, " To Do: ", "Aufgaben:"},
    {IDS_REMIND_AGAIN_PLURAL, "Remind again in %d minutes", "Wieder erinnern in %d Minuten"},
    {IDS_REMIND_AGAIN_SINGULAR, "Remind again in %d minute", "Wieder erinnern in %d Minute"},
    {IDS_CANT_READ_DATEBOOK_BECAUSE, "Error: Can't read datebook: %1",
     "Error: Kann datebook nicht lesen: %1"},
    {IDS_CANT_READ_TODOS_BECAUSE, "Error: Can't read to-do list: %1",
     "Error: Kann Aufgabenliste nicht lesen: %1"},
    {IDS_SETTINGS_NOT_SAVED, "The settings could not be saved to %1.",
     "Die Einstellungen konnten nicht in %1 gespeichert werden."},
    {IDS_NO_PRIVATE_FOLDER,
     "Chimewell cannot run without a folder of its own for its lock and its copies of the "
     "Palm data: %1.",
     "Chimewell kann ohne eigenen Ordner für seine Sperre und seine Kopien der Palm-Daten "
     "nicht laufen: %1."},
    {IDS_MISSED_ALARM, "Missed reminder: %1", "Verpasste Erinnerung: %1"},
    {IDS_PRIVATE_APPOINTMENT, "Private appointment", "Privater Termin"},
};

// -1 = follow the system; otherwise a pinned UiLanguage. Atomic: the worker loads texts too.
std::atomic<int> g_pinnedLanguage{-1};

} // namespace

UiLanguage systemUiLanguage()
{
    const QStringList languages = QLocale::system().uiLanguages();
    if (!languages.isEmpty() && languages.first().startsWith(QLatin1String("de")))
        return UiLanguage::German;
    return UiLanguage::English;
}

void setUiLanguage(UiLanguage language)
{
    g_pinnedLanguage.store(static_cast<int>(language));
}

UiLanguage uiLanguage()
{
    const int pinned = g_pinnedLanguage.load();
    return pinned < 0 ? systemUiLanguage() : static_cast<UiLanguage>(pinned);
}

QString loadText(int id)
{
    const bool german = uiLanguage() == UiLanguage::German;
    for (const TableRow& row : kStrings) {
        if (row.id == id)
            return QString::fromUtf8(german ? row.german : row.english);
    }
    return QString();
}

QString getVersionText()
{
    return QStringLiteral(CHIMEWELL_VERSION);
}
