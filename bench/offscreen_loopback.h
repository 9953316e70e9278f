#pragma once
// Start-up of the benchmarks that drive the window's handlers: widgets
// without a display, and a loopback server out of any proxy's way.

#include <QByteArray>
#include <QtGlobal>

#include "support/local_http_server.h"

namespace tavrin::bench {

// Call first in main(), before the QApplication and before any thread starts.
// Without a display the widgets draw into memory, as they do in the tests; a
// platform named in the environment is kept.
inline void prepare_offscreen_loopback() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    tavrin::test::bypass_proxy_for_loopback();
}

}  // namespace tavrin::bench
