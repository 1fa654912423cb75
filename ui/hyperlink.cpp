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

const QColor HyperLink::HoverColor(255, 0, 0);
const QColor HyperLink::ActiveColor(0, 128, 128);
const QColor HyperLink::VisitedColor(128, 0, 128);
const QColor HyperLink::UnvisitedColor(0, 0, 255);

namespace {
constexpr int NoAssociation = 31;
constexpr int LastFailureCode = 32;
} // namespace

QString linkErrorText(int code)
{
    QString reason;
    switch (code) {
    case 0:
        reason = HyperLink::tr("The operating system is out\nof memory or resources.");
        break;
    case 2:
        reason = HyperLink::tr("The specified file was not found.");
        break;
    case 3:
        reason = HyperLink::tr("The specified path was not found.");
        break;
    case 5:
        reason = HyperLink::tr("The operating system denied\naccess to the specified file.");
        break;
    case 8:
        reason = HyperLink::tr("There was not enough memory to complete the operation.");
        break;
    case 11:
        reason =
            HyperLink::tr("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
        break;
    case 26:
        reason = HyperLink::tr("A sharing violation occurred. ");
        break;
    case 27:
        reason = HyperLink::tr("The filename association is\nincomplete or invalid.");
        break;
    case 28:
        reason = HyperLink::tr(
            "The DDE transaction could not\nbe completed because the request timed out.");
        break;
    case 29:
        reason = HyperLink::tr("The DDE transaction failed.");
        break;
    case 30:
        reason = HyperLink::tr("The DDE transaction could not\nbe completed because other DDE "
                               "transactions\nwere being processed.");
        break;
    case 31:
        reason =
            HyperLink::tr("There is no application associated\nwith the given filename extension.");
        break;
    case 32:
        reason = HyperLink::tr("The specified dynamic-link library was not found.");
        break;
    default:
        reason = HyperLink::tr("Unknown Error (%1) occurred.").arg(code);
        break;
    }
    return HyperLink::tr("Can't open link:\n\n") + reason;
}

int openWithDesktop(const QString& address)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(address)) ? LastFailureCode + 1
                                                                   : NoAssociation;
}

HyperLink::HyperLink(const QString& text, QWidget* parent, const QString& address, unsigned style)
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

void HyperLink::followLink()
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

void HyperLink::updateColour()
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

void HyperLink::enterEvent(QEnterEvent* event)
{
    m_hover = true;
    updateColour();
    QLabel::enterEvent(event);
}

void HyperLink::leaveEvent(QEvent* event)
{
    m_hover = false;
    updateColour();
    QLabel::leaveEvent(event);
}

void HyperLink::mousePressEvent(QMouseEvent* event)
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

void HyperLink::mouseReleaseEvent(QMouseEvent* event)
{
    // Letting go outside the link cancels the click, as with any link or button.
    if (event->button() == Qt::LeftButton && m_active && !(m_style & OpenOnPress) &&
        rect().contains(event->position().toPoint()))
        followLink();
    QLabel::mouseReleaseEvent(event);
}

void HyperLink::focusInEvent(QFocusEvent* event)
{
    m_active = true;
    updateColour();
    QLabel::focusInEvent(event);
}

void HyperLink::focusOutEvent(QFocusEvent* event)
{
    m_active = false;
    m_hover = false;
    updateColour();
    QLabel::focusOutEvent(event);
}

void HyperLink::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
        followLink();
    else
        QLabel::keyPressEvent(event);
}
