// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "helptexts.h"

#include "app/stringtable.h"

namespace {
// Keep these texts in step with res/help/*/chimewell.html, which shows them word for word.
const ContextHelp Topics[] = {
    {helpContext(IDC_SHOW_TODOS),
     "Lists the to-do items that are due today or overdue below the appointments.",
     "Zeigt unter den Terminen die Aufgaben, die heute oder schon früher fällig sind."},
    {helpContext(IDC_TODOS_NO_DATE),
     "Also lists the to-do items without a due date, up to the priority chosen beside it.",
     "Zeigt auch die Aufgaben ohne Fälligkeitsdatum bis zu der daneben gewählten Priorität."},
    {helpContext(IDC_MAX_PRIORITY),
     "The highest priority number of the to-do items that are listed; 1 lists only the most "
     "important ones.",
     "Die höchste Prioritätsnummer der gezeigten Aufgaben; 1 zeigt nur die wichtigsten."},
    {helpContext(IDC_SHOW_PRIVATE),
     "Also lists the appointments and to-do items that are marked private in Palm Desktop. "
     "Without it, the reminder of a private appointment still comes, but says only \"Private "
     "appointment\" and its time.",
     "Zeigt auch die Termine und Aufgaben, die im Palm Desktop als privat markiert sind. Ohne "
     "diese Option kommt die Erinnerung an einen privaten Termin trotzdem, nennt aber nur "
     "„Privater Termin“ und seine Uhrzeit."},
    {helpContext(IDC_PASSWORD),
     "The password for the items marked private. It is kept only when Store is ticked.",
     "Das Kennwort für die als privat markierten Einträge. Es wird nur behalten, wenn "
     "„Speichern“ angekreuzt ist."},
    {helpContext(IDC_STORE_PASSWORD),
     "Keeps the password in your settings, scrambled, so that you need not enter it again.",
     "Behält das Kennwort verschleiert in Ihren Einstellungen, damit Sie es nicht erneut "
     "eingeben müssen."},
    {helpContext(IDC_AUTOHIDE),
     "Hides the window a second after Chimewell starts; the tray icon brings it back.",
     "Blendet das Fenster eine Sekunde nach dem Start aus; das Symbol im Infobereich holt es "
     "zurück."},
    {helpContext(IDC_BEEP), "Plays a short chime when the reminder window of an appointment opens.",
     "Spielt einen kurzen Klang, wenn sich das Erinnerungsfenster eines Termins öffnet."},
    {helpContext(IDC_AUTOSTART), "Starts Chimewell each time you log on to your desktop.",
     "Startet Chimewell bei jeder Anmeldung an Ihrem Desktop."},
    {helpContext(IDC_SHOW_UNTIMED), "Also lists the appointments of today that have no start time.",
     "Zeigt auch die heutigen Termine ohne Anfangszeit."},
    {helpContext(IDC_WARN_RED), "Shows the reminder window of an appointment on a red background.",
     "Zeigt das Erinnerungsfenster eines Termins auf rotem Hintergrund."},
    {helpContext(IDC_SHOW_ALL_TODAY),
     "Lists all of today's appointments, also those that are already over.",
     "Zeigt alle heutigen Termine, auch die schon vergangenen."},
};
} // namespace

std::span<const ContextHelp> contextHelpTable()
{
    return Topics;
}

QString contextHelpText(int context)
{
    for (const ContextHelp& topic : Topics) {
        if (topic.context == context)
            return QString::fromUtf8(uiLanguage() == UiLanguage::German ? topic.german
                                                                        : topic.english);
    }
    return {};
}
