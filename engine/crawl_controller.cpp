#include "engine/crawl_controller.h"

#include <optional>

#include "base/atomic_file.h"
#include "base/file_names.h"
#include "base/gbk.h"
#include "base/guard.h"
#include "base/host_lookup.h"
#include "base/line_reader.h"
#include "base/number_text.h"
#include "base/state_folder.h"
#include "engine/crawl_state.h"
#include "engine/crawl_texts.h"

namespace tolvarine {

// ----- State -----

namespace {

// Settings with their defaults filled in: the program's state folder and the real host
// lookup.
CrawlSettings Completed(CrawlSettings settings) {
  if (settings.stateFolder.empty()) settings.stateFolder = StateFolder();
  if (!settings.hostAddresses) settings.hostAddresses = LocalHostAddresses;
  if (!settings.networkInterfaces) settings.networkInterfaces = ConnectedNetworkInterfaces;
  return settings;
}

}  // namespace

CrawlController::State::State(CrawlView& v, PageBrowser& b, Clock& clock, CrawlSettings s,
                              CrawlController& owner)
    : view(v),
      browser(b),
      settings(Completed(std::move(s))),
      files(settings.stateFolder),
      harvester(UserCollator()),
      pacing(clock, 8000, [this, &owner] { Guarded([&owner] { owner.PacingTick(); }); }),
      autosave(clock, 300000, [this, &owner] { Guarded([&owner] { owner.AutosaveTick(); }); }),
      watchdog(clock, 300000, [this, &owner] { Guarded([&owner] { owner.WatchdogTick(); }); }) {}

void CrawlController::State::Guarded(const std::function<void()>& handler) {
  RunGuarded([this](const std::string& message) { view.ShowError(message); }, handler);
}

int CrawlController::State::PacingPeriod() {
  if (settings.pacingIntervalMs > 0) return settings.pacingIntervalMs;
  return ReadSpeed(view.SpeedText()) * 1000;
}

void CrawlController::State::StopTimers() {
  pacing.SetEnabled(false);
  autosave.SetEnabled(false);
  watchdog.SetEnabled(false);
}

void CrawlController::State::CloseReader() { reader.Close(); }

void CrawlController::State::OpenReader() {
  reader.Close();
  reader.Open(FileSystemPath(view.ListFileField()));
}

void CrawlController::State::BeginWalk() {
  stopRequested = false;
  phonesFound = 0;
  linksFound = 0;
  links.Clear();
  phones.Clear();
  view.SetCommandStates(kRunningStates);
  walking = true;
}

void CrawlController::State::AbandonStart() {
  StopTimers();
  try {
    reader.Close();
  } catch (...) {
    // The failure that made the start fail is the one reported.
  }
  walking = false;
  view.SetCommandStates(kIdleStates);
}

void CrawlController::State::ReadAddress() {
  std::string address = reader.ReadLine();
  const std::size_t blank = address.find(' ');
  if (blank != std::string::npos) address.resize(blank);
  ++position;
  ShowCount(3, position);
  browser.SetTag(0);
  // Frame identities belong to one navigation: a page abandoned before its document
  // completed must not keep the next page from being marked complete.
  rememberedFrame = 0;
  try {
    browser.Navigate(address);
  } catch (...) {
    // A failed navigate is left to the watchdog.
  }
}

bool CrawlController::State::ListDone() {
  return !reader.IsOpen() || reader.AtEnd() || stopRequested;
}

void CrawlController::State::ShowCount(int panel, int value) { view.SetPanel(panel, IntToStr(value)); }

// ----- Controller -----

CrawlController::CrawlController(CrawlView& view, PageBrowser& browser, Clock& clock,
                                 CrawlSettings settings)
    : s_(std::make_unique<State>(view, browser, clock, std::move(settings), *this)) {}

CrawlController::~CrawlController() = default;

void CrawlController::ChooseList() {
  s_->view.Repaint();
  const std::optional<std::string> name = s_->view.ChooseListFile(GbkFileName(ExecutableFolder()));
  if (!name) return;
  UseListFile(*name);
}

void CrawlController::UseListFile(const std::string& name) {
  State& s = *s_;
  const std::string lowered = LowerAsciiGbk(name);
  s.view.SetListFileField(lowered);
  s.total = 0;
  s.total = CountLines(FileSystemPath(lowered));
  s.ShowCount(1, s.total);
}

void CrawlController::EndWalkInProgress() {
  if (s_->walking) s_->Guarded([this] { Finish(); });
}

void CrawlController::Start() {
  State& s = *s_;
  EndWalkInProgress();
  if (!s.view.Option(CrawlOption::SearchLinks) && !s.view.Option(CrawlOption::SearchPhones)) {
    s.view.ShowPlainMessage(texts::kNeedSearchItem);
    return;
  }
  if (!FileExists(FileSystemPath(s.view.ListFileField()))) {
    s.view.ShowInformation(texts::kNoListFile);
    return;
  }
  if (!IsOnline()) {
    s.view.ShowInformation(texts::kNotOnline);
    return;
  }
  s.position = 0;
  s.lastSeenPosition = 0;
  s.BeginWalk();
  s.pacing.SetInterval(s.PacingPeriod());
  s.ShowCount(1, s.total);
  s.view.SetPanel(5, "");
  s.view.SetPanel(7, "");
  s.view.SetPanel(8, texts::kSearching);
  s.view.SetPanel(3, "");
  if (s.view.Option(CrawlOption::Autosave)) s.autosave.SetEnabled(true);
  s.watchdog.SetEnabled(true);
  try {
    s.OpenReader();
  } catch (...) {
    s.AbandonStart();
    throw;
  }
  try {
    LoadNext();
  } catch (...) {
    // The watchdog moves the walk on.
  }
}

void CrawlController::Stop() {
  State& s = *s_;
  s.stopRequested = true;
  s.view.SetPanel(8, texts::kStopping);
  s.view.SetCommandStates(kIdleStates);
}

void CrawlController::Continue() { Resume(std::nullopt); }

void CrawlController::ContinueFrom(int position) { Resume(position); }

void CrawlController::Resume(std::optional<int> givenPosition) {
  State& s = *s_;
  EndWalkInProgress();
  if (!FileExists(s.files.ProgressPath())) {
    s.view.ShowPlainMessage(texts::kNoProgress);
    return;
  }
  ReadProgress();
  if (!FileExists(FileSystemPath(s.view.ListFileField()))) {
    s.view.ShowInformation(texts::kListMissing);
    return;
  }
  if (!IsOnline()) {
    s.view.ShowInformation(texts::kNotOnline);
    return;
  }
  s.ShowCount(1, s.total);
  s.view.SetPanel(3, "");
  s.view.SetPanel(5, "");
  s.view.SetPanel(7, "");
  s.BeginWalk();
  s.pacing.SetInterval(s.PacingPeriod());
  s.view.SetPanel(8, texts::kStarting);
  if (givenPosition) {
    s.position = *givenPosition;
  } else {
    s.view.Pause(1000);
    const std::optional<std::string> answer =
        s.view.AskText(texts::kResumeCaption, texts::kResumePrompt, IntToStr(s.position));
    if (!answer) {
      s.view.SetPanel(8, texts::kResumeCancelled);
      s.AbandonStart();
      return;
    }
    try {
      s.position = StrToInt(*answer);
    } catch (...) {
      s.AbandonStart();
      throw;
    }
  }
  s.view.Repaint();
  // Lines up to the position were read in the earlier walk; a position of 0 or below
  // starts again at the first line.
  if (s.position < 0) s.position = 0;
  try {
    s.OpenReader();
    if (s.position > 0) {
      int skipped = 0;
      do {
        s.reader.ReadLine();
        ++skipped;
      } while (skipped < s.position && !s.reader.AtEnd());
    }
    if (s.reader.AtEnd()) {
      s.view.SetPanel(8, texts::kListExhausted);
      s.walking = false;
      s.view.SetCommandStates(kIdleStates);
      s.CloseReader();
      return;
    }
  } catch (...) {
    s.AbandonStart();
    throw;
  }
  s.view.SetPanel(8, texts::kResuming);
  s.lastSeenPosition = s.position;
  s.watchdog.SetEnabled(true);
  if (s.view.Option(CrawlOption::Autosave)) s.autosave.SetEnabled(true);
  try {
    LoadNext();
  } catch (...) {
    // The watchdog moves the walk on.
  }
}

bool CrawlController::IsOnline() {
  const std::vector<std::string> addresses = s_->settings.hostAddresses();
  const std::string last = addresses.empty() ? std::string() : addresses.back();
  // On many machines (containers, common hosts files) the host name resolves to the
  // loopback though the machine is online; a connected interface then shows it is.
  return last != "127.0.0.1" || !s_->settings.networkInterfaces().empty();
}

void CrawlController::WriteProgress() { s_->files.Write(s_->view, s_->position, s_->total); }

bool CrawlController::ReadProgress() { return s_->files.Read(s_->view, s_->position, s_->total); }

void CrawlController::LoadLists() { s_->files.LoadLists(s_->view); }

void CrawlController::SaveLists() { s_->files.SaveLists(s_->view); }

ResultList& CrawlController::Links() { return s_->links; }
ResultList& CrawlController::Phones() { return s_->phones; }
bool CrawlController::Running() const { return s_->walking; }
int CrawlController::Position() const { return s_->position; }
int CrawlController::Total() const { return s_->total; }
int CrawlController::LinksFound() const { return s_->linksFound; }
int CrawlController::PhonesFound() const { return s_->phonesFound; }

void CrawlController::SetOnFinished(std::function<void()> onFinished) {
  s_->onFinished = std::move(onFinished);
}

}  // namespace tolvarine
