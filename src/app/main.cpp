#include <QApplication>

#include "Unit1.h"
#include "uiseams.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    veltrano::DesktopSeams seams;
    veltrano::TForm1 Form1(&seams);
    Form1.show();
    return app.exec();
}
