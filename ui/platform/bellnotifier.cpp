// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "bellnotifier.h"

#include "ui/uilog.h"

namespace {
// The notifier exists only as a Windows program.
class NoBellNotifier : public BellNotifier
{
public:
    void sendBellCommand(int code, int palmUserId) override
    {
        qCDebug(lcUi) << "no Bell XS-1 notifier here: command" << code << "user" << palmUserId
                      << "not sent";
    }
};
} // namespace

std::unique_ptr<BellNotifier> makeBellNotifier()
{
    return std::make_unique<NoBellNotifier>();
}
