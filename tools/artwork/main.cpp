#include "AppArtwork.h"
#include "IconArtwork.h"
#include "LinebbArtwork.h"
#include "ToolbarArtwork.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: ferrowyn-artwork RESOURCES_DIR\n");
        return 2;
    }
    const QString resources = QString::fromLocal8Bit(argv[1]);
    if (!drawAppArtwork(resources) || !drawIconArtwork(resources) || !drawToolbarArtwork(resources) ||
        !drawLinebbArtwork(resources + QStringLiteral("/linebb"))) {
        std::fprintf(stderr, "ferrowyn-artwork: could not write every picture\n");
        return 1;
    }
    return 0;
}
