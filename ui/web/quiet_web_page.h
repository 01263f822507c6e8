#pragma once
// The pane's page: answers every dialog at once and opens nothing; while a reveal step runs
// it holds the document, refusing every load of another address the page starts itself.
#include <QUrl>
#include <QWebEnginePage>

class QWebEngineLoadingInfo;
class QWebEngineSettings;

namespace tolvarine {

class QuietWebPage : public QWebEnginePage {
 public:
  QuietWebPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

  // On: top-level loads of another document are refused (and remembered) until turned off.
  // Loads the pane asks for itself turn the hold off first.
  void HoldNavigation(bool on) {
    holding_ = on;
    stopped_ = false;
  }
  // A load was refused since the hold began.
  bool NavigationStopped() const { return stopped_; }
  // Whether a loading event belongs to the last refused load (which still starts and ends
  // as a stopped load); its end forgets it. The pane's own loads forget it too.
  bool IsRefusedLoad(const QWebEngineLoadingInfo& info);
  void ForgetRefusedLoad() { refused_.clear(); }

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  void javaScriptAlert(const QUrl&, const QString&) override {}
  // Also asked for leave-page prompts: yes, leave.
  bool javaScriptConfirm(const QUrl&, const QString&) override { return true; }
  bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override {
    return false;
  }
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                const QString&) override {}
  QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
  QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override {
    return {};
  }

 private:
  bool holding_ = false;
  bool stopped_ = false;
  QUrl refused_;
};

// Turns off whatever a page could use to reach beyond showing itself.
void LockDown(QWebEngineSettings* s);

}  // namespace tolvarine
