// Writes the program's icon as PNG files for the desktop's icon theme, one per size.
#include <QGuiApplication>

#include <iostream>

#include "app/Icon.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: mirthlens-icons FOLDER SIZE...\n";
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    for (int k = 2; k < argc; ++k) {
        const int size = std::atoi(argv[k]);
        const QString path = QString("%1/mirthlens-%2.png").arg(argv[1]).arg(size);
        if (size <= 0 || !mirth::MirthlensIconImage(size).save(path)) {
            std::cerr << "mirthlens-icons: cannot write " << path.toStdString() << "\n";
            return 1;
        }
    }
    return 0;
}
