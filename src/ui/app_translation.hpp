#pragma once
// The texts this program adds to its windows are Japanese, as the data's own; English
// locales get them in English from the translation built into the program.
#include <QCoreApplication>
#include <QLocale>

namespace vantrel {

// Installs the program's translation for `locale` (and Qt's own, for its dialogs) into
// the application. False when the locale has none: the Japanese texts stay.
bool install_translation(QCoreApplication& app, const QLocale& locale);

}  // namespace vantrel
