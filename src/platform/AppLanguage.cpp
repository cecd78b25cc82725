#include "platform/AppLanguage.h"

#include "platform/AppDataDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QPointer>
#include <QSaveFile>
#include <QTranslator>

namespace {
// A locale name is a few letters; anything longer in the file is not a name we wrote.
constexpr qint64 kMaxSavedNameBytes = 64;

QPointer<QTranslator>& installedTranslator()
{
    static QPointer<QTranslator> translator;
    return translator;
}
} // namespace

QString translationFileFor(const QString& localeName)
{
    static const QStringList traditionalChinese = {QStringLiteral("zh_HK"), QStringLiteral("zh_TW"),
                                                   QStringLiteral("zh_MO"), QStringLiteral("zh_SG")};
    if (traditionalChinese.contains(localeName, Qt::CaseInsensitive))
        return QStringLiteral(":/zh_TW.qm");
    if (localeName.startsWith(QLatin1String("ja_"), Qt::CaseInsensitive))
        return QStringLiteral(":/ja_JP.qm");
    return QStringLiteral(":/en.qm");
}

QString savedOrSystemLocaleName(const QString& savedChoiceFile, const QString& systemLocaleName)
{
    QFile file(savedChoiceFile);
    if (file.open(QIODevice::ReadOnly)) {
        // Trimmed, so a name followed by a line break (an edited file) still counts as that name.
        const QString saved = QString::fromUtf8(file.read(kMaxSavedNameBytes)).trimmed();
        if (!saved.isEmpty())
            return saved;
    }
    return systemLocaleName;
}

QString savedLanguageFilePath()
{
    return appDataDir().filePath(QStringLiteral("locale"));
}

QString setAppLanguage(const QString& localeName)
{
    QPointer<QTranslator>& translator = installedTranslator();
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        translator->deleteLater();
        translator = nullptr;
    }
    const QString name = localeName.isEmpty()
                             ? savedOrSystemLocaleName(savedLanguageFilePath(), QLocale::system().name())
                             : localeName;
    const QString file = translationFileFor(name);
    translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(file)) {
        qWarning("cannot load the translation %s", qUtf8Printable(file));
        delete translator;
        return {};
    }
    QCoreApplication::installTranslator(translator);
    return file;
}

bool saveLanguage(const QString& localeName)
{
    QSaveFile file(savedLanguageFilePath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(localeName.toUtf8());
    return file.commit();
}
