#include "platform/Shell.h"

#include <QDir>
#include <QProcess>
#include <windows.h>

void openInFileManager(const QString& folder)
{
    QProcess process;
    process.setProgram(QStringLiteral("explorer"));
    process.setNativeArguments(QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(folder)));
    process.startDetached();
}

void openWithShell(const QString& target)
{
    ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(target.utf16()), nullptr, nullptr,
                  SW_SHOWNORMAL);
}
