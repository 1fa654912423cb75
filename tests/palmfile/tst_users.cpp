// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/archive.h"
#include "palmfile/users.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace palmfile;

Q_DECLARE_METATYPE(std::vector<palmfile::PalmUser>)

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray bytesOf(const std::vector<std::uint8_t>& data)
{
    return QByteArray(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
}

// A user entry followed by conduit settings of a layout nobody published.
void writeUserWithConduits(ArchiveWriter& out, const PalmUser& user)
{
    out.newObjectTag("CUser");
    out.i32(user.id);
    out.text(user.name);
    out.text(user.folder);
    out.u16(1);
    out.u32(0xDEADBEEF);
    out.count(2);
    for (int i = 0; i < 2; ++i) {
        out.newObjectTag("CConduitInfo");
        out.i32(0x1234 + i);
        out.text("C:\\Palm\\Conduit.dll");
        out.text("Date Book");
    }
    out.count(0);
}

const PalmUser gewirtz{0x2A3B4C5D, "David Gewirtz", "GewirtD"};
const PalmUser mueller{int(0x9ABCDEF0u), "Jürgen Müller", "MüllerJ"};
const PalmUser profile{7, "Sales Profile", "Profile1"};

} // namespace

class UsersTest : public QObject
{
    Q_OBJECT

private slots:
    void usersDat_data();
    void usersDat();
    void foldersWhenUsersDatFails_data();
    void foldersWhenUsersDatFails();
    void dataFilesIgnoreCase();
};

void UsersTest::usersDat_data()
{
    QTest::addColumn<QByteArray>("usersDat");
    QTest::addColumn<std::vector<PalmUser>>("expected");

    ArchiveWriter withConduits;
    withConduits.count(3);
    for (const PalmUser& user : {profile, gewirtz, mueller})
        writeUserWithConduits(withConduits, user);
    QTest::newRow("conduit settings between the users")
        << bytesOf(withConduits.data()) << std::vector<PalmUser>{gewirtz, mueller};

    ArchiveWriter countOne;
    countOne.count(1);
    for (const PalmUser& user : {gewirtz, mueller})
        writeUserWithConduits(countOne, user);
    QTest::newRow("stops after the user count")
        << bytesOf(countOne.data()) << std::vector<PalmUser>{gewirtz};

    ArchiveWriter broken;
    broken.count(1);
    broken.u16(0x8001); // looks like a user entry whose name runs past the end
    broken.u32(300);
    broken.u8(0xFF);
    writeUserWithConduits(broken, gewirtz);
    QTest::newRow("a broken entry before the user")
        << bytesOf(broken.data()) << std::vector<PalmUser>{gewirtz};

    const PalmUser noFolder{1000, "Nobody", "Nobody"};
    const PalmUser escape{1001, "Escaper", ".."};
    QTest::newRow("users without a folder are skipped")
        << bytesOf(writeUsersDat({noFolder, escape, mueller})) << std::vector<PalmUser>{mueller};
}

void UsersTest::usersDat()
{
    QFETCH(QByteArray, usersDat);
    QFETCH(std::vector<PalmUser>, expected);
    QTemporaryDir tmp;
    const QDir root(tmp.path());
    for (const char* folder : {"GewirtD", "MüllerJ", "Profile1"})
        QVERIFY(root.mkpath(QString::fromUtf8(folder)));
    writeFile(root.filePath("users.dat"), usersDat);

    const auto users = readUsers(tmp.path().toStdString());
    QVERIFY2(users.ok(), users.error().c_str());
    QCOMPARE(users.value(), expected);
}

void UsersTest::foldersWhenUsersDatFails_data()
{
    QTest::addColumn<QByteArray>("usersDat"); // null: no users.dat at all
    QTest::addColumn<QString>("target");      // else what users.dat is: a FIFO or a link target
    QTest::newRow("no users.dat") << QByteArray() << "";
    QTest::newRow("garbage") << QByteArray("\x02\x00\xff\xff\x01\x00\x40\x00"
                                           "CUser",
                                           13)
                             << "";
    QTest::newRow("users without folders")
        << bytesOf(writeUsersDat({PalmUser{1000, "Nobody", "Nobody"}})) << "";
    QTest::newRow("larger than 1 MB") << QByteArray((1 << 20) + 1, 0) << "";
    // Real files hold short class names: a long one is junk, whose search must stay linear.
    ArchiveWriter longClassName;
    longClassName.count(1);
    longClassName.newObjectTag(std::string(65, 'C'));
    longClassName.i32(1000);
    longClassName.text("Someone");
    longClassName.text("NoDates");
    QTest::newRow("class name too long") << bytesOf(longClassName.data()) << "";
#ifdef Q_OS_UNIX
    QTest::newRow("FIFO") << QByteArray() << "fifo";
#endif
#ifdef Q_OS_LINUX
    // Claims to be empty and goes on for gigabytes.
    QTest::newRow("endless") << QByteArray() << "/proc/self/pagemap";
#endif
}

void UsersTest::foldersWhenUsersDatFails()
{
    QFETCH(QByteArray, usersDat);
    QFETCH(QString, target);
    QTemporaryDir tmp;
    const QDir root(tmp.path());
    writeFile(root.filePath("Smith/datebook/datebook.dat"), "x");
    writeFile(root.filePath("Baker/DateBook/DateBook.dat"), "x");
    writeFile(root.filePath("NoDates/todo/todo.dat"), "x");
    if (!usersDat.isNull())
        writeFile(root.filePath("Users.dat"), usersDat);
#ifdef Q_OS_UNIX
    if (target == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(root.filePath("users.dat")).constData(), 0600), 0);
#endif
    if (target.startsWith('/'))
        QVERIFY(QFile::link(target, root.filePath("users.dat")));

    const auto users = readUsers(tmp.path().toStdString());
    QVERIFY2(users.ok(), users.error().c_str());
    QCOMPARE(users.value().size(), std::size_t(2));
    QCOMPARE(users.value()[0], (PalmUser{users.value()[0].id, "Baker", "Baker"}));
    QCOMPARE(users.value()[1].folder, std::string("Smith"));
    // Ids below 256 would mark them as profiles.
    QVERIFY(users.value()[0].id >= 256 && users.value()[1].id >= 256);
    QVERIFY(users.value()[0].id != users.value()[1].id);
    // The same folder gives the same id in every run.
    QCOMPARE(readUsers(tmp.path().toStdString()).value(), users.value());
}

void UsersTest::dataFilesIgnoreCase()
{
    QTemporaryDir tmp;
    const QDir root(tmp.path());
    QVERIFY(!readUsers(tmp.path().toStdString()).ok()); // no user at all
    writeFile(root.filePath("GewirtD/DateBook/DateBook.DAT"), "x");
    writeFile(root.filePath("GewirtD/todo/todo.dat"), "x");
    const std::string desktop = tmp.path().toStdString();

    QCOMPARE(dataFilePath(desktop, "GewirtD", DataFile::Datebook),
             root.filePath("GewirtD/DateBook/DateBook.DAT").toStdString());
    QCOMPARE(dataFilePath(desktop, "/gewirtd", DataFile::Todo),
             root.filePath("GewirtD/todo/todo.dat").toStdString());
    QCOMPARE(dataFilePath(desktop, "Smith", DataFile::Todo),
             root.filePath("Smith/todo/todo.dat").toStdString());
}

QTEST_GUILESS_MAIN(UsersTest)
#include "tst_users.moc"
