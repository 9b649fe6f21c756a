#include "companion/companion.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    // The chart is drawn into images and never shown: no window system.
    QCoreApplication app(argc, argv);
    return quorvel::companion::run(QCoreApplication::arguments().mid(1));
}
