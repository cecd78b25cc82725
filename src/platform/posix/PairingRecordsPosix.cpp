#include "platform/PairingRecords.h"

#include <usbmuxd.h>

void deletePairingRecord(const QString& udid)
{
    usbmuxd_delete_pair_record(udid.toLatin1().constData());
}
