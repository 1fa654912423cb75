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
    void usersDatNamesTheUsers();
    void foldersWhenUsersDatFails();
    void dataFilesIgnoreCase();
};

void UsersTest::usersDatNamesTheUsers()
{
    const PalmUser gewirtz{0x2A3B4C5D, "David Gewirtz", "GewirtD"};
    const PalmUser mueller{int(0x9ABCDEF0u), "Jürgen Müller", "MüllerJ"};
    const PalmUser profile{7, "Sales Profile", "Profile1"}; // ids below 256 are profiles
    const std::pair<QByteArray, std::vector<PalmUser>> rows[] = {
        {usersDat(3, {profile, gewirtz, mueller}), {gewirtz, mueller}},
        {usersDat(1, {gewirtz, mueller}), {gewirtz}}};
    for (const auto& [bytes, expected] : rows) {
        QTemporaryDir tmp;
        const QDir root(tmp.path());
        for (const char* folder : {"GewirtD", "MüllerJ", "Profile1"})
            QVERIFY(root.mkpath(QString::fromUtf8(folder)));
        writeFile(root.filePath("users.dat"), bytes);
        const auto users = readUsers(tmp.path().toStdString());
        QVERIFY2(users.ok(), users.error().c_str());
        QVERIFY(users.value() == expected);
    }
}

void UsersTest::foldersWhenUsersDatFails()
{
    // Real files hold short class names: a long one is junk, whose search must stay linear.
    ArchiveWriter longClassName;
    longClassName.count(1);
    longClassName.newObjectTag(std::string(65, 'C'));
    longClassName.i32(1000);
    longClassName.text("Someone");
    longClassName.text("NoDates");
    for (const QByteArray& usersDat : {QByteArray(), bytesOf(longClassName)}) {
        QTemporaryDir tmp;
        const QDir root(tmp.path());
        writeFile(root.filePath("Smith/datebook/datebook.dat"), "x");
        writeFile(root.filePath("Baker/DateBook/DateBook.dat"), "x");
        writeFile(root.filePath("NoDates/todo/todo.dat"), "x");
        if (!usersDat.isNull())
            writeFile(root.filePath("Users.dat"), usersDat);
        const auto users = readUsers(tmp.path().toStdString());
        QVERIFY2(users.ok(), users.error().c_str());
        QCOMPARE(users.value().size(), std::size_t(2));
        QCOMPARE(users.value()[0], (PalmUser{users.value()[0].id, "Baker", "Baker"}));
        QCOMPARE(users.value()[1].folder, std::string("Smith"));
    }
}

void UsersTest::dataFilesIgnoreCase()
{
    QTemporaryDir tmp;
    const QDir root(tmp.path());
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
