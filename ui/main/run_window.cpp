#include "ui/main/run_window.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "ui/main/main_window.h"
#include "ui/side/about_form.h"
#include "ui/side/bbs_form.h"
#include "ui/side/program_icon.h"
#include "ui/web/web_engine_setup.h"

namespace tolvarine {
namespace {

bool IsSet(const EnvironmentReader& env, const char* name) {
  const char* value = env(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

std::optional<std::string> NoDisplayMessage(const EnvironmentReader& env) {
  if (IsSet(env, "DISPLAY") || IsSet(env, "WAYLAND_DISPLAY") || IsSet(env, "QT_QPA_PLATFORM")) {
    return std::nullopt;
  }
  return "tolvarine: no display found; set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM "
         "(for example QT_QPA_PLATFORM=offscreen)";
}

int RunWindow(int argc, char** argv) {
  if (const auto message = NoDisplayMessage([](const char* name) { return std::getenv(name); })) {
    std::fprintf(stderr, "%s\n", message->c_str());
    return 2;
  }
  PrepareWebEngine();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tolvarine"));
  QApplication::setApplicationVersion(QStringLiteral("2.1"));
  QApplication::setWindowIcon(ProgramIcon());
  // The window stays alive while hidden in the tray; the loop ends when it accepts a close.
  QApplication::setQuitOnLastWindowClosed(false);

  // Start-up order: the main window, then the about box, then the generator window.
  auto window = std::make_unique<MainWindow>();
  auto* aboutBox = new TForm2(window.get());
  auto* generator = new TbbsForm(window.get());
  window->SetSideWindows(aboutBox, generator);
  QObject::connect(window.get(), &MainWindow::closeAccepted, &app, &QApplication::quit,
                   Qt::QueuedConnection);

  window->show();
  const int status = QApplication::exec();
  window.reset();  // saves the rule lists
  return status;
}

}  // namespace tolvarine
