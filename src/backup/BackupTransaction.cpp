#include "backup/BackupTransaction.h"

#include "app/PausePoint.h"
#include "backup/BackupCrypto.h"
#include "backup/BackupFileOps.h"
#include "platform/FileSync.h"
#include "platform/FileSystemSync.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QtDebug>
#include <exception>
#include <stdexcept>

const QString BackupTransaction::JournalName = QStringLiteral("Manifest-journal.txt");
const QString BackupTransaction::LockName = QStringLiteral("Manifest-journal.lock");

namespace {

const QByteArray JournalHeader("ferrowyn backup journal 1");
// From this many staged files on, one sync of the file system is cheaper than a sync of each.
constexpr qsizetype kFilesForOneSync = 64;
const QByteArray StateStaged("staged");
const QByteArray StateCommitted("committed");

// Only the files a backup consists of can be targets, and only fresh names beside them temporaries: a
// journal is read from the backup folder and must not be able to move anything else.
bool isValidEntry(const QString& temporary, const QString& target)
{
    static const QRegularExpression targets(
        QStringLiteral("^(Manifest\\.db|Manifest\\.mbdb|[0-9a-f]{40}|([0-9a-f]{2})/(\\2[0-9a-f]{38}))$"));
    static const QRegularExpression suffix(QStringLiteral("^\\.[0-9a-f]{12}\\.tmp$"));
    return targets.match(target).hasMatch() && temporary.startsWith(target) &&
           suffix.match(temporary.mid(target.size())).hasMatch();
}

// The temporary file and whatever was written beside it under its name (the partial file of an
// interrupted save, a database journal).
void removeWithLeftovers(const QDir& folder, const QString& temporary)
{
    const QFileInfo info(folder.filePath(temporary));
    const QDir dir = info.absoluteDir();
    const QStringList names =
        dir.entryList({info.fileName() + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!QFile::remove(dir.filePath(name)))
            qWarning("BackupTransaction: cannot remove %s", qUtf8Printable(dir.filePath(name)));
    }
}

} // namespace

BackupTransaction::BackupTransaction(const QDir& folder) : m_folder(folder), m_lock(folder.filePath(LockName))
{
    // Only a run that is gone frees the lock, however long a merge of large files takes.
    m_lock.setStaleLockTime(0);
    if (m_lock.tryLock(0))
        return;
    if (m_lock.error() == QLockFile::LockFailedError)
        throw std::runtime_error(
            tr("Another run of the program is changing the backup %1. Try again when it has finished.")
                .arg(folder.absolutePath())
                .toStdString());
    throw std::runtime_error(tr("cannot write into the backup %1.").arg(folder.absolutePath()).toStdString());
}

BackupTransaction::~BackupTransaction()
{
    if (m_finished)
        return;
    m_journal.close();
    for (const Entry& entry : std::as_const(m_entries))
        removeWithLeftovers(m_folder, entry.temporary);
    QFile::remove(m_folder.filePath(JournalName));
}

QString BackupTransaction::stage(const QString& target)
{
    const QString relative = m_folder.relativeFilePath(target);
    const QString temporary = relative + QLatin1Char('.') +
                              QString::fromLatin1(BackupCrypto::randomBytes(6).toHex()) +
                              QStringLiteral(".tmp");
    if (!isValidEntry(temporary, relative))
        throw std::runtime_error(QStringLiteral("BackupTransaction::stage, %1 is no file of the backup.")
                                     .arg(target)
                                     .toStdString());
    appendToJournal({temporary, relative});
    m_entries.append({temporary, relative});
    return m_folder.filePath(temporary);
}

void BackupTransaction::appendToJournal(const Entry& entry)
{
    // Appended rather than rewritten: a merge stages thousands of files, and rewriting and syncing the
    // whole list for each one made staging quadratic. Until the commit the journal only serves to find
    // temporary files again, so a line lost with the power leaves a stray temporary file, never a damaged
    // backup; the committed journal is written in full and synced before anything is renamed.
    const auto fail = [this] {
        throw std::runtime_error(
            tr("cannot write %1. %2").arg(m_journal.fileName(), m_journal.errorString()).toStdString());
    };
    if (!m_journal.isOpen()) {
        m_journal.setFileName(m_folder.filePath(JournalName));
        if (!m_journal.open(QIODevice::WriteOnly | QIODevice::Truncate))
            fail();
        const QByteArray head = JournalHeader + '\n' + StateStaged + '\n';
        if (m_journal.write(head) != head.size())
            fail();
    }
    const QByteArray line = entry.temporary.toUtf8() + '\t' + entry.target.toUtf8() + '\n';
    if (m_journal.write(line) != line.size() || !m_journal.flush())
        fail();
}

void BackupTransaction::syncStagedFiles()
{
    // A sync per file made putting thousands of files into a backup wait for the disk thousands of times;
    // a sync of the file system also writes out whatever else is waiting there, so few files go alone.
    if (m_entries.size() >= kFilesForOneSync && syncFileSystemOf(m_folder.path()))
        return;
    for (const Entry& entry : std::as_const(m_entries)) {
        QFile file(m_folder.filePath(entry.temporary));
        if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly) || !syncFileToDisk(file))
            throw std::runtime_error(
                tr("cannot write %1. %2").arg(file.fileName(), file.errorString()).toStdString());
    }
}

void BackupTransaction::writeCommittedJournal()
{
    m_journal.close();
    QByteArray text = JournalHeader + '\n' + StateCommitted + '\n';
    for (const Entry& entry : std::as_const(m_entries))
        text += entry.temporary.toUtf8() + '\t' + entry.target.toUtf8() + '\n';
    QSaveFile journal(m_folder.filePath(JournalName));
    if (!journal.open(QIODevice::WriteOnly) || journal.write(text) != text.size() || !journal.commit())
        throw std::runtime_error(
            tr("cannot write %1. %2").arg(journal.fileName(), journal.errorString()).toStdString());
}

void BackupTransaction::commit()
{
    if (m_entries.isEmpty()) {
        m_finished = true;
        return;
    }
    // The journal must not name a file as committed before its content is on the disk.
    syncStagedFiles();
    writeCommittedJournal();
    // From here on the change is decided: whatever happens, it is finished rather than undone.
    m_finished = true;
    PausePoint::reach("commit-journaled");
    std::exception_ptr firstError;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        try {
            BackupFileOps::replaceFile(m_folder.filePath(m_entries[i].temporary),
                                       m_folder.filePath(m_entries[i].target));
        } catch (const std::exception&) {
            if (!firstError)
                firstError = std::current_exception();
        }
        if (i == 0)
            PausePoint::reach("commit-renaming");
    }
    if (firstError)
        std::rethrow_exception(firstError);
    PausePoint::reach("commit-renamed");
    QFile::remove(m_folder.filePath(JournalName));
}

void BackupTransaction::recover(const QDir& folder)
{
    const QString journalPath = folder.filePath(JournalName);
    const bool hasJournal = QFileInfo::exists(journalPath);
    if (!hasJournal && !QFileInfo::exists(folder.filePath(LockName)))
        return;
    // Taking the lock also clears the lock file of a run killed before it wrote a journal.
    QLockFile lock(folder.filePath(LockName));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        if (hasJournal)
            qWarning("BackupTransaction: %s is busy or read-only; its journal stays.",
                     qUtf8Printable(folder.absolutePath()));
        return;
    }
    if (!hasJournal)
        return;
    QFile journal(journalPath);
    if (!journal.open(QIODevice::ReadOnly)) {
        qWarning("BackupTransaction: cannot read %s. %s", qUtf8Printable(journalPath),
                 qUtf8Printable(journal.errorString()));
        return;
    }
    const QList<QByteArray> lines = journal.readAll().split('\n');
    journal.close();
    if (lines.size() < 2 || lines[0] != JournalHeader ||
        (lines[1] != StateStaged && lines[1] != StateCommitted)) {
        qWarning("BackupTransaction: %s is not a journal of this program; left as it is.",
                 qUtf8Printable(journalPath));
        return;
    }
    const bool committed = lines[1] == StateCommitted;
    bool complete = true;
    for (qsizetype i = 2; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QList<QByteArray> fields = lines[i].split('\t');
        const QString temporary = fields.size() == 2 ? QString::fromUtf8(fields[0]) : QString();
        const QString target = fields.size() == 2 ? QString::fromUtf8(fields[1]) : QString();
        if (!isValidEntry(temporary, target)) {
            qWarning("BackupTransaction: ignored the journal line %s", lines[i].constData());
            continue;
        }
        if (!committed) {
            removeWithLeftovers(folder, temporary);
            continue;
        }
        if (!QFileInfo::exists(folder.filePath(temporary)))
            continue; // renamed before the interruption
        try {
            BackupFileOps::replaceFile(folder.filePath(temporary), folder.filePath(target));
        } catch (const std::exception& error) {
            qWarning("BackupTransaction: %s", error.what());
            complete = false;
        }
    }
    if (complete)
        QFile::remove(journalPath);
}
