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

void Install(const QLocale& language, const QString& name, const QString& folder)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(language, name, "_", folder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

}  // namespace

void InstallTranslations(QtTexts qtTexts)
{
    const QLocale qtLanguage = qtTexts == QtTexts::SimplifiedChinese ? QLocale(QLocale::Chinese, QLocale::China)
                                                                      : QLocale::system();
    Install(qtLanguage, "qtbase", QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    Install(QLocale::system(), "zorbanu", ProgramTranslationFolder());
}
