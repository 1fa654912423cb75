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

void hover(HyperLink& link, bool inside)
{
    if (inside) {
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), link.mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(&link, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&link, &leave);
    }
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

    void colourStates_data()
    {
        QTest::addColumn<unsigned>("style");
        QTest::addColumn<QColor>("hovered");
        QTest::addColumn<QColor>("afterClick");
        QTest::addColumn<QColor>("afterFocusLoss");
        const unsigned standard = HyperLink::DefaultStyle;
        QTest::newRow("default: hover keeps blue, teal while active, then purple")
            << standard << HyperLink::UnvisitedColor << HyperLink::ActiveColor
            << HyperLink::VisitedColor;
        QTest::newRow("hover colour")
            << (standard | HyperLink::HoverColour) << HyperLink::HoverColor << HyperLink::HoverColor
            << HyperLink::VisitedColor;
        QTest::newRow("no active colour")
            << (standard | HyperLink::NoActiveColour) << HyperLink::UnvisitedColor
            << HyperLink::VisitedColor << HyperLink::VisitedColor;
    }

    void colourStates()
    {
        QFETCH(unsigned, style);
        QFETCH(QColor, hovered);
        QFETCH(QColor, afterClick);
        QFETCH(QColor, afterFocusLoss);
        LinkWindow w(style);
        QCOMPARE(colour(*w.link), HyperLink::UnvisitedColor);
        hover(*w.link, true);
        QCOMPARE(colour(*w.link), hovered);
        w.click();
        QCOMPARE(w.opens, 1);
        QVERIFY(w.link->hasFocus());
        QCOMPARE(colour(*w.link), afterClick);
        hover(*w.link, false);
        w.other->setFocus();
        QCOMPARE(colour(*w.link), afterFocusLoss);
        QVERIFY(w.link->visited());
    }

    void failedOpenExplainsAndLeavesTheLinkUnvisited_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reason");
        QTest::newRow("32, the last failure")
            << 32 << "The specified dynamic-link library was not found.";
        QTest::newRow("unknown") << 4 << "Unknown Error (4) occurred.";
    }

    void failedOpenExplainsAndLeavesTheLinkUnvisited()
    {
        QFETCH(int, code);
        QFETCH(QString, reason);
        LinkWindow w;
        w.result = code;
        QCOMPARE(nextMessageBoxText([&] { w.click(); }), "Can't open link:\n\n" + reason);
        QVERIFY(!w.link->visited());
        w.other->setFocus();
        QCOMPARE(colour(*w.link), HyperLink::UnvisitedColor);
    }

    void spaceBarOpensOtherKeysDoNot()
    {
        LinkWindow w;
        w.link->setFocus();
        QTest::keyClick(w.link, Qt::Key_Space);
        QTest::keyClick(w.link, Qt::Key_Space);
        QTest::keyClick(w.link, Qt::Key_Return);
        QTest::keyClick(w.link, Qt::Key_A);
        QCOMPARE(w.opens, 2);
    }

    void mouseOpensOnceAndOnlyInside_data()
    {
        QTest::addColumn<unsigned>("style");
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<int>("afterPress");
        QTest::addColumn<int>("afterRelease");
        QTest::addColumn<bool>("focus");
        const unsigned standard = HyperLink::DefaultStyle;
        const QPoint inside(2, 2);
        QTest::newRow("on release") << standard << inside << 0 << 1 << true;
        QTest::newRow("on press") << (standard | HyperLink::OpenOnPress) << inside << 1 << 1
                                  << true;
        QTest::newRow("released outside") << standard << QPoint(-20, 200) << 0 << 0 << true;
        QTest::newRow("no focus bit")
            << unsigned(HyperLink::Underline | HyperLink::FitToText) << inside << 0 << 1 << false;
    }

    void mouseOpensOnceAndOnlyInside()
    {
        QFETCH(unsigned, style);
        QFETCH(QPoint, release);
        QFETCH(int, afterPress);
        QFETCH(int, afterRelease);
        QFETCH(bool, focus);
        LinkWindow w(style);
        QTest::mousePress(w.link, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(w.opens, afterPress);
        QTest::mouseRelease(w.link, Qt::LeftButton, {}, release);
        QCOMPARE(w.opens, afterRelease);
        QCOMPARE(w.link->hasFocus(), focus);
    }

    // The whole version, the one the AppStream data announces.
    void aboutBoxShowsTheVersionAndLink()
    {
        QFile metainfo(QStringLiteral(CHIMEWELL_METAINFO));
        QVERIFY(metainfo.open(QIODevice::ReadOnly));
        const QRegularExpressionMatch release =
            QRegularExpression("<release version=\"([^\"]+)\"").match(metainfo.readAll());
        QVERIFY(release.hasMatch());
        AboutDialog about;
        QCOMPARE(about.findChild<QLabel*>("versionText")->text(), release.captured(1));
        QCOMPARE(about.link()->address(), QStringLiteral("https://chimewell.example.org/"));
    }
};

QTEST_MAIN(TestHyperLink)
#include "tst_hyperlink.moc"
