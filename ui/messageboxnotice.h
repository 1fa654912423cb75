#pragma once

#include "app/settings.h"

// Tells the user in a message box (OK only) that no Palm Desktop was found.
class MessageBoxNotice : public NoPalmDesktopNotice
{
public:
    void showNoPalmDesktop(const QString& text) override;
};
