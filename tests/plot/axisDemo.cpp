#include "axisDemoView.h"

#include <QApplication>

// Shows the demo plot in a window, or writes it: axisDemo [FILE.png|FILE.pdf].
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    axisDemoView view;
    view.resize(640, 400);
    if (argc > 1) {
        const QString path = QString::fromLocal8Bit(argv[1]);
        return (path.endsWith(".pdf") ? view.writePDFToFile(path) : view.writePNGToFile(path)) ? 0
                                                                                               : 1;
    }
    view.show();
    return app.exec();
}
