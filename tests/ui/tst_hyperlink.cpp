#include "app/stringtable.h"
#include "ui/aboutdialog.h"
#include "ui/hyperlink.h"
#include "uitestsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

namespace {
QColor colour(const CHyperLink& link)
{
    return link.palette().color(QPalette::WindowText);
}

void hover(CHyperLink& link, bool inside)
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
    CHyperLink* link;
    QLineEdit* other;
    int opens = 0;
    int result = 33;

    explicit LinkWindow(unsigned style = CHyperLink::DefaultStyle)
    {
        link = new CHyperLink(QStringLiteral("chimewell.example.org"), &window,
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
        const unsigned standard = CHyperLink::DefaultStyle;
        QTest::newRow("default: hover keeps blue, teal while active, then purple")
            << standard << CHyperLink::UnvisitedColor << CHyperLink::ActiveColor
            << CHyperLink::VisitedColor;
        QTest::newRow("hover colour")
            << (standard | CHyperLink::HoverColour) << CHyperLink::HoverColor
            << CHyperLink::HoverColor << CHyperLink::VisitedColor;
        QTest::newRow("no active colour")
            << (standard | CHyperLink::NoActiveColour) << CHyperLink::UnvisitedColor
            << CHyperLink::VisitedColor << CHyperLink::VisitedColor;
    }

    void colourStates()
    {
        QFETCH(unsigned, style);
        QFETCH(QColor, hovered);
        QFETCH(QColor, afterClick);
        QFETCH(QColor, afterFocusLoss);
        LinkWindow w(style);
        QCOMPARE(colour(*w.link), CHyperLink::UnvisitedColor);
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

    void failedOpenBeepsAndExplains()
    {
        LinkWindow w;
        w.result = 31;
        const QString text = nextMessageBoxText([&] { w.click(); });
        QCOMPARE(text, QStringLiteral("Can't open link:\n\nThere is no application associated\n"
                                      "with the given filename extension."));
        QVERIFY(!w.link->visited());
        w.other->setFocus();
        QCOMPARE(colour(*w.link), CHyperLink::UnvisitedColor);
    }

    void errorTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reason");
        QTest::newRow("0") << 0 << "The operating system is out\nof memory or resources.";
        QTest::newRow("26 keeps its blank") << 26 << "A sharing violation occurred. ";
        QTest::newRow("4 unknown") << 4 << "Unknown Error (4) occurred.";
    }

    void errorTexts()
    {
        QFETCH(int, code);
        QFETCH(QString, reason);
        QCOMPARE(linkErrorText(code), QStringLiteral("Can't open link:\n\n") + reason);
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

    void openOnPressOrRelease_data()
    {
        QTest::addColumn<unsigned>("style");
        QTest::addColumn<int>("afterPress");
        QTest::addColumn<int>("afterRelease");
        QTest::newRow("on release") << CHyperLink::DefaultStyle << 0 << 1;
        QTest::newRow("on press") << (CHyperLink::DefaultStyle | CHyperLink::OpenOnPress) << 1 << 1;
    }

    void openOnPressOrRelease()
    {
        QFETCH(unsigned, style);
        QFETCH(int, afterPress);
        QFETCH(int, afterRelease);
        LinkWindow w(style);
        QTest::mousePress(w.link, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(w.opens, afterPress);
        QTest::mouseRelease(w.link, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(w.opens, afterRelease);
    }

    void releasingOutsideCancels()
    {
        LinkWindow w;
        QTest::mousePress(w.link, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseRelease(w.link, Qt::LeftButton, {}, QPoint(-20, 200));
        QCOMPARE(w.opens, 0);
    }

    void focusOnPressOnlyWithItsBit()
    {
        LinkWindow w(CHyperLink::Underline | CHyperLink::FitToText);
        w.click();
        QVERIFY(!w.link->hasFocus());
        QCOMPARE(w.opens, 1);
    }

    void addressAndText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("text is the address") << "https://a.example/"
                                             << ""
                                             << "https://a.example/"
                                             << "https://a.example/";
        QTest::newRow("address shown for empty text") << ""
                                                      << "https://b.example/"
                                                      << "https://b.example/"
                                                      << "https://b.example/";
        QTest::newRow("own text") << "Visit us"
                                  << "https://c.example/"
                                  << "Visit us"
                                  << "https://c.example/";
        QTest::newRow("both empty") << ""
                                    << ""
                                    << ""
                                    << "";
    }

    void addressAndText()
    {
        QFETCH(QString, text);
        QFETCH(QString, address);
        QFETCH(QString, shown);
        QFETCH(QString, tooltip);
        CHyperLink link(text, nullptr, address);
        QCOMPARE(link.text(), shown);
        QCOMPARE(link.toolTip(), tooltip);
        QCOMPARE(link.address(), tooltip);
    }

    void aboutBox()
    {
        AboutDialog about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About Chimewell"));
        QCOMPARE(about.findChild<QLabel*>("versionText")->text(), QStringLiteral("1.1.0"));
        QCOMPARE(about.link()->address(), QStringLiteral("https://chimewell.example.org/"));
        bool pictureShown = false;
        for (QLabel* label : about.findChildren<QLabel*>())
            pictureShown = pictureShown || !label->pixmap().isNull();
        QVERIFY(pictureShown);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::keyClick(&about, Qt::Key_Escape);
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(TestHyperLink)
#include "tst_hyperlink.moc"
