// "iphonesim generate": fills a device folder from the command line.
#include "DeviceGenerator.h"
#include "LineContent.h"
#include "LineFixtureOptions.h"
#include "SimError.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace iphonesim;

namespace {

void generateUsage()
{
    std::puts("usage: iphonesim generate FOLDER [options]\n"
              "  --seed N               deterministic content (default 1)\n"
              "  --udid UDID            device identifier (default: made from the seed)\n"
              "  --name TEXT            DeviceName\n"
              "  --product-type TEXT    ProductType (iPhone12,1)\n"
              "  --version TEXT         ProductVersion (15.7)\n"
              "  --build TEXT           BuildVersion (19H12)\n"
              "  --country CODE         MobileSubscriberCountryCode (440)\n"
              "  --apps N               user apps besides LINE (8)\n"
              "  --system-apps N        system apps (3)\n"
              "  --files N              files of other apps and system domains (200)\n"
              "  --bytes N              their total size in bytes (16777216)\n"
              "  LINE's containers hold a store of the LINE fixture builder (Line.sqlite, groups, media):\n"
              "  --line-messages N      messages (300)\n"
              "  --line-chats N         chats (8)\n"
              "  --line-users N         contacts (12)\n"
              "  --line-no-attachments  no media files\n"
              "  --line-generated       generated files instead of a LINE store:\n"
              "  --line-files N         generated files in LINE's containers (40; implies --line-generated)\n"
              "  --line-bytes N         their total size (2097152; implies --line-generated)\n"
              "  --line-source DIR      copy DIR/AppDomain-jp.naver.line and\n"
              "                         DIR/AppDomainGroup-group.com.linecorp.line instead\n"
              "  --no-line              LINE is not installed\n"
              "  --trust MODE           automatic, dialog, denied or locked\n"
              "  --find-my              Find My iPhone is on\n"
              "  --will-encrypt         backups are encrypted (password: --backup-password)\n"
              "  --backup-password TEXT\n"
              "  --keybag-iterations N  PBKDF2-HMAC-SHA1 rounds of the backup keybag, ITER (10000)\n"
              "  --keybag-dp-iterations N  PBKDF2-HMAC-SHA256 rounds, DPIC (10000000)\n"
              "  --cloud-backup         iCloud backup is on");
}

bool parseNumber(const char* text, uint64_t& value)
{
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    return end && *end == '\0' && *text != '\0';
}

} // namespace

int runGenerate(int argc, char** argv)
{
    if (argc < 3 || std::string(argv[2]) == "--help") {
        generateUsage();
        return argc < 3 ? 2 : 0;
    }
    const std::string folder = argv[2];
    GeneratorOptions options;
    LineFixtureOptions line;
    bool lineGenerated = false;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        auto text = [&](std::string& target) {
            if (i + 1 >= argc)
                return false;
            target = argv[++i];
            return true;
        };
        auto number = [&](auto& target) {
            uint64_t value = 0;
            if (i + 1 >= argc || !parseNumber(argv[++i], value))
                return false;
            target = static_cast<std::remove_reference_t<decltype(target)>>(value);
            return true;
        };
        bool ok = true;
        if (arg == "--seed")
            ok = number(options.seed);
        else if (arg == "--udid")
            ok = text(options.udid);
        else if (arg == "--name")
            ok = text(options.deviceName);
        else if (arg == "--product-type")
            ok = text(options.productType);
        else if (arg == "--version")
            ok = text(options.productVersion);
        else if (arg == "--build")
            ok = text(options.buildVersion);
        else if (arg == "--country")
            ok = text(options.countryCode);
        else if (arg == "--apps")
            ok = number(options.userApps);
        else if (arg == "--system-apps")
            ok = number(options.systemApps);
        else if (arg == "--files")
            ok = number(options.otherFiles);
        else if (arg == "--bytes")
            ok = number(options.otherBytes);
        else if (arg == "--line-files" || arg == "--line-bytes") {
            ok = number(arg == "--line-files" ? options.lineFiles : options.lineBytes);
            lineGenerated = true;
        } else if (arg == "--line-generated")
            lineGenerated = true;
        else if (arg == "--line-messages")
            ok = number(line.messages);
        else if (arg == "--line-chats")
            ok = number(line.chats) && line.chats > 0;
        else if (arg == "--line-users")
            ok = number(line.users) && line.users > 0;
        else if (arg == "--line-no-attachments")
            line.attachments = false;
        else if (arg == "--line-source")
            ok = text(options.lineSourceFolder);
        else if (arg == "--no-line")
            options.lineInstalled = false;
        else if (arg == "--trust") {
            std::string mode;
            ok = text(mode) && options.settings.set("TrustMode", mode);
        } else if (arg == "--find-my")
            options.settings.findMyIPhone = true;
        else if (arg == "--will-encrypt")
            options.settings.willEncrypt = true;
        else if (arg == "--backup-password")
            ok = text(options.settings.backupPassword);
        else if (arg == "--keybag-iterations" || arg == "--keybag-dp-iterations") {
            std::string count;
            ok = text(count) &&
                 options.settings.set(arg == "--keybag-iterations" ? "KeybagIterations"
                                                                   : "KeybagDataProtectionIterations",
                                      count);
        } else if (arg == "--cloud-backup")
            options.settings.cloudBackupEnabled = true;
        else
            ok = false;
        if (!ok) {
            std::fprintf(stderr, "iphonesim generate: bad option %s\n", arg.c_str());
            return 2;
        }
    }
    // The LINE fixture builder is Qt code (SQLite through the program's access layer, images through Qt's
    // plugins): it runs inside an application object.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    std::unique_ptr<QCoreApplication> application;
    if (options.lineInstalled && options.lineSourceFolder.empty() && !lineGenerated) {
        application = std::make_unique<QCoreApplication>(qtArgc, qtArgv);
        line.seed = options.seed;
        options.fillLine = lineFixtureFiller(line);
    }
    const GeneratorReport report = generateDevice(folder, options);
    std::printf("%s %llu files %llu bytes\n", report.udid.c_str(), (unsigned long long)report.files,
                (unsigned long long)report.bytes);
    return 0;
}
