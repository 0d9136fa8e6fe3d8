#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

// Qt's own texts in the program's language: the labels and buttons of Qt's file dialogs (used where the desktop
// offers no file chooser of its own) and of its other built-in parts come from Qt's translation catalogues, which
// Debian ships in qt6-translations-l10n. The program speaks Simplified Chinese whatever the system's locale.
namespace QtTranslations {

inline constexpr QStringView programLocale = u"zh_CN";

// Installs the catalogues of Qt's base and Qt Quick modules for the program's locale from `folder` (empty: Qt's own
// translations folder) into `app`, which owns them. Returns the catalogues it installed ("qtbase", "qtdeclarative");
// a missing one is left out and Qt's English stays for its texts.
QStringList install(QCoreApplication &app, const QString &folder = {});

} // namespace QtTranslations
