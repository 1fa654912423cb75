// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
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
        QTest::newRow("unknown id") << 6 << ""
                                    << "";
    }

    void textsByLanguage()
    {
        QFETCH(int, id);
        QFETCH(QString, english);
        QFETCH(QString, german);
        QCOMPARE(loadText(id), english);
        setUiLanguage(UiLanguage::German);
        QCOMPARE(loadText(id), german);
    }
};

QTEST_GUILESS_MAIN(TestStringTable)
#include "tst_stringtable.moc"
