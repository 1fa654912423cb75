// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class CHyperLink;

// The About box: product name, version, a picture, a one-line description and a link to the
// program's web site.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    CHyperLink* link() const { return m_link; }

    static const QString WebAddress;

private:
    CHyperLink* m_link;
};
