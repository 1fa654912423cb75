// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "bellnotifier.h"

#include <windows.h>

namespace {
constexpr UINT BellMessage = 0xBEC4;
// A hung notifier must not hold the window thread, which also shows the alarms.
constexpr UINT SendTimeoutMs = 1000;

bool send(HWND window, WPARAM first, LPARAM second, DWORD_PTR* reply)
{
    return SendMessageTimeoutA(window, BellMessage, first, second, SMTO_ABORTIFHUNG, SendTimeoutMs,
                               reply) != 0;
}

class WindowsBellNotifier : public BellNotifier
{
public:
    void sendBellCommand(int code, int palmUserId) override
    {
        WPARAM first = 0;
        LPARAM second = palmUserId;
        switch (code) {
        case 0:
            first = 5;
            second = 0;
            break;
        case 1:
            first = 1;
            break;
        case 2:
            first = 2;
            break;
        default:
            return;
        }
        HWND bell = FindWindowA("Bell XS-1", nullptr);
        DWORD_PTR reply = 0;
        if (!bell || !send(bell, 0, 0, &reply) || reply != BellMessage)
            return;
        send(bell, first, second, &reply);
    }
};
} // namespace

std::unique_ptr<BellNotifier> makeBellNotifier()
{
    return std::make_unique<WindowsBellNotifier>();
}
