#pragma once

#include <QMenu>

class QActionGroup;

// The Help menu's language choice: English, Traditional Chinese and Japanese, each named in its own
// language. Choosing one remembers it for the next start and installs its translation at once; windows
// retranslate themselves when they hear of the change.
class LanguageMenu : public QMenu
{
    Q_OBJECT

public:
    explicit LanguageMenu(QWidget* parent = nullptr);

    // The locale names offered, in menu order: "en_US", "zh_TW", "ja_JP".
    static QStringList localeNames();
    // Switches to localeName and remembers it.
    static void choose(const QString& localeName);

private:
    QActionGroup* m_group;
};
