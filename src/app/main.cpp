// tabulon: the desktop nonogram solver.

#include "app/TabulonApp.h"

int main(int argc, char** argv) {
    CTabulonApp app(argc, argv);
    const int nStatus = app.InitInstance();
    return nStatus >= 0 ? nStatus : app.exec();
}
