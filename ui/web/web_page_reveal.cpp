// The pane's reveal steps: one PageReveal step at a time on the current document, the
// document held against loads the page starts meanwhile, a fresh copy before the answer.
#include <QStringList>
#include <QTimer>
#include <QWebEngineView>

#include "ui/qt_gbk.h"
#include "ui/web/page_reveal.h"
#include "ui/web/page_snapshot.h"
#include "ui/web/quiet_web_page.h"
#include "ui/web/web_page_browser.h"

namespace tolvarine {
namespace {

// The size a pane that was never shown renders at: a desktop window's.
constexpr int kRenderWidth = 1280;
constexpr int kRenderHeight = 800;

}  // namespace

void WebPageBrowser::Reveal(const RevealStep& step) {
  // A refusal leaves the step under way (if any) to answer for itself.
  if (revealing_ || busy_ || document_->Empty()) {
    RefuseReveal(revealStep_);
    return;
  }
  const int number = ++revealStep_;
  if (!reveal_) {
    reveal_ = new PageReveal(this);
    reveal_->SetRequestCount([this] { return blocker_ ? blocker_->Requests() : -1; });
  }
  KeepRendering();
  revealing_ = true;
  QuietWebPage* page = page_;
  page->HoldNavigation(true);
  auto done = [this, number, page](const PageReveal::Result& result) {
    Guarded([&] { OnStepDone(number, page, result.acted, result.changed); });
  };
  if (step.kind == RevealStep::Kind::Scroll) {
    reveal_->Scroll(page, step.waitMs, done);
    return;
  }
  QStringList texts;
  for (const std::string& text : step.texts) texts << FromGbk(text);
  reveal_->Click(page, texts, step.waitMs, done);
}

void WebPageBrowser::OnStepDone(int step, QuietWebPage* page, bool acted, bool changed) {
  if (step != revealStep_ || page != page_) return;
  // The hold stays until the copy is back, so the copy shows the page the step left.
  TakeSnapshot(SnapshotMode::Always, [this, step, page, acted, changed](SnapshotAnswer answer) {
    if (step != revealStep_ || page != page_) return;
    revealing_ = false;
    const bool stopped = page->NavigationStopped();
    page->HoldNavigation(false);
    if (answer.snapshot && !busy_) document_->Set(std::move(answer.snapshot));
    revealed_ = RevealAnswer{acted, changed, stopped};
  });
}

void WebPageBrowser::RefuseReveal(int step) {
  std::weak_ptr<bool> alive = alive_;
  QTimer::singleShot(0, this, [this, alive, step] {
    auto token = alive.lock();
    if (!token || !*token || step != revealStep_) return;
    revealed_ = RevealAnswer{};
    RaiseRevealed();
  });
}

void WebPageBrowser::CancelReveal() {
  ++revealStep_;
  revealing_ = false;
  revealed_.reset();
  if (reveal_) reveal_->Cancel();
  if (!page_) return;
  page_->HoldNavigation(false);
  page_->ForgetRefusedLoad();
}

void WebPageBrowser::RaiseRevealed() noexcept {
  if (!revealed_) return;
  const RevealAnswer answer = *revealed_;
  revealed_.reset();
  if (listener_) listener_->OnRevealed(answer);
  emit revealed();
}

void WebPageBrowser::KeepRendering() {
  QWidget* top = window();
  if (top->isVisible()) return;
  // A widget that was never shown, or was hidden, paints nothing and its page runs no
  // animation frames; shown off the screen it renders as a shown one does.
  top->hide();
  top->setAttribute(Qt::WA_DontShowOnScreen);
  if (top == this && (width() < kRenderWidth || height() < kRenderHeight))
    resize(kRenderWidth, kRenderHeight);
  top->show();
}

}  // namespace tolvarine
