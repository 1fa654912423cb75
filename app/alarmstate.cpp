// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarmstate.h"

#include "logcategories.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QString kFormat = QStringLiteral("chimewell-alarm-state");
constexpr int kVersion = 1;

QJsonObject answerToJson(const QString& key, const AlarmAnswer& answer)
{
    QJsonObject object{{QStringLiteral("key"), key},
                       {QStringLiteral("start"), qint64(answer.start)}};
    if (answer.acknowledged)
        object.insert(QStringLiteral("acknowledged"), true);
    else
        object.insert(QStringLiteral("snoozedAt"), qint64(answer.snoozedAt));
    return object;
}

UserAlarmState userFromJson(const QJsonObject& object, std::int64_t dayStart)
{
    UserAlarmState user;
    user.watchedUntil = object.value(QStringLiteral("watchedUntil")).toInteger();
    for (const QJsonValue& value : object.value(QStringLiteral("answers")).toArray()) {
        const QJsonObject item = value.toObject();
        const QString key = item.value(QStringLiteral("key")).toString();
        AlarmAnswer answer;
        answer.start = item.value(QStringLiteral("start")).toInteger();
        answer.acknowledged = item.value(QStringLiteral("acknowledged")).toBool();
        answer.snoozedAt = item.value(QStringLiteral("snoozedAt")).toInteger();
        if (key.isEmpty() || (!answer.acknowledged && answer.snoozedAt <= 0))
            continue;
        user.answers.insert(key, answer);
    }
    pruneAnswers(user.answers, dayStart);
    return user;
}

} // namespace

AlarmStateFile::AlarmStateFile(QString folder) : m_folder(std::move(folder)) {}

QString AlarmStateFile::fileName() const
{
    return QDir(m_folder).filePath(QStringLiteral("alarmstate.json"));
}

AlarmState AlarmStateFile::load(std::int64_t dayStart) const
{
    AlarmState state;
    QFile file(fileName());
    if (!file.open(QIODevice::ReadOnly)) {
        qCDebug(lcAlarm) << "no alarm state read from" << fileName() << ":" << file.errorString();
        return state;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    const QJsonObject root = document.object();
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        qCWarning(lcAlarm) << "the alarm state file" << fileName()
                           << "is damaged and is ignored:" << error.errorString();
        return state;
    }
    if (root.value(QStringLiteral("format")).toString() != kFormat ||
        root.value(QStringLiteral("version")).toInt() != kVersion) {
        qCWarning(lcAlarm) << "the file" << fileName()
                           << "is not an alarm state this version of Chimewell knows; ignored";
        return state;
    }
    for (const QJsonValue& value : root.value(QStringLiteral("users")).toArray()) {
        const QJsonObject object = value.toObject();
        if (!object.value(QStringLiteral("palmuserid")).isDouble())
            continue;
        state.insert(object.value(QStringLiteral("palmuserid")).toInt(),
                     userFromJson(object, dayStart));
    }
    qCDebug(lcAlarm) << "alarm state of" << state.size() << "Palm users read from" << fileName();
    return state;
}

bool AlarmStateFile::save(const AlarmState& state, std::int64_t dayStart) const
{
    QJsonArray users;
    for (auto user = state.cbegin(); user != state.cend(); ++user) {
        QJsonArray answers;
        for (auto answer = user->answers.cbegin(); answer != user->answers.cend(); ++answer) {
            if (answer->start >= dayStart)
                answers.append(answerToJson(answer.key(), answer.value()));
        }
        users.append(QJsonObject{{QStringLiteral("palmuserid"), user.key()},
                                 {QStringLiteral("watchedUntil"), qint64(user->watchedUntil)},
                                 {QStringLiteral("answers"), answers}});
    }
    const QJsonObject root{{QStringLiteral("format"), kFormat},
                           {QStringLiteral("version"), kVersion},
                           {QStringLiteral("users"), users}};

    if (!QDir().mkpath(m_folder) ||
        !QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        qCWarning(lcAlarm) << "cannot make the folder" << m_folder << "for the alarm state";
        return false;
    }
    QSaveFile file(fileName());
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner) ||
        file.write(QJsonDocument(root).toJson(QJsonDocument::Compact)) < 0 || !file.commit()) {
        qCWarning(lcAlarm) << "cannot write the alarm state to" << fileName() << ":"
                           << file.errorString();
        return false;
    }
    return true;
}

QString alarmStateFolder()
{
#ifdef Q_OS_WIN
    QString base = qEnvironmentVariable("LOCALAPPDATA");
    if (base.isEmpty())
        base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#else
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    // Only an absolute XDG_STATE_HOME counts, as for the other XDG folders.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
#endif
    return QDir(base).filePath(QStringLiteral("chimewell"));
}
