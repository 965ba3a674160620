// render-app-icon: writes the program's own drawn icon as PNG files for the
// desktop's icon theme, so that the installed icons are the very picture the
// windows show.
//
// Usage: render-app-icon FOLDER NAME SIZE...
// writes FOLDER/SIZExSIZE/apps/NAME.png for each size; exit status 1 when a
// file cannot be written.

#include "app/toolbars/MenuImages.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char* argv[]) {
    // Runs during the build, where there is no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 3) {
        std::fputs("Usage: render-app-icon FOLDER NAME SIZE...\n", stderr);
        return 1;
    }
    const QIcon icon = AppIcon();
    for (const QString& sizeText : args.mid(2)) {
        const int size = sizeText.toInt();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args.at(0)).arg(size);
        const QString file = folder + '/' + args.at(1) + ".png";
        const QImage image = icon.pixmap(QSize(size, size)).toImage();
        if (size <= 0 || image.size() != QSize(size, size) || !QDir().mkpath(folder) ||
            !image.save(file, "PNG")) {
            std::fprintf(stderr, "render-app-icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
