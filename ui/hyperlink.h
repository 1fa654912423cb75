// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

#include <functional>

// A static text that works as a link: link colours, underline, pointing-hand cursor, the
// address as tooltip; a click or the space bar opens the address, a failure is reported with
// a message box.
class HyperLink : public QLabel
{
    Q_OBJECT
public:
    enum StyleBit : unsigned
    {
        Underline = 0x01,
        HoverColour = 0x02,
        FitToText = 0x04,
        OpenOnPress = 0x08,
        FocusOnPress = 0x10,
        NoHandCursor = 0x20,
        NoActiveColour = 0x40,
    };
    static constexpr unsigned DefaultStyle = Underline | FitToText | FocusOnPress;

    // Empty `address`: the text is the address; empty text: the address is shown.
    explicit HyperLink(const QString& text, QWidget* parent = nullptr, const QString& address = {},
                       unsigned style = DefaultStyle);

    QString address() const { return m_address; }
    bool visited() const { return m_visited; }

    // Opens an address; answers a code above 32 on success, else the failure code.
    using Opener = std::function<int(const QString& address)>;
    void setOpener(Opener opener) { m_opener = std::move(opener); }

    void followLink();

    static const QColor HoverColor;
    static const QColor ActiveColor;
    static const QColor VisitedColor;
    static const QColor UnvisitedColor;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateColour();

    unsigned m_style;
    QString m_address;
    bool m_active = false;
    bool m_hover = false;
    bool m_visited = false;
    Opener m_opener;
};

// "Can't open link:\n\n" and the text for a failure code of the opener.
QString linkErrorText(int code);
// The desktop's URL handler; a missing handler answers 31 ("no application associated").
int openWithDesktop(const QString& address);
