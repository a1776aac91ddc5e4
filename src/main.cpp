#include "frame/modMain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Marvane Vuldra Configurator");
    Main();
    return app.exec();
}
