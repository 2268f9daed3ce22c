// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one QApplication of the benchmark binary, on the offscreen platform unless the
// environment asks for another. Every UI benchmark calls this first.
#include <QApplication>

namespace vantrel::bench {

inline QApplication& application() {
    static int argc = 1;
    static char name[] = "vantrel_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

}  // namespace vantrel::bench
