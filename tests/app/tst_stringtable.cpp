#include "app/stringtable.h"

#include <QtTest>

class TestStringTable : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setUiLanguage(UiLanguage::English); }

    void textsByLanguage_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("german");
        QTest::newRow("alarm caption keeps its blank")
            << int(IDS_ALARM_CAPTION) << "Appointment due! Time now "
            << "Termin fällig! Zeit jetzt";
        QTest::newRow("to-do prefix") << int(IDS_TODO_PREFIX) << " To Do: "
                                      << "Aufgaben:";
        QTest::newRow("read error") << int(IDS_CANT_READ_DATEBOOK) << "Error: Can't read datebook"
                                    << "Error: Kann datebook nicht lesen";
        QTest::newRow("product name") << int(IDS_PRODUCT_NAME) << "Chimewell"
                                      << "Chimewell";
        QTest::newRow("plural") << int(IDS_REMIND_AGAIN_PLURAL) << "Remind again in %d minutes"
                                << "Wieder erinnern in %d Minuten";
        QTest::newRow("unknown id") << 6 << ""
                                    << "";
    }

    void textsByLanguage()
    {
        QFETCH(int, id);
        QFETCH(QString, english);
        QFETCH(QString, german);
        setUiLanguage(UiLanguage::English);
        QCOMPARE(LoadText(id), english);
        setUiLanguage(UiLanguage::German);
        QCOMPARE(LoadText(id), german);
    }

    void versionText_data()
    {
        QTest::addColumn<int>("minor");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1.1.0.2") << 1 << "1.1.0";
        QTest::newRow("minor 257 keeps its low byte") << 257 << "1.1.0";
        QTest::newRow("minor 255") << 255 << "1.255.0";
    }

    void versionText()
    {
        QFETCH(int, minor);
        QFETCH(QString, expected);
        QCOMPARE(::versionText(1, minor, 0), expected);
    }

    void programVersion() { QCOMPARE(GetVersionText(), QString("1.1.0")); }
};

QTEST_GUILESS_MAIN(TestStringTable)
#include "tst_stringtable.moc"
