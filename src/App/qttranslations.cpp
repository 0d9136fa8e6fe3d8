#include "qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace QtTranslations {

QStringList install(QCoreApplication &app, const QString &folder)
{
    const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    const QLocale locale(programLocale.toString());
    QStringList installed;
    for (const QString &catalogue : {u"qtbase"_qs, u"qtdeclarative"_qs}) {
        auto *translator = new QTranslator(&app);
        if (translator->load(locale, catalogue, u"_"_qs, from) && QCoreApplication::installTranslator(translator)) {
            installed.append(catalogue);
            continue;
        }
        delete translator;
    }
    return installed;
}

} // namespace QtTranslations
