#include "app/settings.h"
#include "app/stringtable.h"
#include "palm/palmdesktopusers.h"
#include "palmfile/users.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

class RecordingNotice : public NoPalmDesktopNotice
{
public:
    QStringList texts;
    void showNoPalmDesktop(const QString& text) override { texts << text; }
};

} // namespace

class TestPalmUsers : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_desktop;

    void touch(const QString& relative)
    {
        QVERIFY(QDir(m_desktop.path()).mkpath(QFileInfo(relative).path()));
        QFile file(m_desktop.filePath(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_desktop.isValid());
        setUiLanguage(UiLanguage::English);
        // Copied from Windows: the folders keep Palm Desktop's spelling.
        touch("AnnE/DateBook/DateBook.dat");
        touch("AnnE/ToDo/ToDo.dat");
        touch("BenS/datebook/datebook.dat");
        const auto bytes = palmfile::writeUsersDat({{300, "Ann", "AnnE"}, {400, "Ben", "BenS"}});
        QFile users(m_desktop.filePath("users.dat"));
        QVERIFY(users.open(QIODevice::WriteOnly));
        users.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    }

    void firstUserAndPaths()
    {
        const PalmDesktopUsers users(m_desktop.path());
        QCOMPARE(users.count(), 2);
        QCOMPARE(users.name(users.idAt(1)), QString("Ben"));
        QCOMPARE(users.userFolder(400), QString("/BenS"));

        Settings settings(&users, nullptr);
        QCOMPARE(settings.palmuserid, 300);
        QCOMPARE(settings.datebookpath, m_desktop.filePath("AnnE/DateBook/DateBook.dat"));
        QCOMPARE(settings.todopath, m_desktop.filePath("AnnE/ToDo/ToDo.dat"));

        settings.SelectPalmUser(400);
        QCOMPARE(settings.datebookpath, m_desktop.filePath("BenS/datebook/datebook.dat"));
        QCOMPARE(settings.todopath, m_desktop.filePath("BenS/todo/todo.dat"));

        // A stale stored id names no file, so the scans report the failure.
        settings.SelectPalmUser(-1);
        QVERIFY(settings.datebookpath.isEmpty());
        QVERIFY(settings.todopath.isEmpty());
        QCOMPARE(users.userFolder(-1), QString());
    }

    void noPalmDesktopIsReported()
    {
        const PalmDesktopUsers none(QString{});
        QCOMPARE(none.count(), 0);
        QVERIFY(!none.error().isEmpty());
        RecordingNotice notice;
        setUiLanguage(UiLanguage::German);
        const Settings settings(&none, &notice);
        setUiLanguage(UiLanguage::English);
        QCOMPARE(notice.texts, QStringList{"Kein Palm Desktop gefunden. Dieses Programm benötigt "
                                           "einen installierten Palm Desktop."});
        QVERIFY(settings.datebookpath.isEmpty());

        const PalmDesktopUsers users(m_desktop.path());
        RecordingNotice quiet;
        const Settings withUsers(&users, &quiet);
        QVERIFY(quiet.texts.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPalmUsers)
#include "tst_palmusers.moc"
