// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM and SIGINT (a shutdown, a log-out, kill, Ctrl+C) as a Qt signal on the thread that
// made the object, so that the program can end as after Quit. While it exists it owns the
// process's handlers of both: make one at a time. Windows has no such signals; there the
// object never fires.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received();

private:
    QSocketNotifier* m_notifier = nullptr;
};
