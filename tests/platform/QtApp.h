// One QApplication for a whole test program, made on first use; the tests
// run with QT_QPA_PLATFORM=offscreen.
#pragma once

#include <QApplication>

namespace testing_support {

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "norvo-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

} // namespace testing_support
