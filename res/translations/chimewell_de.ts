<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About Chimewell</source>
        <translation>Über Chimewell</translation>
    </message>
    <message>
        <source>Get notified about Palm appointments on your Desktop</source>
        <translation>Erinnert an die Termine aus dem Palm Desktop</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>AlarmDialog</name>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Warn again</source>
        <translation>&amp;Erneut erinnern</translation>
    </message>
</context>
<context>
    <name>HyperLink</name>
    <message>
        <source>The operating system is out
of memory or resources.</source>
        <translation>Dem Betriebssystem fehlt es an
Speicher oder Ressourcen.</translation>
    </message>
    <message>
        <source>The specified file was not found.</source>
        <translation>Die angegebene Datei wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>The specified path was not found.</source>
        <translation>Der angegebene Pfad wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>The operating system denied
access to the specified file.</source>
        <translation>Das Betriebssystem hat den Zugriff
auf die angegebene Datei verweigert.</translation>
    </message>
    <message>
        <source>There was not enough memory to complete the operation.</source>
        <translation>Für den Vorgang war nicht genügend Speicher vorhanden.</translation>
    </message>
    <message>
        <source>The .EXE file is invalid
(non-Win32 .EXE or error in .EXE image).</source>
        <translation>Die .EXE-Datei ist ungültig
(keine Win32-.EXE oder Fehler im .EXE-Abbild).</translation>
    </message>
    <message>
        <source>A sharing violation occurred. </source>
        <translation>Eine Freigabeverletzung ist aufgetreten. </translation>
    </message>
    <message>
        <source>The filename association is
incomplete or invalid.</source>
        <translation>Die Dateizuordnung ist
unvollständig oder ungültig.</translation>
    </message>
    <message>
        <source>The DDE transaction could not
be completed because the request timed out.</source>
        <translation>Die DDE-Transaktion konnte nicht
abgeschlossen werden, weil die Anforderung zu lange dauerte.</translation>
    </message>
    <message>
        <source>The DDE transaction failed.</source>
        <translation>Die DDE-Transaktion ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>The DDE transaction could not
be completed because other DDE transactions
were being processed.</source>
        <translation>Die DDE-Transaktion konnte nicht
abgeschlossen werden, weil gerade andere
DDE-Transaktionen verarbeitet wurden.</translation>
    </message>
    <message>
        <source>There is no application associated
with the given filename extension.</source>
        <translation>Mit der angegebenen Dateinamenerweiterung
ist kein Programm verknüpft.</translation>
    </message>
    <message>
        <source>The specified dynamic-link library was not found.</source>
        <translation>Die angegebene DLL-Datei wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>Unknown Error (%1) occurred.</source>
        <translation>Ein unbekannter Fehler (%1) ist aufgetreten.</translation>
    </message>
    <message>
        <source>Can&apos;t open link:

</source>
        <translation>Link kann nicht geöffnet werden:

</translation>
    </message>
</context>
<context>
    <name>DataFileSource</name>
    <message>
        <source>not a plain file</source>
        <translation>keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>no known Palm user is selected</source>
        <translation>kein bekannter Palm-Benutzer ausgewählt</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>Datei nicht vorhanden</translation>
    </message>
</context>
<context>
    <name>HelpPage</name>
    <message>
        <source>The help pages are not installed.</source>
        <translation>Die Hilfeseiten sind nicht installiert.</translation>
    </message>
    <message>
        <source>No program to show the help page was found. The page is:
%1</source>
        <translation>Es wurde kein Programm gefunden, das die Hilfeseite anzeigt. Die Seite ist:
%1</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Palm &amp;user</source>
        <translation>&amp;Palm-Benutzer</translation>
    </message>
    <message>
        <source>Re&amp;mind</source>
        <translation>&amp;Erinnern</translation>
    </message>
    <message>
        <source>minutes before due</source>
        <translation>Minuten vorher</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>A&amp;ktualisieren</translation>
    </message>
    <message>
        <source>Hi&amp;de</source>
        <translation>Ausblen&amp;den</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Info</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>&amp;Anzeigen</translation>
    </message>
    <message>
        <source>Please enter a number from 0 to %1.</source>
        <translation>Bitte geben Sie eine Zahl von 0 bis %1 ein.</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Chimewell Options</source>
        <translation>Chimewell-Optionen</translation>
    </message>
    <message>
        <source>Autostart at &amp;logon</source>
        <translation>Bei der &amp;Anmeldung starten</translation>
    </message>
    <message>
        <source>&amp;Hide at start</source>
        <translation>Beim Start aus&amp;blenden</translation>
    </message>
    <message>
        <source>Reminder window &amp;red</source>
        <translation>Erinnerungsfenster &amp;rot</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>An&amp;zeigen</translation>
    </message>
    <message>
        <source>&amp;Password</source>
        <translation>&amp;Kennwort</translation>
    </message>
    <message>
        <source>S&amp;tore</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Show &amp;untimed</source>
        <translation>&amp;Ohne Uhrzeit anzeigen</translation>
    </message>
    <message>
        <source>&amp;Beep</source>
        <translation>&amp;Tonsignal</translation>
    </message>
    <message>
        <source>Show all for toda&amp;y</source>
        <translation>Alle von &amp;heute anzeigen</translation>
    </message>
    <message>
        <source>Show &amp;due</source>
        <translation>&amp;Fällige anzeigen</translation>
    </message>
    <message>
        <source>&amp;All up to priority</source>
        <translation>Alle bis &amp;Priorität</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Tip: If unsure about an option, click on the ? button in the window title bar</source>
        <translation>Tipp: Sind Sie bei einer Option unsicher, klicken Sie auf ? in der Titelleiste</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Items marked Private</source>
        <translation>Als privat markierte Einträge</translation>
    </message>
    <message>
        <source>Appointments</source>
        <translation>Termine</translation>
    </message>
    <message>
        <source>To Do Items</source>
        <translation>Aufgaben</translation>
    </message>
</context>
<context>
    <name>PrivateCopies</name>
    <message>
        <source>%1 changed while it was copied</source>
        <translation>%1 hat sich beim Kopieren geändert</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>cannot read %1</source>
        <translation>Lesefehler bei %1</translation>
    </message>
</context>
<context>
    <name>PrivateFolder</name>
    <message>
        <source>it is a symbolic link</source>
        <translation>er ist eine symbolische Verknüpfung</translation>
    </message>
    <message>
        <source>it is not a folder</source>
        <translation>er ist kein Ordner</translation>
    </message>
    <message>
        <source>it belongs to another user</source>
        <translation>er gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>other users may use it</source>
        <translation>andere Benutzer dürfen ihn benutzen</translation>
    </message>
    <message>
        <source>cannot use the folder %1: %2</source>
        <translation>der Ordner %1 kann nicht benutzt werden: %2</translation>
    </message>
    <message>
        <source>it cannot be made</source>
        <translation>er kann nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>SingleInstanceGuard</name>
    <message>
        <source>cannot create the lock file %1: %2</source>
        <translation>die Sperrdatei %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>no permission</source>
        <translation>keine Berechtigung</translation>
    </message>
    <message>
        <source>it cannot be written</source>
        <translation>sie kann nicht geschrieben werden</translation>
    </message>
</context>
<context>
    <name>ToDoScan</name>
    <message>
        <source>Unfiled</source>
        <translation>Nicht abgelegt</translation>
    </message>
</context>
</TS>
