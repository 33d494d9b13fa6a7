// The one Qt application the picture fuzz targets need: fonts and image
// plugins want a QGuiApplication, made once, without a display. Included by
// exactly one file of each target.
#pragma once

#include <QGuiApplication>

namespace fuzzing {

inline void MakePictureApp() {
    static int argc = 1;
    static char name[] = "norvo-fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

} // namespace fuzzing

// Font configuration keeps a cache until the process ends, which the leak
// check would report after every run; none of it is ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}
