// ferrowyn-backup-fixture: writes a device backup folder for trying the program and its command line.
#include "BackupFixtureBuilder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

using namespace backupfixture;

namespace {

// "DOMAIN:RELATIVE/PATH=VALUE": the domain ends at the first ':', the path at the first '='.
bool splitEntryArgument(const QString& argument, QString& domain, QString& path, QString& value)
{
    const qsizetype colon = argument.indexOf(QLatin1Char(':'));
    const qsizetype equals = argument.indexOf(QLatin1Char('='), colon + 1);
    if (colon <= 0 || equals < 0)
        return false;
    domain = argument.left(colon);
    path = argument.mid(colon + 1, equals - colon - 1);
    value = argument.mid(equals + 1);
    return true;
}

void addSample(BackupFixtureBuilder& builder)
{
    builder.addFile(QStringLiteral("HomeDomain"),
                    QStringLiteral("Library/Preferences/com.apple.purplebuddy.plist"),
                    QByteArray("<plist/>"));
    builder.addFile(QStringLiteral("AppDomain-jp.naver.line"),
                    QStringLiteral("Library/Preferences/jp.naver.line.plist"), QByteArray("preferences"), 3);
    builder.addFile(QStringLiteral("AppDomainGroup-group.com.linecorp.line"),
                    QStringLiteral("Library/Application Support/PrivateStore/P_u0001/Messages/Line.sqlite"),
                    QByteArray(4096, 'L'), 4);
    builder.addFile(QStringLiteral("AppDomain-com.example.other"), QStringLiteral("Documents/notes.txt"),
                    QByteArray("other app"), 3);
    builder.addFile(QStringLiteral("MediaDomain"), QStringLiteral("Media/DCIM/100APPLE/IMG_0001.JPG"),
                    QByteArray(2048, 'J'), 4);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a device backup folder (test fixture)."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("The backup folder to write."));
    const QCommandLineOption mbdb(QStringLiteral("mbdb"),
                                  QStringLiteral("Write Manifest.mbdb instead of Manifest.db."));
    const QCommandLineOption password(QStringLiteral("password"),
                                      QStringLiteral("Encrypt with this password."), QStringLiteral("text"));
    const QCommandLineOption passwordFile(QStringLiteral("password-file"),
                                          QStringLiteral("Encrypt with the password in this file."),
                                          QStringLiteral("file"));
    const QCommandLineOption iterations(QStringLiteral("iterations"), QStringLiteral("ITER (default 10)."),
                                        QStringLiteral("n"), QStringLiteral("10"));
    const QCommandLineOption dpIterations(QStringLiteral("dp-iterations"),
                                          QStringLiteral("DPIC (default 10)."), QStringLiteral("n"),
                                          QStringLiteral("10"));
    const QCommandLineOption noDp(QStringLiteral("no-dp"),
                                  QStringLiteral("No DPIC/DPSL and a plaintext Manifest.db."));
    const QCommandLineOption udid(QStringLiteral("udid"), QStringLiteral("Device identifier."),
                                  QStringLiteral("udid"));
    const QCommandLineOption name(QStringLiteral("device-name"), QStringLiteral("Device name."),
                                  QStringLiteral("name"));
    const QCommandLineOption file(QStringLiteral("file"),
                                  QStringLiteral("DOMAIN:PATH=LOCALFILE, class 3 (repeatable)."),
                                  QStringLiteral("entry"));
    const QCommandLineOption fileD(QStringLiteral("file-class-d"),
                                   QStringLiteral("DOMAIN:PATH=LOCALFILE, class 4 (repeatable)."),
                                   QStringLiteral("entry"));
    const QCommandLineOption text(QStringLiteral("text"),
                                  QStringLiteral("DOMAIN:PATH=TEXT, class 3 (repeatable)."),
                                  QStringLiteral("entry"));
    const QCommandLineOption folder(QStringLiteral("folder"),
                                    QStringLiteral("DOMAIN:PREFIX=LOCALFOLDER (repeatable)."),
                                    QStringLiteral("entry"));
    const QCommandLineOption lineApp(QStringLiteral("line-app"),
                                     QStringLiteral("A LINE app folder to put into LINE's two domains."),
                                     QStringLiteral("folder"));
    const QCommandLineOption sample(QStringLiteral("sample"), QStringLiteral("Add a few sample files."));
    parser.addOptions({mbdb, password, passwordFile, iterations, dpIterations, noDp, udid, name, file, fileD,
                       text, folder, lineApp, sample});
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        err << "error: give one backup folder\n";
        return 2;
    }

    BackupFixtureBuilder builder;
    DeviceIdentity device;
    if (parser.isSet(udid))
        device.udid = parser.value(udid);
    if (parser.isSet(name))
        device.deviceName = parser.value(name);
    builder.setDevice(device);
    builder.setLayout(parser.isSet(mbdb) ? ManifestLayout::Mbdb : ManifestLayout::Database);
    if (parser.isSet(password) || parser.isSet(passwordFile)) {
        EncryptionSettings encryption;
        encryption.enabled = true;
        encryption.password = parser.value(password);
        if (parser.isSet(passwordFile)) {
            QFile source(parser.value(passwordFile));
            if (!source.open(QIODevice::ReadOnly)) {
                err << "error: cannot read " << source.fileName() << "\n";
                return 1;
            }
            encryption.password = QString::fromUtf8(source.readAll()).section(QLatin1Char('\n'), 0, 0);
        }
        encryption.iterations = parser.value(iterations).toUInt();
        encryption.dataProtectionIterations = parser.value(dpIterations).toUInt();
        encryption.dataProtectionKdf = !parser.isSet(noDp);
        builder.setEncryption(encryption);
    }
    QString domain;
    QString path;
    QString value;
    const auto addFiles = [&](const QCommandLineOption& option, quint32 protectionClass, bool isText) {
        for (const QString& argument : parser.values(option)) {
            if (!splitEntryArgument(argument, domain, path, value)) {
                err << "error: expected DOMAIN:PATH=VALUE, got " << argument << "\n";
                return false;
            }
            if (isText)
                builder.addFile(domain, path, value.toUtf8(), protectionClass);
            else
                builder.addLocalFile(domain, path, value, protectionClass);
        }
        return true;
    };
    if (!addFiles(file, 3, false) || !addFiles(fileD, 4, false) || !addFiles(text, 3, true))
        return 2;
    for (const QString& argument : parser.values(folder)) {
        if (!splitEntryArgument(argument, domain, path, value)) {
            err << "error: expected DOMAIN:PREFIX=FOLDER, got " << argument << "\n";
            return 2;
        }
        builder.addFolder(domain, path, value);
    }
    if (parser.isSet(lineApp))
        builder.addLineAppFolder(parser.value(lineApp));
    if (parser.isSet(sample))
        addSample(builder);

    QString error;
    if (!builder.write(parser.positionalArguments().first(), &error)) {
        err << "error: " << error << "\n";
        return 1;
    }
    return 0;
}
