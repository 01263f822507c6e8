#include "ui/main/run_window.h"

#include <QApplication>
#include <cstdio>
#include <memory>

#include "base/platform/display.h"
#include "base/platform/environment.h"
#include "ui/main/main_window.h"
#include "ui/side/about_box.h"
#include "ui/side/program_icon.h"
#include "ui/side/url_list_generator_window.h"
#include "ui/web/web_engine_setup.h"

namespace tolvarine {
namespace {

bool IsSet(const EnvironmentReader& env, const std::string& name) {
  const std::optional<std::string> value = env(name);
  return value && !value->empty();
}

}  // namespace

std::optional<std::string> NoDisplayMessage(const EnvironmentReader& env) {
  if (IsSet(env, "DISPLAY") || IsSet(env, "WAYLAND_DISPLAY") || IsSet(env, "QT_QPA_PLATFORM")) {
    return std::nullopt;
  }
  return "tolvarine: no display found; set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM "
         "(for example QT_QPA_PLATFORM=offscreen)";
}

std::optional<std::string> UnreachableDisplayMessage(const EnvironmentReader& env,
                                                     const DisplayProbe& reachable) {
  const std::string platform = env("QT_QPA_PLATFORM").value_or("");
  const bool xcbChosen = platform == "xcb" || platform.rfind("xcb:", 0) == 0;
  // Another platform chosen by hand, or one Qt may pick over X, is Qt's to open.
  if (!platform.empty() && !xcbChosen) return std::nullopt;
  if (platform.empty() && IsSet(env, "WAYLAND_DISPLAY")) return std::nullopt;
  const std::string display = env("DISPLAY").value_or("");
  if (reachable(display)) return std::nullopt;
  return "tolvarine: cannot connect to the display \"" + display +
         "\"; check DISPLAY, or set QT_QPA_PLATFORM (for example QT_QPA_PLATFORM=offscreen)";
}

int RunWindow(int argc, char** argv) {
  const EnvironmentReader env = platform::GetEnvironment;
  std::optional<std::string> message = NoDisplayMessage(env);
  if (!message) message = UnreachableDisplayMessage(env, platform::DisplayReachable);
  if (message) {
    std::fprintf(stderr, "%s\n", message->c_str());
    return 2;
  }
  PrepareWebEngine();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tolvarine"));
  QApplication::setWindowIcon(ProgramIcon());
  // The window stays alive while hidden in the tray; the loop ends when it accepts a close.
  QApplication::setQuitOnLastWindowClosed(false);

  // Start-up order: the main window, then the about box, then the generator window.
  auto window = std::make_unique<MainWindow>();
  auto* aboutBox = new AboutBox(window.get());
  auto* generator = new UrlListGeneratorWindow(window.get());
  window->SetSideWindows(aboutBox, generator);
  QObject::connect(window.get(), &MainWindow::closeAccepted, &app, &QApplication::quit,
                   Qt::QueuedConnection);

  window->show();
  const int status = QApplication::exec();
  window.reset();  // saves the rule lists
  return status;
}

}  // namespace tolvarine
