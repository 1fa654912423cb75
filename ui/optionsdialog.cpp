// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "optionsdialog.h"

#include "helptexts.h"
#include "palm/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWhatsThis>

namespace {
QGroupBox* makeGroup(const QString& title, const QList<QWidget*>& rows, QWidget* parent)
{
    auto* group = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(group);
    for (QWidget* row : rows)
        layout->addWidget(row);
    layout->addStretch();
    return group;
}

QWidget* pair(QWidget* first, QWidget* second, QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(first);
    layout->addWidget(second, 1);
    return row;
}

// The check boxes and the settings fields they edit, one row per box.
struct FlagField
{
    int id;
    int Settings::*field;
};
constexpr FlagField FlagFields[] = {
    {IDC_TODOS_NO_DATE, &Settings::showtodosnodate},
    {IDC_SHOW_TODOS, &Settings::showtodos},
    {IDC_STORE_PASSWORD, &Settings::rememberpassword},
    {IDC_SHOW_PRIVATE, &Settings::showprivate},
    {IDC_AUTOHIDE, &Settings::autohide},
    {IDC_BEEP, &Settings::beep},
    {IDC_AUTOSTART, &Settings::autostart},
    {IDC_SHOW_UNTIMED, &Settings::showuntimedappts},
    {IDC_WARN_RED, &Settings::warnred},
    {IDC_SHOW_ALL_TODAY, &Settings::showalltodaysappts},
};
} // namespace

OptionsDialog::OptionsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Chimewell Options"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);

    QCheckBox* autostart = addCheckBox(IDC_AUTOSTART, tr("Autostart at &logon"));
    QCheckBox* autohide = addCheckBox(IDC_AUTOHIDE, tr("&Hide at start"));
    QCheckBox* red = addCheckBox(IDC_WARN_RED, tr("Reminder window &red"));

    QCheckBox* showPrivate = addCheckBox(IDC_SHOW_PRIVATE, tr("&Show"));
    auto* passwordLabel = new QLabel(tr("&Password"), this);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    passwordLabel->setBuddy(m_password);
    m_controls.insert(IDC_PASSWORD, m_password);
    QCheckBox* store = addCheckBox(IDC_STORE_PASSWORD, tr("S&tore"));

    QCheckBox* untimed = addCheckBox(IDC_SHOW_UNTIMED, tr("Show &untimed"));
    QCheckBox* beep = addCheckBox(IDC_BEEP, tr("&Beep"));
    QCheckBox* allToday = addCheckBox(IDC_SHOW_ALL_TODAY, tr("Show all for toda&y"));

    QCheckBox* todos = addCheckBox(IDC_SHOW_TODOS, tr("Show &due"));
    QCheckBox* noDate = addCheckBox(IDC_TODOS_NO_DATE, tr("&All up to priority"));
    m_priority = new QComboBox(this);
    // The list is sorted, so index n always stands for priority n + 1.
    m_priority->addItems({"1", "2", "3", "4", "5"});
    m_controls.insert(IDC_MAX_PRIORITY, m_priority);

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    // Qt's own texts for these would depend on a translation of Qt being installed.
    ok->setText(tr("OK"));
    cancel->setText(tr("Cancel"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* tip = new QLabel(
        tr("Tip: If unsure about an option, click on the ? button in the window title bar"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(makeGroup(tr("General"), {autostart, autohide, red}, this), 0, 0);
    grid->addWidget(makeGroup(tr("Items marked Private"),
                              {showPrivate, pair(passwordLabel, m_password, this), store}, this),
                    0, 1);
    grid->addWidget(makeGroup(tr("Appointments"), {untimed, beep, allToday}, this), 1, 0);
    grid->addWidget(makeGroup(tr("To Do Items"), {todos, pair(noDate, m_priority, this)}, this), 1,
                    1);
    grid->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
    grid->addWidget(tip, 2, 0, 1, 3);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    QWidget* const tabOrder[] = {autostart, autohide,   red,  showPrivate, m_password,
                                 store,     untimed,    beep, allToday,    todos,
                                 noDate,    m_priority, ok,   cancel};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    for (auto it = m_controls.cbegin(); it != m_controls.cend(); ++it) {
        QWidget* control = it.value();
        control->setWhatsThis(contextHelpText(helpContext(it.key())));
        // A right click explains the control too (and replaces the password field's edit menu).
        control->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(control, &QWidget::customContextMenuRequested, this, [control](const QPoint& at) {
            QWhatsThis::showText(control->mapToGlobal(at), control->whatsThis(), control);
        });
    }
}

QCheckBox* OptionsDialog::addCheckBox(int id, const QString& text)
{
    auto* box = new QCheckBox(text, this);
    m_controls.insert(id, box);
    return box;
}

void OptionsDialog::load(const Settings& settings)
{
    for (const FlagField& flag : FlagFields)
        static_cast<QCheckBox*>(control(flag.id))->setChecked(settings.*flag.field != 0);
    const int index = settings.maxprio - 1;
    m_priority->setCurrentIndex(index >= 0 && index < m_priority->count() ? index : -1);
    m_password->setText(settings.rememberpassword ? settings.password : QString());
}

void OptionsDialog::store(Settings& settings) const
{
    for (const FlagField& flag : FlagFields)
        settings.*flag.field = static_cast<QCheckBox*>(control(flag.id))->isChecked() ? 1 : 0;
    settings.maxprio = m_priority->currentIndex() + 1;
    settings.password = settings.rememberpassword ? m_password->text() : QString();
}

// F1 explains the control that has the focus, as the "?" button does for a clicked one.
void OptionsDialog::keyPressEvent(QKeyEvent* event)
{
    QWidget* focused = focusWidget();
    if (event->key() == Qt::Key_F1 && focused && !focused->whatsThis().isEmpty()) {
        QWhatsThis::showText(focused->mapToGlobal(focused->rect().center()), focused->whatsThis(),
                             focused);
        return;
    }
    QDialog::keyPressEvent(event);
}
