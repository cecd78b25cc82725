#include "backup/UnlockedKeybagCache.h"

#include <QCryptographicHash>
#include <QList>
#include <QMutex>
#include <QMutexLocker>

namespace {

// A handful of backups are open in one run; the oldest entry goes when there are more.
constexpr qsizetype MaxEntries = 16;

struct Entry
{
    QByteArray keybagDigest;
    QByteArray passwordDigest; // of the keybag digest and the password, so the password itself is not kept
    Keybag keybag;
};

QMutex& cacheMutex()
{
    static QMutex mutex;
    return mutex;
}

QList<Entry>& entries()
{
    static QList<Entry> list;
    return list;
}

QByteArray digestOf(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

QByteArray passwordDigestOf(const QByteArray& keybagDigest, const QByteArray& password)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(keybagDigest);
    hash.addData(password);
    return hash.result();
}

} // namespace

bool UnlockedKeybagCache::restore(const QByteArray& keybagData, const QByteArray& password, Keybag& keybag)
{
    const QByteArray keybagDigest = digestOf(keybagData);
    const QByteArray passwordDigest = passwordDigestOf(keybagDigest, password);
    QMutexLocker lock(&cacheMutex());
    for (const Entry& entry : entries()) {
        if (entry.keybagDigest == keybagDigest && entry.passwordDigest == passwordDigest) {
            keybag = entry.keybag;
            return true;
        }
    }
    return false;
}

void UnlockedKeybagCache::remember(const QByteArray& keybagData, const QByteArray& password,
                                   const Keybag& keybag)
{
    const QByteArray keybagDigest = digestOf(keybagData);
    Entry entry{keybagDigest, passwordDigestOf(keybagDigest, password), keybag};
    QMutexLocker lock(&cacheMutex());
    QList<Entry>& list = entries();
    list.removeIf([&](const Entry& e) { return e.keybagDigest == keybagDigest; });
    if (list.size() >= MaxEntries)
        list.removeFirst();
    list.append(std::move(entry));
}

void UnlockedKeybagCache::clear()
{
    QMutexLocker lock(&cacheMutex());
    entries().clear();
}
