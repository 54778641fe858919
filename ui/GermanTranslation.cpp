#include "ui/GermanTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace pf {

bool InstallGermanTranslation(QCoreApplication& application)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(QLocale::German), "qtbase", "_",
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    // Owned by the application from here, so it lives as long as the texts it translates.
    translator->setParent(&application);
    return QCoreApplication::installTranslator(translator.release());
}

} // namespace pf
