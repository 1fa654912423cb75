// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Shows Chimewell's windows one after another on the current display and saves a picture of
// each: main.png (the main window with the Palm data of CHIMEWELL_PALM_DESKTOP after one forced
// scan), alarm.png (the red alarm window), options.png and about.png. Run by tools/screenshots,
// which provides the display, the tray and the demo data:
//   chimewell-screenshots OUTDIR
#include "app/alarms.h"
#include "app/sharedsettings.h"
#include "app/startup.h"
#include "app/stringtable.h"
#include "palm/clock.h"
#include "palm/palmdesktopusers.h"
#include "palm/todaylist.h"
#include "ui/aboutdialog.h"
#include "ui/alarmdialog.h"
#include "ui/mainwindow.h"
#include "ui/optionsdialog.h"
#include "ui/uitranslation.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QSemaphore>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <functional>

namespace {
bool save(QWidget& window, const QString& path)
{
    const QRect frame = window.frameGeometry();
    const QPixmap shot =
        window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    if (shot.isNull() || !shot.save(path)) {
        QTextStream(stderr) << "cannot write " << path << "\n";
        return false;
    }
    return true;
}

// Shows `window`, lets it settle, saves its picture and hides it again; then `next`.
void shoot(QWidget& window, const QString& path, bool& ok, std::function<void()> next)
{
    window.show();
    window.raise();
    window.activateWindow();
    QTimer::singleShot(700, &window, [&window, path, &ok, next] {
        ok = save(window, path) && ok;
        window.hide();
        next();
    });
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    const UiTranslation translation(uiLanguage());
    if (app.arguments().size() != 2) {
        QTextStream(stderr) << "usage: chimewell-screenshots OUTDIR\n";
        return 2;
    }
    const QDir out(app.arguments().at(1));
    QTemporaryDir work;

    PalmDesktopUsers users(qEnvironmentVariable("CHIMEWELL_PALM_DESKTOP"));
    SharedSettings settings(Settings(&users, nullptr));
    settings.update([](Settings& s) {
        s.showuntimedappts = 1;
        s.showtodos = 1;
        s.showtodosnodate = 1;
        s.maxprio = 5;
        s.warnred = 1;
        s.autohide = 0;
    });

    SystemClock clock;
    TodayListBuilder builder(clock, work.path(), loadText(IDS_TODO_PREFIX));
    QStringList lines;
    if (builder.buildTodayList(settings.snapshot(), lines, true) < 0)
        QTextStream(stderr) << "the demo data could not be read\n";
    const QString tooltip = tooltipText(firstLineText(builder.alarms(), builder.locale()));
    QString alarmText = QStringLiteral("10:00 Dentist\r\nBring the X-ray pictures");
    if (!builder.alarms().empty())
        alarmText = formatAlarmText(builder.alarms().front(), builder.locale());

    QSemaphore rescan;
    QSettings profile(work.filePath(QStringLiteral("profile.conf")), QSettings::IniFormat);
    MainWindow window(
        settings, rescan, users, profile, [](SaveScope) {}, clock);
    window.updateList(tooltip, lines);

    AlarmDialog alarm(clock);
    alarm.setBackgroundColor(Qt::red);
    alarm.setSnoozeMinutes(5);
    alarm.setAlarmText(alarmText);
    OptionsDialog options;
    options.load(settings.snapshot());
    AboutDialog about;

    bool ok = true;
    QTimer::singleShot(300, [&] {
        shoot(window, out.filePath("main.png"), ok, [&] {
            shoot(alarm, out.filePath("alarm.png"), ok, [&] {
                shoot(options, out.filePath("options.png"), ok, [&] {
                    shoot(about, out.filePath("about.png"), ok, [&] { app.exit(ok ? 0 : 1); });
                });
            });
        });
    });
    return app.exec();
}
