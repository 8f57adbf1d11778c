// The map editor's entry point.

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "tolvane: no display is available (DISPLAY is not set); "
                             "the map editor needs a graphical session.\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvane"));
    std::fprintf(stderr, "tolvane: the map window is not built yet; the libraries and their tests are.\n");
    return 1;
}
