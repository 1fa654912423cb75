// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"

#include "aboutdialog.h"
#include "alarmdialog.h"
#include "alarmsound.h"
#include "app/sharedsettings.h"
#include "app/startup.h"
#include "app/stringtable.h"
#include "helppage.h"
#include "optionsdialog.h"
#include "palm/clock.h"
#include "palm/palmusers.h"
#include "palm/timetexts.h"
#include "palmfile/localdate.h"
#include "platform/bellnotifier.h"
#include "resources.h"
#include "spinarrows.h"
#include "uilog.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSemaphore>
#include <QSettings>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <QValidator>

namespace {
const QString SizeWidthKey = QStringLiteral("Size/cx");
const QString SizeHeightKey = QStringLiteral("Size/cy");

// Windows shows the tray tooltip as plain text. Elsewhere Qt (or the panel) takes a text that
// looks like HTML for rich text, so such a text goes there escaped and shows as typed.
QString trayToolTip(const QString& text)
{
#ifdef Q_OS_WIN
    return text;
#else
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpacePre) : text;
#endif
}

// Takes ASCII digits only, and an empty text. (A regular expression would do it too, but would
// keep its engine in memory for the whole run.)
class DigitsValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        const bool digits = std::all_of(input.cbegin(), input.cend(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        });
        return digits ? Acceptable : Invalid;
    }
};

// Calls `used` once, at the first key or mouse button the user presses in `window`.
class FirstInputWatcher : public QObject
{
public:
    FirstInputWatcher(QWidget* window, std::function<void()> used)
        : QObject(window), m_window(window), m_used(std::move(used))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress) {
            const auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->window() == m_window) {
                qApp->removeEventFilter(this);
                m_used();
            }
        }
        return false;
    }

private:
    QWidget* m_window;
    std::function<void()> m_used;
};
} // namespace

MainWindow::MainWindow(SharedSettings& settings, QSemaphore& rescan, const PalmUsers& users,
                       QSettings& profile, std::function<void(SaveScope)> saveSettings,
                       const Clock& clock, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_rescan(rescan), m_palmUsers(users),
      m_profile(profile), m_saveSettings(std::move(saveSettings)), m_clock(clock),
      m_sound(std::make_unique<WavAlarmSound>(alarmSoundUrl())), m_bell(makeBellNotifier()),
      m_trayAvailable(&QSystemTrayIcon::isSystemTrayAvailable)
{
    buildWindow();
    fillUsers();

    const Settings current = m_settings.snapshot();
    m_minutes->setText(QString::number(current.warntime));
    updateGroupCaption();

    const int naturalWidth = sizeHint().width();
    setFixedWidth(naturalWidth);
    setMinimumHeight(std::max(MinHeight, minimumSizeHint().height()));
    int height = m_profile.value(SizeHeightKey, MinHeight).toInt();
    // A height stored on a larger screen (or edited by hand) would reach beyond this one.
    if (screen())
        height = std::min(height, screen()->availableGeometry().height());
    resize(naturalWidth, height);

    requestRescan();
    m_startedAt = m_clock.now();
    m_lastTick = m_startedAt;
    updateCaption(m_lastTick);
    m_captionClock = new QTimer(this);
    m_captionClock->setObjectName(QStringLiteral("captionClock"));
    m_captionClock->setSingleShot(true);
    m_captionClock->setTimerType(Qt::PreciseTimer);
    connect(m_captionClock, &QTimer::timeout, this, &MainWindow::tick);
    armCaptionClock();
    m_initialising = false;
}

MainWindow::~MainWindow() = default;

void MainWindow::buildWindow()
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);

    auto* userLabel = new QLabel(tr("Palm &user"), this);
    m_users = new QComboBox(this);
    m_users->setMinimumContentsLength(12);
    m_users->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    userLabel->setBuddy(m_users);

    auto* remindLabel = new QLabel(tr("Re&mind"), this);
    m_minutes = new QLineEdit(this);
    m_minutes->setValidator(new DigitsValidator(this));
    m_minutes->setAlignment(Qt::AlignRight);
    m_minutes->setFixedWidth(m_minutes->fontMetrics().horizontalAdvance(QStringLiteral("0000")) +
                             12);
    remindLabel->setBuddy(m_minutes);
    auto* arrows = new SpinArrows(this);
    arrows->setFixedHeight(m_minutes->sizeHint().height());
    auto* minutesLabel = new QLabel(tr("minutes before due"), this);

    auto* refresh = new QPushButton(tr("&Refresh"), this);
    auto* hide = new QPushButton(tr("Hi&de"), this);
    hide->setDefault(true);
    auto* quit = new QPushButton(tr("&Quit"), this);
    auto* options = new QPushButton(tr("&Options"), this);
    auto* help = new QPushButton(tr("&Help"), this);
    auto* about = new QPushButton(tr("&About"), this);

    m_listFrame = new QGroupBox(this);
    m_list = new QListWidget(m_listFrame);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setMinimumWidth(1);
    auto* frameLayout = new QVBoxLayout(m_listFrame);
    frameLayout->addWidget(m_list);

    auto* controls = new QHBoxLayout;
    controls->addWidget(userLabel);
    controls->addWidget(m_users);
    controls->addSpacing(8);
    controls->addWidget(remindLabel);
    auto* minutesField = new QHBoxLayout;
    minutesField->setSpacing(0);
    minutesField->addWidget(m_minutes);
    minutesField->addWidget(arrows);
    controls->addLayout(minutesField);
    controls->addWidget(minutesLabel);
    controls->addStretch();
    controls->addSpacing(8);
    controls->addWidget(refresh);

    auto* commands = new QVBoxLayout;
    commands->addWidget(quit);
    commands->addSpacing(hide->sizeHint().height());
    commands->addWidget(options);
    commands->addWidget(help);
    commands->addWidget(about);
    commands->addStretch();

    auto* grid = new QGridLayout(this);
    grid->addLayout(controls, 0, 0);
    grid->addWidget(hide, 0, 1);
    grid->addWidget(m_listFrame, 1, 0);
    grid->addLayout(commands, 1, 1);
    grid->setRowStretch(1, 1);

    for (auto [from, to] : {std::pair<QWidget*, QWidget*>{m_users, m_minutes},
                            {m_minutes, refresh},
                            {refresh, hide},
                            {hide, quit},
                            {quit, options},
                            {options, help},
                            {help, about},
                            {about, m_list}})
        setTabOrder(from, to);

    connect(m_minutes, &QLineEdit::textChanged, this, &MainWindow::minutesChanged);
    connect(arrows, &SpinArrows::stepped, this, &MainWindow::stepMinutes);
    arrows->stepOnArrowKeys(m_minutes);
    m_minutes->installEventFilter(this);
    connect(refresh, &QPushButton::clicked, this, &MainWindow::refresh);
    connect(hide, &QPushButton::clicked, this, &MainWindow::accept);
    connect(quit, &QPushButton::clicked, this, &MainWindow::quitRequested);
    connect(options, &QPushButton::clicked, this, &MainWindow::showOptions);
    connect(help, &QPushButton::clicked, this, [this] { showHelpPage(this); });
    connect(about, &QPushButton::clicked, this, &MainWindow::showAbout);
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { showHelpPage(this); });

    auto* menu = new QMenu(this);
    menu->setTitle(loadText(IDS_APP_TITLE));
    connect(menu->addAction(tr("&Show")), &QAction::triggered, this, &MainWindow::showWindow);
    connect(menu->addAction(tr("&Refresh")), &QAction::triggered, this, &MainWindow::refresh);
    menu->addSeparator();
    connect(menu->addAction(tr("&Quit")), &QAction::triggered, this, &MainWindow::quitRequested);
    m_tray = new QSystemTrayIcon(appIcon(), this);
    m_tray->setToolTip(loadText(IDS_APP_TITLE));
    m_tray->setContextMenu(menu);
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    showWindow();
            });
    m_tray->show();
}

void MainWindow::setAlarmSound(std::unique_ptr<AlarmSound> sound)
{
    m_sound = std::move(sound);
}

void MainWindow::setBellNotifier(std::unique_ptr<BellNotifier> bell)
{
    m_bell = std::move(bell);
}

void MainWindow::setTrayAvailableCheck(std::function<bool()> available)
{
    m_trayAvailable = std::move(available);
}

void MainWindow::addUserItems()
{
    for (int position = 0; position < m_palmUsers.count(); ++position) {
        const int id = m_palmUsers.idAt(position);
        m_users->addItem(m_palmUsers.name(id), id);
    }
}

void MainWindow::fillUsers()
{
    addUserItems();
    const int stored = m_users->findData(m_settings.snapshot().palmuserid);
    m_users->setCurrentIndex(stored >= 0 ? stored : 0);
    const int id = m_users->count() > 0 ? m_users->currentData().toInt() : -1;
    m_settings.update([id](Settings& s) { s.selectPalmUser(id); });
    connect(m_users, &QComboBox::currentIndexChanged, this, &MainWindow::userChosen);
}

void MainWindow::refillUsers()
{
    const int chosen = m_settings.snapshot().palmuserid;
    const bool hadUsers = m_users->count() > 0;
    const QSignalBlocker blocker(m_users);
    m_users->clear();
    addUserItems();
    int index = m_users->findData(chosen);
    // With no user before, the stored user or else the first one is chosen now, as at start.
    if (!hadUsers && m_users->count() > 0) {
        index = std::max(index, 0);
        const int id = m_users->itemData(index).toInt();
        m_settings.update([id](Settings& s) { s.selectPalmUser(id); });
        requestRescan();
    }
    m_users->setCurrentIndex(index);
}

void MainWindow::userChosen(int index)
{
    if (index < 0)
        return;
    if (!validMinutes()) {
        // The change waits until the minutes field holds a valid number again.
        showValidationMessage();
        const QSignalBlocker blocker(m_users);
        m_users->setCurrentIndex(m_users->findData(m_settings.snapshot().palmuserid));
        return;
    }
    const int id = m_users->itemData(index).toInt();
    qCDebug(lcUi) << "Palm user" << id << "chosen";
    m_settings.update([id](Settings& s) { s.selectPalmUser(id); });
    m_saveSettings(SaveScope::Values);
    requestRescan();
}

std::optional<int> MainWindow::validMinutes() const
{
    bool isNumber = false;
    const int minutes = m_minutes->text().toInt(&isNumber);
    if (!isNumber || minutes < 0 || minutes > MaxMinutes)
        return std::nullopt;
    return minutes;
}

void MainWindow::showValidationMessage()
{
    QToolTip::showText(m_minutes->mapToGlobal(QPoint(0, m_minutes->height())),
                       tr("Please enter a number from 0 to %1.").arg(MaxMinutes), m_minutes);
}

void MainWindow::minutesChanged()
{
    if (m_initialising)
        return;
    const std::optional<int> minutes = validMinutes();
    if (!minutes) {
        showValidationMessage();
        return;
    }
    QToolTip::hideText();
    m_settings.update([value = *minutes](Settings& s) { s.warntime = value; });
    m_saveSettings(SaveScope::Values);
    requestRescan();
}

void MainWindow::stepMinutes(int delta)
{
    const std::optional<int> typed = validMinutes();
    const int current = typed ? *typed : m_settings.snapshot().warntime;
    m_minutes->setText(QString::number(std::clamp(current + delta, 0, MaxMinutes)));
}

void MainWindow::accept()
{
    hideWithValidMinutes();
}

void MainWindow::reject()
{
    hideWithValidMinutes();
}

// Hide, Enter, Escape and the close box: while the minutes field holds a bad value the window
// stays with the message at the field, and nothing of that value is stored.
void MainWindow::hideWithValidMinutes()
{
    if (!validMinutes()) {
        showValidationMessage();
        m_minutes->setFocus();
        return;
    }
    hideToTray();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_minutes && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Tab leaves the field only when it holds a valid number.
        if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && !validMinutes()) {
            showValidationMessage();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MainWindow::hideToTray()
{
    if (!m_trayAvailable()) {
        qCDebug(lcUi) << "no notification area: the window stays shown";
        return;
    }
    hide();
}

// At log-on the panel often starts after the program: then the window hides as soon as the
// notification area appears, unless the user has taken to it meanwhile.
void MainWindow::hideAtStart()
{
    if (m_trayAvailable()) {
        hide();
        return;
    }
    qCDebug(lcUi) << "no notification area yet: the window hides when one appears";
    m_hideWhenTrayAppears = true;
    new FirstInputWatcher(this, [this] { m_hideWhenTrayAppears = false; });
}

void MainWindow::showWindow()
{
    m_hideWhenTrayAppears = false;
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MainWindow::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // A minimised window leaves the taskbar: the tray icon brings it back.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_trayAvailable())
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                hide();
        });
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_initialising)
        return;
    m_profile.setValue(SizeWidthKey, width());
    m_profile.setValue(SizeHeightKey, height());
}

void MainWindow::tick()
{
    if (m_hideAtStartPending) {
        m_hideAtStartPending = false;
        if (m_settings.snapshot().autohide)
            hideAtStart();
    }
    if (m_hideWhenTrayAppears && m_trayAvailable()) {
        m_hideWhenTrayAppears = false;
        // Qt shows the tray icon there by itself.
        qCDebug(lcUi) << "the notification area appeared: hiding as at start";
        hide();
    }
    const std::int64_t now = m_clock.now();
    if (palmfile::localDateOf(now) != palmfile::localDateOf(m_lastTick)) {
        qCDebug(lcUi) << "a new day: rescan";
        requestRescan();
    }
    m_lastTick = now;
    updateCaption(now);
    armCaptionClock();
}

// The caption shows minutes, so the clock wakes when the next one begins. While the window
// waits to hide at start it looks each second, for the first minute: a desktop whose
// notification area is still missing then is looked at with the caption.
void MainWindow::armCaptionClock()
{
    constexpr std::int64_t waitEachSecond = 60;
    if (m_hideAtStartPending ||
        (m_hideWhenTrayAppears && m_clock.now() - m_startedAt < waitEachSecond)) {
        m_captionClock->start(1000);
        return;
    }
    constexpr std::int64_t minuteMs = 60 * 1000;
    const std::int64_t nowMs = m_clock.nowMs();
    const std::int64_t intoMinute = (nowMs % minuteMs + minuteMs) % minuteMs;
    m_captionClock->start(int(minuteMs - intoMinute));
}

void MainWindow::updateCaption(std::int64_t now)
{
    setWindowTitle(loadText(IDS_APP_TITLE) + QLatin1Char(' ') + formatTimeText(now));
}

void MainWindow::updateGroupCaption()
{
    m_listFrame->setTitle(loadText(m_settings.snapshot().showtodos ? IDS_CAPTION_WITH_TODOS
                                                                   : IDS_CAPTION_APPOINTMENTS));
}

void MainWindow::refresh()
{
    // One refresh at a time; the pause keeps the event loop (and alarms) running.
    if (m_refreshing)
        return;
    m_refreshing = true;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const int user = m_settings.snapshot().palmuserid;
    m_bell->sendBellCommand(0, user);
    m_bell->sendBellCommand(1, user);
    QTimer::singleShot(RefreshPauseMs, this, [this, user] {
        m_bell->sendBellCommand(2, user);
        requestRescan();
        QGuiApplication::restoreOverrideCursor();
        m_refreshing = false;
    });
}

void MainWindow::showOptions()
{
    OptionsDialog dialog(this);
    dialog.load(m_settings.snapshot());
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_settings.update([&dialog](Settings& s) { dialog.store(s); });
    m_saveSettings(SaveScope::ValuesAndAutostart);
    updateGroupCaption();
    requestRescan();
}

void MainWindow::showAbout()
{
    AboutDialog dialog(this);
    dialog.exec();
}

void MainWindow::updateList(const QString& tooltip, const QStringList& lines)
{
    m_tray->setToolTip(trayToolTip(tooltip));
    m_list->clear();
    m_list->addItems(lines);
    // What the widgets hold now, as they show it.
    QStringList rows;
    for (int row = 0; row < m_list->count(); ++row)
        rows << m_list->item(row)->text();
    qCDebug(lcUi) << "showing tooltip" << m_tray->toolTip() << "list" << rows;
}

void MainWindow::answerAlarm(const QString& alarmText, int* answer)
{
    const Settings current = m_settings.snapshot();
    if (current.beep)
        m_sound->play();
    AlarmDialog dialog(m_clock);
    if (current.warnred)
        dialog.setBackgroundColor(Qt::red);
    dialog.setSnoozeMinutes(current.warnagaintime);
    dialog.setAlarmText(alarmText);
    dialog.run();

    // The minutes chosen become the next default, however the dialog was closed.
    const int minutes = dialog.snoozeMinutes();
    if (minutes != current.warnagaintime) {
        m_settings.update([minutes](Settings& s) { s.warnagaintime = minutes; });
        m_saveSettings(SaveScope::Values);
    }
    if (!dialog.answered()) {
        qCDebug(lcUi) << "alarm" << alarmText << "left unanswered";
        return;
    }
    if (dialog.warnAgain())
        qCDebug(lcUi) << "alarm" << alarmText << "to come again in" << minutes << "minutes";
    else
        qCDebug(lcUi) << "alarm" << alarmText << "acknowledged";
    if (answer)
        *answer = dialog.warnAgain() ? 0 : 1;
}

void MainWindow::requestRescan()
{
    m_rescan.release(1);
}
