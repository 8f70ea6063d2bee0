// The Qt tests' main: an application for the widgets (offscreen, as CTest runs them), then doctest.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return doctest::Context(argc, argv).run();
}
