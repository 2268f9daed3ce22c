#include "ui/vantrel_app.h"

#include <QApplication>
#include <QMainWindow>

namespace vantrel {

int runInteractive(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Vantrel");
    QApplication::setApplicationName("Vantrel");

    QMainWindow window;
    window.setWindowTitle("Vantrel");
    window.setMinimumSize(1080, 720);
    window.resize(1500, 900);
    window.show();
    return app.exec();
}

}  // namespace vantrel
