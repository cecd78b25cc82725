#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace iphonesim {

// How the device answers a Pair request.
enum class TrustMode
{
    Automatic, // pairs at once, as if the user had tapped Trust before
    Dialog,    // shows the trust dialog: "PairingDialogResponsePending" until the control channel accepts
    Denied,    // the user tapped Don't Trust: "UserDeniedPairing" once, then the dialog shows again
    Locked,    // passcode locked: "PasswordProtected"
};

const char* trustModeName(TrustMode mode);
std::optional<TrustMode> trustModeFromName(const std::string& name);

// The device's own settings, kept in settings.plist of the device folder.
struct DeviceSettings
{
    TrustMode trust = TrustMode::Automatic;
    bool willEncrypt = false;   // "Encrypt local backup" is on
    std::string backupPassword; // password of encrypted backups
    // PBKDF2 rounds of the backup keybag the device makes: ITER (PBKDF2-HMAC-SHA1) and DPIC
    // (PBKDF2-HMAC-SHA256). Devices use 10,000 and 10,000,000; tests lower them to stay fast.
    uint32_t keybagIterations = 10'000;
    uint32_t keybagDataProtectionIterations = 10'000'000;
    bool findMyIPhone = false; // restores are refused while it is on
    bool cloudBackupEnabled = false;
    bool passcodeSet = false;
    uint64_t totalCapacity = 128ull << 30;
    uint64_t freeSpace = 64ull << 30; // restores larger than this fail with MBErrorDomain/105
    // Set by a restore that asked the device not to reboot (on iOS 16 and later by every restore): the next
    // restore fails until a reboot.
    bool restorePendingReboot = false;
    // How long an encrypted backup waits for the passcode on iOS 16.1 and later before it gives up.
    uint32_t passcodeTimeoutSeconds = 120;

    static constexpr uint32_t kMaxKeybagIterations = 20'000'000;

    static DeviceSettings load(const std::string& path);
    void save(const std::string& path) const;
    // Changes one setting by name ("FindMyiPhone", "WillEncrypt", ...); false for an unknown name or value.
    bool set(const std::string& name, const std::string& value);
};

} // namespace iphonesim
