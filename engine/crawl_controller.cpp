#include "engine/crawl_controller.h"

#include <algorithm>
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
#include "engine/list_address.h"

namespace tolvarine {

// ----- State -----

namespace {

// The environment with its defaults filled in: the program's state folder and the real
// host lookup.
CrawlEnvironment Completed(CrawlEnvironment environment) {
  if (environment.stateFolder.empty()) environment.stateFolder = StateFolder();
  if (!environment.hostAddresses) environment.hostAddresses = LocalHostAddresses;
  if (!environment.networkInterfaces)
    environment.networkInterfaces = ConnectedNetworkInterfaces;
  return environment;
}

}  // namespace

CrawlController::State::State(CrawlView& v, PageBrowser& b, Clock& clock, CrawlEnvironment e,
                              CrawlController& owner)
    : view(v),
      browser(b),
      clock(clock),
      environment(Completed(std::move(e))),
      files(environment.stateFolder,
            environment.sharded
                ? ShardProgressName(environment.shardIndex, environment.shardCount)
                : std::string(texts::kProgressFileName)),
      harvester(UserCollator()),
      pacing(clock, 8000, [this, &owner] { Guarded([&owner] { owner.PacingTick(); }); }),
      autosave(clock, 300000, [this, &owner] { Guarded([&owner] { owner.AutosaveTick(); }); }),
      watchdog(clock, 300000, [this, &owner] { Guarded([&owner] { owner.WatchdogTick(); }); }),
      positionSave(clock, std::max(environment.positionSaveMs, 1),
                   [this, &owner] { Guarded([&owner] { owner.PositionSaveTick(); }); }) {}

void CrawlController::State::Guarded(const std::function<void()>& handler) {
  RunGuarded([this](const std::string& message) { view.ShowError(message); }, handler);
}

int CrawlController::State::PacingPeriod() const {
  if (environment.pacingIntervalMs > 0) return environment.pacingIntervalMs;
  return std::clamp(settings.speed, 1, 60) * 1000;
}

std::string CrawlController::State::ListPath() const {
  if (!chosenListFile.empty() && LowerAsciiGbk(chosenListFile) == settings.listFile)
    return FileSystemPath(chosenListFile);
  return FileSystemPath(settings.listFile);
}

void CrawlController::State::ShowSettings() { view.ShowSettings(settings); }

void CrawlController::State::StopTimers() {
  pacing.SetEnabled(false);
  autosave.SetEnabled(false);
  watchdog.SetEnabled(false);
  positionSave.SetEnabled(false);
}

void CrawlController::State::StartPositionSave() {
  if (environment.positionSaveMs > 0) positionSave.SetEnabled(true);
}

void CrawlController::State::CloseReader() { reader.Close(); }

void CrawlController::State::OpenReader() {
  reader.Close();
  reader.Open(ListPath());
}

void CrawlController::State::BeginWalk() {
  stopRequested = false;
  phonesFound = 0;
  linksFound = 0;
  links.Clear();
  phones.Clear();
  pagesAbandoned = 0;
  view.ShowCommandStates(kRunningStates);
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
  view.ShowCommandStates(kIdleStates);
}

void CrawlController::State::ReadAddress() {
  const std::string line = reader.ReadLine();
  ++position;
  view.ShowPosition(position);
  pageComplete = false;
  tickFoundLoading = false;
  // Frame identities belong to one navigation: a page abandoned before its document
  // completed must not keep the next page from being marked complete.
  rememberedFrame = 0;
  const std::optional<std::string> address = AddressFromListLine(line);
  notAnAddress = !address;
  if (!address) {
    view.ShowMessage(texts::kNotAnAddress + line);
    return;
  }
  try {
    browser.Navigate(*address);
  } catch (...) {
    // A failed navigate is left to the watchdog.
  }
}

void CrawlController::State::SkipOtherShards() {
  if (environment.shardCount <= 1 || stopRequested) return;
  while (reader.IsOpen() && !reader.AtEnd() &&
         position % environment.shardCount != environment.shardIndex) {
    reader.ReadLine();
    ++position;
  }
}

bool CrawlController::State::ListDone() {
  return !reader.IsOpen() || reader.AtEnd() || stopRequested;
}

// ----- Controller -----

CrawlController::CrawlController(CrawlView& view, PageBrowser& browser, Clock& clock,
                                 CrawlEnvironment environment)
    : s_(std::make_unique<State>(view, browser, clock, std::move(environment), *this)) {}

CrawlController::~CrawlController() = default;

CrawlSettings& CrawlController::Settings() { return s_->settings; }

void CrawlController::ChooseList() {
  s_->view.Repaint();
  const std::optional<std::string> name = s_->view.ChooseListFile(GbkFileName(ExecutableFolder()));
  if (!name) return;
  UseListFile(*name);
}

void CrawlController::UseListFile(const std::string& name) {
  State& s = *s_;
  s.chosenListFile = name;
  s.settings.listFile = LowerAsciiGbk(name);
  s.ShowSettings();
  s.total = 0;
  s.total = CountLines(s.ListPath());
  s.view.ShowTotal(s.total);
}

void CrawlController::EndWalkInProgress() {
  if (s_->walking) s_->Guarded([this] { Finish(); });
}

void CrawlController::Start() {
  State& s = *s_;
  EndWalkInProgress();
  if (!s.settings.Option(CrawlOption::SearchLinks) &&
      !s.settings.Option(CrawlOption::SearchPhones)) {
    s.view.ShowPlainMessage(texts::kNeedSearchItem);
    return;
  }
  if (!FileExists(s.ListPath())) {
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
  s.view.ShowTotal(s.total);
  s.view.ClearCounts();
  s.view.ShowMessage(texts::kSearching);
  if (s.settings.Option(CrawlOption::Autosave)) s.autosave.SetEnabled(true);
  s.watchdog.SetEnabled(true);
  s.StartPositionSave();
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
  s.view.ShowMessage(texts::kStopping);
  s.view.ShowCommandStates(kIdleStates);
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
  if (!FileExists(s.ListPath())) {
    s.view.ShowInformation(texts::kListMissing);
    return;
  }
  if (!IsOnline()) {
    s.view.ShowInformation(texts::kNotOnline);
    return;
  }
  s.view.ShowTotal(s.total);
  s.view.ClearCounts();
  s.BeginWalk();
  s.pacing.SetInterval(s.PacingPeriod());
  s.view.ShowMessage(texts::kStarting);
  if (givenPosition) {
    s.position = *givenPosition;
  } else {
    s.view.Pause(1000);
    const std::optional<std::string> answer =
        s.view.AskResumeLine(texts::kResumeCaption, texts::kResumePrompt, IntToStr(s.position));
    if (!answer) {
      s.view.ShowMessage(texts::kResumeCancelled);
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
      s.view.ShowMessage(texts::kListExhausted);
      s.walking = false;
      s.view.ShowCommandStates(kIdleStates);
      s.CloseReader();
      return;
    }
  } catch (...) {
    s.AbandonStart();
    throw;
  }
  s.view.ShowMessage(texts::kResuming);
  s.lastSeenPosition = s.position;
  s.watchdog.SetEnabled(true);
  s.StartPositionSave();
  if (s.settings.Option(CrawlOption::Autosave)) s.autosave.SetEnabled(true);
  try {
    LoadNext();
  } catch (...) {
    // The watchdog moves the walk on.
  }
}

bool CrawlController::IsOnline() {
  const std::vector<std::string> addresses = s_->environment.hostAddresses();
  const std::string last = addresses.empty() ? std::string() : addresses.back();
  // On many machines (containers, common hosts files) the host name resolves to the
  // loopback though the machine is online; a connected interface then shows it is.
  return last != "127.0.0.1" || !s_->environment.networkInterfaces().empty();
}

void CrawlController::WriteProgress() {
  s_->files.Write(s_->settings, s_->position, s_->total);
}

// What was read before a failure stays applied, and is shown either way.
bool CrawlController::ReadProgress() {
  bool found = false;
  try {
    found = s_->files.Read(s_->settings, s_->position, s_->total);
  } catch (...) {
    s_->ShowSettings();
    throw;
  }
  s_->ShowSettings();
  return found;
}

void CrawlController::LoadLists() {
  try {
    s_->files.LoadLists(s_->settings);
  } catch (...) {
    s_->ShowSettings();
    throw;
  }
  s_->ShowSettings();
}

void CrawlController::SaveLists() { s_->files.SaveLists(s_->settings); }

ResultList& CrawlController::Links() { return s_->links; }
ResultList& CrawlController::Phones() { return s_->phones; }
bool CrawlController::Running() const { return s_->walking; }
int CrawlController::Position() const { return s_->position; }
int CrawlController::Total() const { return s_->total; }
int CrawlController::LinksFound() const { return s_->linksFound; }
int CrawlController::PhonesFound() const { return s_->phonesFound; }
int CrawlController::PagesAbandoned() const { return s_->pagesAbandoned; }

void CrawlController::SetOnFinished(std::function<void()> onFinished) {
  s_->onFinished = std::move(onFinished);
}

}  // namespace tolvarine
