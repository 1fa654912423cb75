// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

// The "Bell XS-1" notifier, another program that a manual refresh keeps informed: codes 0
// and 1 before the refresh's pause, code 2 after it.
class BellNotifier
{
public:
    virtual ~BellNotifier() = default;
    // Sends nothing when no notifier runs or it does not answer the handshake.
    virtual void sendBellCommand(int code, int palmUserId) = 0;
};

// The notifier window on Windows; elsewhere a notifier that never finds its peer.
std::unique_ptr<BellNotifier> makeBellNotifier();
