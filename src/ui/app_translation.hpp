#pragma once
// The texts this program adds to its windows are Japanese, as the data's own; English
// locales get them in English from the translation built into the program.
#include <QCoreApplication>
#include <QLocale>

namespace vantrel {

// Installs Qt's own translation for `locale` (its dialogs) and the program's into the
// application. False when the program's has none for the locale: its Japanese texts stay.
bool install_translation(QCoreApplication& app, const QLocale& locale);

}  // namespace vantrel
