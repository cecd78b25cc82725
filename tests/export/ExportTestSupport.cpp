#include "ExportTestSupport.h"

#include "TestFiles.h"

#include <QTranslator>

void useEnglishTexts()
{
    static QTranslator* english = [] {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (!translator->load(QStringLiteral(":/en.qm")))
            ADD_FAILURE() << "the English translation is missing from the resources";
        QCoreApplication::installTranslator(translator);
        return translator;
    }();
    Q_UNUSED(english);
}

void expectGolden(const QByteArray& actual, const QString& name)
{
    const QString goldenPath = sourceDir() + QStringLiteral("/tests/export/data/") + name;
    QByteArray expected;
    try {
        expected = readFileBytes(goldenPath);
    } catch (const std::exception&) {
        ADD_FAILURE() << "missing golden file " << goldenPath.toStdString();
    }
    if (actual == expected)
        return;
    const QString actualPath = QStringLiteral(FERROWYN_ARTIFACT_DIR "/") + name + QStringLiteral(".actual");
    writeFileBytes(actualPath, actual);
    ADD_FAILURE() << name.toStdString() << " differs from its golden file; the output is in "
                  << actualPath.toStdString();
}
