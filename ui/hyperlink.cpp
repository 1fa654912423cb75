// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "hyperlink.h"

#include "app/stringtable.h"
#include "uilog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMessageBox>
#include <QUrl>

const QColor CHyperLink::HoverColor(255, 0, 0);
const QColor CHyperLink::ActiveColor(0, 128, 128);
const QColor CHyperLink::VisitedColor(128, 0, 128);
const QColor CHyperLink::UnvisitedColor(0, 0, 255);

namespace {
constexpr int NoAssociation = 31;
constexpr int LastFailureCode = 32;
} // namespace

QString linkErrorText(int code)
{
    QString reason;
    switch (code) {
    case 0:
        reason = CHyperLink::tr("The operating system is out\nof memory or resources.");
        break;
    case 2:
        reason = CHyperLink::tr("The specified file was not found.");
        break;
    case 3:
        reason = CHyperLink::tr("The specified path was not found.");
        break;
    case 5:
        reason = CHyperLink::tr("The operating system denied\naccess to the specified file.");
        break;
    case 8:
        reason = CHyperLink::tr("There was not enough memory to complete the operation.");
        break;
    case 11:
        reason =
            CHyperLink::tr("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
        break;
    case 26:
        reason = CHyperLink::tr("A sharing violation occurred. ");
        break;
    case 27:
        reason = CHyperLink::tr("The filename association is\nincomplete or invalid.");
        break;
    case 28:
        reason = CHyperLink::tr(
            "The DDE transaction could not\nbe completed because the request timed out.");
        break;
    case 29:
        reason = CHyperLink::tr("The DDE transaction failed.");
        break;
    case 30:
        reason = CHyperLink::tr("The DDE transaction could not\nbe completed because other DDE "
                                "transactions\nwere being processed.");
        break;
    case 31:
        reason = CHyperLink::tr(
            "There is no application associated\nwith the given filename extension.");
        break;
    case 32:
        reason = CHyperLink::tr("The specified dynamic-link library was not found.");
        break;
    default:
        reason = CHyperLink::tr("Unknown Error (%1) occurred.").arg(code);
        break;
    }
    return CHyperLink::tr("Can't open link:\n\n") + reason;
}

int openWithDesktop(const QString& address)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(address)) ? LastFailureCode + 1
                                                                   : NoAssociation;
}

CHyperLink::CHyperLink(const QString& text, QWidget* parent, const QString& address, unsigned style)
    : QLabel(parent), m_style(style), m_address(address.isEmpty() ? text : address),
      m_opener(&openWithDesktop)
{
    setTextFormat(Qt::PlainText);
    setText(text.isEmpty() ? m_address : text);
    QFont linkFont = font();
    linkFont.setUnderline(m_style & Underline);
    setFont(linkFont);
    if (m_style & FitToText)
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // Qt always has a pointing hand, so NoHandCursor has nothing to leave out.
    setCursor(Qt::PointingHandCursor);
    setToolTip(m_address);
    setFocusPolicy((m_style & FocusOnPress) ? Qt::StrongFocus : Qt::TabFocus);
    updateColour();
}

void CHyperLink::followLink()
{
    const int result = m_opener(m_address);
    if (result <= LastFailureCode) {
        qCDebug(lcUi) << "cannot open" << m_address << "code" << result;
        QApplication::beep();
        QMessageBox::warning(window(), loadText(IDS_APP_TITLE), linkErrorText(result));
        return;
    }
    m_visited = true;
    updateColour();
}

void CHyperLink::updateColour()
{
    QColor colour = UnvisitedColor;
    if (m_hover && (m_style & HoverColour))
        colour = HoverColor;
    else if (m_active && !(m_style & NoActiveColour))
        colour = ActiveColor;
    else if (m_visited)
        colour = VisitedColor;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, colour);
    setPalette(pal);
}

void CHyperLink::enterEvent(QEnterEvent* event)
{
    m_hover = true;
    updateColour();
    QLabel::enterEvent(event);
}

void CHyperLink::leaveEvent(QEvent* event)
{
    m_hover = false;
    updateColour();
    QLabel::leaveEvent(event);
}

void CHyperLink::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QLabel::mousePressEvent(event);
    if (m_style & FocusOnPress)
        setFocus(Qt::MouseFocusReason);
    if (m_style & OpenOnPress)
        followLink();
    m_active = true;
    updateColour();
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event)
{
    // Letting go outside the link cancels the click, as with any link or button.
    if (event->button() == Qt::LeftButton && m_active && !(m_style & OpenOnPress) &&
        rect().contains(event->position().toPoint()))
        followLink();
    QLabel::mouseReleaseEvent(event);
}

void CHyperLink::focusInEvent(QFocusEvent* event)
{
    m_active = true;
    updateColour();
    QLabel::focusInEvent(event);
}

void CHyperLink::focusOutEvent(QFocusEvent* event)
{
    m_active = false;
    m_hover = false;
    updateColour();
    QLabel::focusOutEvent(event);
}

void CHyperLink::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
        followLink();
    else
        QLabel::keyPressEvent(event);
}
