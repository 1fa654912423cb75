// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarmdialog.h"

#include "app/stringtable.h"
#include "keyguard.h"
#include "palm/clock.h"
#include "palm/timetexts.h"
#include "spinarrows.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace {
AlarmDialog::Runner& testRunner()
{
    static AlarmDialog::Runner runner;
    return runner;
}
} // namespace

QString warnAgainText(int minutes)
{
    const int id = minutes == 1 ? IDS_REMIND_AGAIN_SINGULAR : IDS_REMIND_AGAIN_PLURAL;
    return loadText(id).replace(QLatin1String("%d"), QString::number(minutes));
}

AlarmDialog::AlarmDialog(const Clock& clock, QWidget* parent)
    : BaseDialog(parent), m_clock(clock), m_keyGuard(new KeyGuard(this, std::chrono::seconds(1)))
{
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_text = new QTextEdit(this);
    m_text->setObjectName(QStringLiteral("alarmText"));
    m_text->setReadOnly(true);
    m_text->setAcceptRichText(false);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->document()->setDefaultTextOption(QTextOption(Qt::AlignHCenter));
    // Room for the appointment line and a few lines of its note, as on a small notice.
    const QFontMetrics metrics(m_text->font());
    m_text->setFixedSize(metrics.averageCharWidth() * 52,
                         metrics.lineSpacing() * 4 + 2 * m_text->frameWidth() + 8);

    m_ok = new QPushButton(tr("&OK"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setDefault(true);
    m_warnAgainButton = new QPushButton(tr("&Warn again"), this);
    m_warnAgainButton->setObjectName(QStringLiteral("warnAgainButton"));
    // Like an up-down control beside its buddy: the button itself shows the minutes.
    auto* arrows = new SpinArrows(this);
    arrows->setFixedHeight(m_warnAgainButton->sizeHint().height());
    arrows->stepOnArrowKeys(m_warnAgainButton);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_ok);
    auto* warnAgain = new QHBoxLayout;
    warnAgain->setSpacing(0);
    warnAgain->addWidget(m_warnAgainButton, 1);
    warnAgain->addWidget(arrows);
    buttons->addLayout(warnAgain, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(m_text, m_ok);
    setTabOrder(m_ok, m_warnAgainButton);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_warnAgainButton, &QPushButton::clicked, this, [this] {
        m_warnAgain = true;
        accept();
    });
    connect(arrows, &SpinArrows::stepped, this, &AlarmDialog::stepSnooze);

    m_captionTimer = new QTimer(this);
    m_captionTimer->setInterval(5000);
    connect(m_captionTimer, &QTimer::timeout, this, &AlarmDialog::renewCaption);
    m_captionTimer->start();
    renewCaption();
    updateWarnAgainText();
}

void AlarmDialog::setAlarmText(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_text->setPlainText(shown);
}

void AlarmDialog::setSnoozeMinutes(int minutes)
{
    m_snoozeMinutes = std::max(minutes, MinSnoozeMinutes);
    updateWarnAgainText();
}

void AlarmDialog::stepSnooze(int delta)
{
    m_snoozeMinutes = std::clamp(m_snoozeMinutes + delta, MinSnoozeMinutes, MaxSnoozeMinutes);
    updateWarnAgainText();
}

void AlarmDialog::run()
{
    if (testRunner())
        testRunner()(*this);
    else
        exec();
}

void AlarmDialog::setTestRunner(Runner runner)
{
    testRunner() = std::move(runner);
}

void AlarmDialog::done(int result)
{
    m_answered = true;
    BaseDialog::done(result);
}

void AlarmDialog::showEvent(QShowEvent* event)
{
    BaseDialog::showEvent(event);
    m_keyGuard->start();
    m_ok->setFocus();
    raise();
    activateWindow();
    // The urgency hint, for a desktop that keeps the focus where it was.
    QApplication::alert(this);
}

void AlarmDialog::closeEvent(QCloseEvent* event)
{
    // The close box is no acknowledgement: the alarm comes again after the snooze minutes.
    if (!m_answered)
        m_warnAgain = true;
    BaseDialog::closeEvent(event);
}

void AlarmDialog::renewCaption()
{
    // The English caption text ends in a blank, so two blanks stand before the time there.
    setWindowTitle(loadText(IDS_ALARM_CAPTION) + QLatin1Char(' ') + formatTimeText(m_clock.now()));
}

void AlarmDialog::updateWarnAgainText()
{
    m_warnAgainButton->setText(warnAgainText(m_snoozeMinutes));
}
