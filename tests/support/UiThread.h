#pragma once
// Tests of workers run their "UI thread" on the test's main thread, with an
// application object so results can be carried there and waited for.

#include <QCoreApplication>
#include <QTest>

namespace korvane::test {

inline void ensureUiThread()
{
    static int argc = 1;
    static char name[] = "korvane_tests_net";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
}

} // namespace korvane::test
