#include "ui/app_translation.hpp"

#include <memory>

#include <QLibraryInfo>
#include <QTranslator>

namespace vantrel {

namespace {

// Loads one translation and hands it to the application, which owns it from then on.
bool install(QCoreApplication& app, const QLocale& locale, const QString& name, const QString& folder) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, name, "_", folder)) return false;
    QCoreApplication::installTranslator(translator.get());
    translator.release()->setParent(&app);
    return true;
}

}  // namespace

bool install_translation(QCoreApplication& app, const QLocale& locale) {
    // Qt's own dialogs follow the locale even where the program's texts stay Japanese.
    install(app, locale, "qtbase", QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return install(app, locale, "vantrel", ":/i18n");
}

}  // namespace vantrel
