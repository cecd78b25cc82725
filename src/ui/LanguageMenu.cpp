#include "ui/LanguageMenu.h"

#include "platform/AppLanguage.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTimer>

namespace {

// The saved choice, else the system's: the locale name whose translation is in use.
QString currentLocaleName()
{
    QFile saved(savedLanguageFilePath());
    const QString name = saved.open(QIODevice::ReadOnly) ? QString::fromUtf8(saved.readAll()).trimmed()
                                                         : QLocale::system().name();
    const QString file = translationFileFor(name);
    for (const QString& offered : LanguageMenu::localeNames())
        if (translationFileFor(offered) == file)
            return offered;
    return QStringLiteral("en_US");
}

} // namespace

LanguageMenu::LanguageMenu(QWidget* parent) : QMenu(tr("Language"), parent), m_group(new QActionGroup(this))
{
    setObjectName(QStringLiteral("menuLanguage"));
    // Each language's own name, the same whatever language is in use.
    const QStringList texts = {QStringLiteral("English"), QString::fromUtf8("繁體中文"),
                               QString::fromUtf8("日本語")};
    const QStringList names = localeNames();
    const QString current = currentLocaleName();
    for (int index = 0; index < names.size(); ++index) {
        QAction* action = addAction(texts[index]);
        action->setObjectName(QStringLiteral("miLanguage_") + names[index]);
        action->setCheckable(true);
        action->setChecked(names[index] == current);
        m_group->addAction(action);
        const QString name = names[index];
        // Queued: the change rebuilds the menus, this one included, which must not go while it signals.
        connect(action, &QAction::triggered, this,
                [name] { QTimer::singleShot(0, QCoreApplication::instance(), [name] { choose(name); }); });
    }
}

QStringList LanguageMenu::localeNames()
{
    return {QStringLiteral("en_US"), QStringLiteral("zh_TW"), QStringLiteral("ja_JP")};
}

void LanguageMenu::choose(const QString& localeName)
{
    if (!saveLanguage(localeName))
        qWarning("cannot remember the language %s", qUtf8Printable(localeName));
    setAppLanguage(localeName);
}
