#pragma once

#include <QIcon>
#include <QPixmap>
#include <QUrl>

// The program's compiled-in resources. The resource file lives in a static library, so these
// functions also make sure its data is registered before anything reads it.
QIcon appIcon();
QPixmap aboutPicture();
QUrl alarmSoundUrl();
