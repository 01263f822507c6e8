// The main() of every Qt test binary: a QApplication on the offscreen platform (unless the
// caller chose another) around the GoogleTest run. Built with TOLVARINE_TEST_WEB_ENGINE for
// the binaries that open WebEngine pages, which need their settings made before the
// application object exists.
#include <gtest/gtest.h>

#include <QApplication>
#include <QtGlobal>

#ifdef TOLVARINE_TEST_WEB_ENGINE
#include "ui/web/web_engine_setup.h"
#endif

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef TOLVARINE_TEST_WEB_ENGINE
  // The renderer's sandbox cannot start as root (as in CI containers).
  if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  }
  // Pages run as they do in the program.
  tolvarine::PrepareWebEngine();
#endif
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
