// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class HyperLink;

// The About box: product name, version, a picture, a one-line description and a link to the
// program's web site.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    HyperLink* link() const { return m_link; }

    static const QString WebAddress;

private:
    HyperLink* m_link;
};
