#include "ui/web/web_engine_setup.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTimer>
#include <QWebEngineProfile>
#include <cstdio>
#include <sstream>
#include <vector>

#include "base/platform/environment.h"
#include "base/platform/memory.h"

namespace tolvarine {
namespace {

constexpr char kFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";
constexpr char kDisableFeatures[] = "--disable-features=";

// Hidden pages otherwise get one timer wake-up a second, and far fewer after minutes hidden.
const char* const kWalkSwitches[] = {
    "--disable-background-timer-throttling",
    "--disable-renderer-backgrounding",
};
const char* const kWalkDisabledFeatures[] = {"IntensiveWakeUpThrottling"};

QtMessageHandler previousHandler = nullptr;

void DropQtChatter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) previousHandler(type, context, message);
}

}  // namespace

std::string WalkChromiumFlags(const std::string& userFlags) {
  std::vector<std::string> words;
  std::istringstream in(userFlags);
  for (std::string word; in >> word;) words.push_back(word);
  auto has = [&words](const std::string& word) {
    for (const std::string& w : words)
      if (w == word) return true;
    return false;
  };
  for (const char* name : kWalkSwitches)
    if (!has(name)) words.emplace_back(name);
  // The engine reads only the last feature list given.
  std::string* features = nullptr;
  for (std::string& w : words)
    if (w.starts_with(kDisableFeatures)) features = &w;
  if (!features) features = &words.emplace_back(kDisableFeatures);
  for (const char* name : kWalkDisabledFeatures) {
    const std::string list = "," + features->substr(sizeof kDisableFeatures - 1) + ",";
    if (list.find("," + std::string(name) + ",") != std::string::npos) continue;
    if (features->size() > sizeof kDisableFeatures - 1) *features += ",";
    *features += name;
  }
  std::string flags;
  for (const std::string& w : words) flags += (flags.empty() ? "" : " ") + w;
  return flags;
}

void PrepareWebEngine() {
  if (platform::RunningAsRoot() && !platform::GetEnvironment("QTWEBENGINE_DISABLE_SANDBOX")) {
    platform::SetEnvironment("QTWEBENGINE_DISABLE_SANDBOX", "1");
    std::fprintf(stderr, "tolvarine: running as root; the web engine sandbox is disabled\n");
  }
  platform::SetEnvironment(kFlagsVariable,
                           WalkChromiumFlags(platform::GetEnvironment(kFlagsVariable).value_or("")));
  // The web engine shares its OpenGL context; it must be asked for before the application.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  // The engine's start-up report of its graphics set-up is noise on a console.
  QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.debug=false\n"
                                                  "qt.webenginecontext.info=false"));
}

void QuietQtMessages() {
  if (platform::GetEnvironment("TOLVARINE_VERBOSE") == "1") return;
  QtMessageHandler previous = qInstallMessageHandler(DropQtChatter);
  // Installed twice: keep the handler from before the first.
  if (previous != DropQtChatter) previousHandler = previous;
}

void SetUpWalkProfile(QWebEngineProfile* profile, int upkeepMs) {
  profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
  profile->setHttpCacheMaximumSize(kWalkHttpCacheBytes);
  auto* upkeep = new QTimer(profile);
  QObject::connect(upkeep, &QTimer::timeout, profile, [] { platform::ReleaseFreeMemory(); });
  upkeep->start(upkeepMs);
}

}  // namespace tolvarine
