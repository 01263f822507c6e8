#include "ui/web/web_engine_setup.h"

#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTimer>
#include <QWebEngineProfile>
#include <cstdio>
#include <cstdlib>

namespace tolvarine {

void PrepareWebEngine() {
  if (geteuid() == 0 && !std::getenv("QTWEBENGINE_DISABLE_SANDBOX")) {
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    std::fprintf(stderr, "tolvarine: running as root; the web engine sandbox is disabled\n");
  }
  // The web engine shares its OpenGL context; it must be asked for before the application.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  // The engine's start-up report of its graphics set-up is noise on a console.
  QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.debug=false\n"
                                                  "qt.webenginecontext.info=false"));
}

void SetUpWalkProfile(QWebEngineProfile* profile, int upkeepMs) {
  profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
  profile->setHttpCacheMaximumSize(kWalkHttpCacheBytes);
  auto* upkeep = new QTimer(profile);
  QObject::connect(upkeep, &QTimer::timeout, profile, [] {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
  });
  upkeep->start(upkeepMs);
}

}  // namespace tolvarine
