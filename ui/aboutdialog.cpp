// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "aboutdialog.h"

#include "app/stringtable.h"
#include "hyperlink.h"
#include "resources.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

const QString AboutDialog::WebAddress = QStringLiteral("https://chimewell.example.org/");

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("About Chimewell"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* picture = new QLabel(this);
    picture->setPixmap(aboutPicture());

    auto* name = new QLabel(QStringLiteral("Chimewell"), this);
    name->setTextFormat(Qt::PlainText);
    QFont nameFont = name->font();
    nameFont.setBold(true);
    name->setFont(nameFont);
    auto* version = new QLabel(getVersionText(), this);
    version->setObjectName(QStringLiteral("versionText"));
    m_link = new HyperLink(WebAddress, this);

    auto* description =
        new QLabel(tr("Get notified about Palm appointments on your Desktop"), this);
    auto* ok = new QPushButton(tr("&OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* nameLine = new QHBoxLayout;
    nameLine->addWidget(name);
    nameLine->addWidget(version);
    nameLine->addStretch();
    auto* facts = new QVBoxLayout;
    facts->addLayout(nameLine);
    facts->addSpacing(12);
    facts->addWidget(m_link);
    facts->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addLayout(facts, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(description);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ok->setFocus();
}
