// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stringtable.h"
#include "ui/aboutdialog.h"
#include "ui/hyperlink.h"
#include "uitestsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QtTest>

namespace {
QColor colour(const HyperLink& link)
{
    return link.palette().color(QPalette::WindowText);
}

// A link in a window with a second control that can take the focus away.
struct LinkWindow
{
    QWidget window;
    HyperLink* link;
    QLineEdit* other;
    int opens = 0;
    int result = 33;

    explicit LinkWindow(unsigned style = HyperLink::DefaultStyle)
    {
        link = new HyperLink(QStringLiteral("chimewell.example.org"), &window,
                             QStringLiteral("https://chimewell.example.org/"), style);
        other = new QLineEdit(&window);
        other->move(0, 40);
        link->setOpener([this](const QString&) {
            ++opens;
            return result;
        });
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        other->setFocus();
    }

    void click() { QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2)); }
};
} // namespace

class TestHyperLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        setUiLanguage(UiLanguage::English);
    }

    // A press and a release inside open once, at the moment the style says; a press takes the
    // focus only with its style bit. The space bar opens, other keys do not.
    void opensOnceAndOnlyInside()
    {
        const unsigned standard = HyperLink::DefaultStyle;
        const QPoint inside(2, 2);
        const struct
        {
            unsigned style;
            QPoint release;
            int afterPress, afterRelease;
            bool focus;
        } rows[] = {
            {standard, inside, 0, 1, true},
            {standard | HyperLink::OpenOnPress, inside, 1, 1, true},
            {standard, QPoint(-20, 200), 0, 0, true},
            {HyperLink::Underline | HyperLink::FitToText, inside, 0, 1, false},
        };
        for (const auto& row : rows) {
            LinkWindow w(row.style);
            QTest::mousePress(w.link, Qt::LeftButton, {}, inside);
            QCOMPARE(w.opens, row.afterPress);
            QTest::mouseRelease(w.link, Qt::LeftButton, {}, row.release);
            QCOMPARE(w.opens, row.afterRelease);
            QCOMPARE(w.link->hasFocus(), row.focus);
        }
        LinkWindow w;
        w.link->setFocus();
        for (const auto key : {Qt::Key_Space, Qt::Key_Space, Qt::Key_Return, Qt::Key_A})
            QTest::keyClick(w.link, key);
        QCOMPARE(w.opens, 2);
    }

    // 32 is the last failure code: the user is told, and the link stays unvisited.
    void failedOpenLeavesTheLinkUnvisited()
    {
        LinkWindow w;
        w.result = 32;
        QVERIFY(!nextMessageBoxText([&] { w.click(); }).isEmpty());
        QVERIFY(!w.link->visited());
        w.other->setFocus();
        QCOMPARE(colour(*w.link), HyperLink::UnvisitedColor);
    }

    // The whole version, the one the AppStream data announces.
    void aboutBoxShowsTheVersion()
    {
        QFile metainfo(QStringLiteral(CHIMEWELL_METAINFO));
        QVERIFY(metainfo.open(QIODevice::ReadOnly));
        const QRegularExpressionMatch release =
            QRegularExpression("<release version=\"([^\"]+)\"").match(metainfo.readAll());
        QVERIFY(release.hasMatch());
        AboutDialog about;
        QCOMPARE(about.findChild<QLabel*>("versionText")->text(), release.captured(1));
    }
};

QTEST_MAIN(TestHyperLink)
#include "tst_hyperlink.moc"
