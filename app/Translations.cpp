#include "Translations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

QString ProgramTranslationFolder()
{
    const QString beside = QCoreApplication::applicationDirPath() + "/translations";
    return QFileInfo(beside).isDir() ? beside : QStringLiteral(ZORBANU_INSTALLED_TRANSLATION_DIR);
}

void Install(const QString& name, const QString& folder)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale::system(), name, "_", folder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

}  // namespace

void InstallTranslations(QtTexts qtTexts)
{
    switch (qtTexts) {
    case QtTexts::None:
        break;
    case QtTexts::DesktopLanguage:
        Install("qtbase", QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        break;
    }
    Install("zorbanu", ProgramTranslationFolder());
}
