// Feeds arbitrary bytes to parseKeybag and, for keybags with small iteration counts, to the derivation
// and unwrapping that follow. A damaged keybag must end in KeybagError, never a crash or a hang.
#include "backup/Keybag.h"

#include <QByteArray>
#include <QtEndian>
#include <cstdint>

namespace {
bool smallCount(const Keybag& keybag, const char* tag)
{
    const QByteArray value = keybag.attributes.value(tag);
    return value.size() < 4 || qFromBigEndian<quint32>(value.constData()) <= 16;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        Keybag keybag = parseKeybag(bytes);
        for (auto it = keybag.classKeys.cbegin(); it != keybag.classKeys.cend(); ++it)
            (void)unwrapWithClass(keybag, it.key(), it.value().value("WPKY"));
        if (smallCount(keybag, "ITER") && smallCount(keybag, "DPIC")) {
            if (deriveAndUnwrapClassKeys("password", keybag)) {
                for (auto it = keybag.classKeys.cbegin(); it != keybag.classKeys.cend(); ++it)
                    (void)unwrapWithClass(keybag, it.key(), QByteArray(40, '\x5a'));
            }
        }
    } catch (const KeybagError&) {
    }
    return 0;
}
