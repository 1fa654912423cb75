// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/archive.h"
#include "palmfile/users.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace palmfile;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray bytesOf(const ArchiveWriter& out)
{
    return QByteArray(reinterpret_cast<const char*>(out.data().data()),
                      qsizetype(out.data().size()));
}

// A users.dat that announces `count` users; each entry is followed by conduit settings of a
// layout nobody published.
QByteArray usersDat(std::uint32_t count, const std::vector<PalmUser>& users)
{
    ArchiveWriter out;
    out.count(count);
    for (const PalmUser& user : users) {
        out.newObjectTag("CUser");
        out.i32(user.id);
        out.text(user.name);
        out.text(user.folder);
        out.u16(1);
        out.u32(0xDEADBEEF);
        out.count(1);
        out.newObjectTag("CConduitInfo");
        out.i32(0x1234);
        out.text("C:\\Palm\\Conduit.dll");
        out.text("Date Book");
        out.count(0);
    }
    return bytesOf(out);
}

} // namespace

class UsersTest : public QObject
{
    Q_OBJECT

private slots:
    void usersAndTheirFiles();
};

void UsersTest::usersAndTheirFiles()
{
    const PalmUser gewirtz{0x2A3B4C5D, "David Gewirtz", "GewirtD"};
    const PalmUser mueller{int(0x9ABCDEF0u), "Jürgen Müller", "MüllerJ"};
    const PalmUser profile{7, "Sales Profile", "Profile1"}; // ids below 256 are profiles
    // Real files hold short class names: a long one is junk, whose search must stay linear.
    ArchiveWriter longClassName;
    longClassName.count(1);
    longClassName.newObjectTag(std::string(65, 'C'));
    longClassName.i32(1000);
    longClassName.text("Someone");
    longClassName.text("NoDates");
    // Without users.dat, or when it names nobody, each folder with a datebook is a user.
    const std::pair<QByteArray, QString> rows[] = {
        {usersDat(3, {profile, gewirtz, mueller}), "David Gewirtz/GewirtD Jürgen Müller/MüllerJ"},
        {usersDat(1, {gewirtz, mueller}), "David Gewirtz/GewirtD"},
        {QByteArray(), "Baker/Baker GewirtD/GewirtD Smith/Smith"},
        {bytesOf(longClassName), "Baker/Baker GewirtD/GewirtD Smith/Smith"}};
    QTemporaryDir tmp;
    const QDir root(tmp.path());
    for (const char* file :
         {"Smith/datebook/datebook.dat", "Baker/DateBook/DateBook.dat",
          "GewirtD/DateBook/DateBook.DAT", "GewirtD/todo/todo.dat", "MüllerJ/todo/todo.dat",
          "Profile1/todo/todo.dat", "NoDates/todo/todo.dat"})
        writeFile(root.filePath(QString::fromUtf8(file)), "x");
    const std::string desktop = tmp.path().toStdString();
    for (const auto& [bytes, expected] : rows) {
        QFile::remove(root.filePath("Users.dat"));
        if (!bytes.isNull())
            writeFile(root.filePath("Users.dat"), bytes);
        const auto users = readUsers(desktop);
        QVERIFY2(users.ok(), users.error().c_str());
        QStringList found;
        for (const PalmUser& user : users.value())
            found << QString::fromStdString(user.name + '/' + user.folder);
        QCOMPARE(found.join(' '), expected);
    }
    QCOMPARE(dataFilePath(desktop, "GewirtD", DataFile::Datebook),
             root.filePath("GewirtD/DateBook/DateBook.DAT").toStdString());
    QCOMPARE(dataFilePath(desktop, "/gewirtd", DataFile::Todo),
             root.filePath("GewirtD/todo/todo.dat").toStdString());
    QCOMPARE(dataFilePath(desktop, "Smith", DataFile::Todo),
             root.filePath("Smith/todo/todo.dat").toStdString());
}

QTEST_GUILESS_MAIN(UsersTest)
#include "tst_users.moc"
