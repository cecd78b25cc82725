#include "AppArtwork.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: ferrowyn-artwork RESOURCES_DIR\n");
        return 2;
    }
    if (!drawAppArtwork(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "ferrowyn-artwork: could not write every picture\n");
        return 1;
    }
    return 0;
}
