#include "jobs/DeviceJobNotes.h"

#include "device/HelpLinks.h"

JobMessage DeviceJobNotes::withNote(QString text, bool tutorialNote, const QString& tutorialWords)
{
    const QString tutorial = HelpLinks::transferTutorial();
    const QString findMy = HelpLinks::findMyIPhone();
    const bool findMyError = text.startsWith(QLatin1String("error code:-37."));
    if (tutorialNote && !tutorial.isEmpty())
        text += QStringLiteral("\n\n") + tutorialWords;
    else
        text += QStringLiteral("\n\n") + tr("Note: You can restart your device to try again.");
    if (findMyError && !findMy.isEmpty())
        return JobMessage(text, findMy, tr("this tutorial"));
    if (tutorialNote && !tutorial.isEmpty())
        return JobMessage(text, tutorial, tr("tutorial"));
    return JobMessage(text);
}

JobMessage DeviceJobNotes::backupFailure(const QString& errorText, bool tutorialNote)
{
    QString text = errorText;
    const bool lost = errorText.contains(QLatin1String("Connection to device lost"), Qt::CaseInsensitive);
    if (lost || errorText.contains(QLatin1String("until Setup is finished"), Qt::CaseInsensitive)) {
        const QString howTo = HelpLinks::resetLockdown();
        text =
            (lost ? tr("Connection to device lost. Please try the following solutions:")
                  : tr("Failed to connect your iPhone. Please try the following solutions:")) +
            QStringLiteral("\n\n") +
            tr("A:\nStep 1) Restart your iPhone.\nStep 2) Connect your iPhone to iTunes to backup your "
               "iPhone "
               "on computer.\nStep 3) Run Vantorel software to try again.") +
            QStringLiteral("\n\n") +
            tr("B:\nStep 1) Delete the lockdown folder from your computer.%1\nStep 2) Connect your iPhone to "
               "iTunes to backup your iPhone on computer.\nStep 3) Run Vantorel software to try again.")
                .arg(howTo.isEmpty() ? QString() : QStringLiteral(" (%1: %2)").arg(tr("How to"), howTo));
    }
    return withNote(text, tutorialNote, tr("Note: You can follow this tutorial to try."));
}

JobMessage DeviceJobNotes::restoreFailure(const QString& errorText, bool tutorialNote)
{
    return withNote(errorText, tutorialNote, tr("Tip: You can follow this tutorial to try."));
}
