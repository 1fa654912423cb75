#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

// Sets TZ for the lifetime of the object and restores the previous zone afterwards.
class PinnedTimeZone
{
public:
    explicit PinnedTimeZone(const char* zone)
        : m_hadZone(qEnvironmentVariableIsSet("TZ")), m_previous(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~PinnedTimeZone()
    {
        if (m_hadZone)
            qputenv("TZ", m_previous);
        else
            qunsetenv("TZ");
        tzset();
    }
    PinnedTimeZone(const PinnedTimeZone&) = delete;
    PinnedTimeZone& operator=(const PinnedTimeZone&) = delete;

private:
    bool m_hadZone;
    QByteArray m_previous;
};
