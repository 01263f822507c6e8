#include "engine/crawl_controller.h"

#include <optional>

#include "base/atomic_file.h"
#include "base/file_names.h"
#include "base/gbk.h"
#include "base/guard.h"
#include "base/host_lookup.h"
#include "base/line_reader.h"
#include "base/number_text.h"
#include "base/platform/state_lock.h"
#include "base/state_folder.h"
#include "engine/crawl_texts.h"
#include "engine/crawl_walk.h"
#include "engine/state_file_names.h"
#include "engine/walk_sources.h"

namespace tolvarine {

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

// The window's notice that another walk holds the state folder.
std::string FolderInUseText(const std::string& folder, long holder) {
  std::string text = texts::kFolderInUse + GbkFileName(folder) + texts::kFolderInUseBy;
  if (holder > 0)
    text += texts::kFolderInUseProcess + std::to_string(holder) + texts::kFolderInUseProcessEnd;
  return text + texts::kFolderInUseEnd;
}

std::string ProgressName(const CrawlEnvironment& environment) {
  return StateFileNamesFor(environment.sharded, environment.shardIndex, environment.shardCount)
      .progress;
}

}  // namespace

CrawlController::CrawlController(CrawlView& view, PageBrowser& browser, Clock& clock,
                                 CrawlEnvironment environment)
    : view_(view),
      environment_(Completed(std::move(environment))),
      files_(environment_.stateFolder, ProgressName(environment_)),
      walk_(std::make_unique<CrawlWalk>(
          view, browser, clock, environment_, settings_,
          [this](int position) { files_.Write(settings_, position, total_); },
          [this](const CrawlSettings& settings) {
            return MakeWalkSources(settings, environment_);
          })) {
  walk_->SetOnFinished([this] {
    lock_.Release();
    if (onFinished_) onFinished_();
  });
}

CrawlController::~CrawlController() = default;

class CrawlController::LockUnlessWalking {
 public:
  explicit LockUnlessWalking(CrawlController& controller) : controller_(controller) {}
  ~LockUnlessWalking() {
    if (!controller_.Running()) controller_.lock_.Release();
  }
  LockUnlessWalking(const LockUnlessWalking&) = delete;
  LockUnlessWalking& operator=(const LockUnlessWalking&) = delete;

 private:
  CrawlController& controller_;
};

bool CrawlController::LockStateFolder() {
  if (!environment_.lockStateFolder) return true;
  const std::string path = environment_.stateFolder + kStateLockName;
  long holder = 0;
  const int result = lock_.TryLock(path, holder);
  if (result == platform::StateLock::kHeld) {
    view_.ShowInformation(FolderInUseText(environment_.stateFolder, holder));
    return false;
  }
  // A folder where not even the lock file can be made takes no state file either, so no
  // walk can spoil another's there: the walk goes on without the lock, as it goes on when
  // its progress file cannot be written.
  return true;
}

CrawlSettings& CrawlController::Settings() { return settings_; }

void CrawlController::Guarded(const std::function<void()>& handler) { walk_->Guarded(handler); }

std::string CrawlController::ListPath() const {
  if (!chosenListFile_.empty() && LowerAsciiGbk(chosenListFile_) == settings_.listFile)
    return FileSystemPath(chosenListFile_);
  return FileSystemPath(settings_.listFile);
}

void CrawlController::ChooseList() {
  view_.Repaint();
  const std::optional<std::string> name = view_.ChooseListFile(GbkFileName(ExecutableFolder()));
  if (!name) return;
  UseListFile(*name);
}

void CrawlController::UseListFile(const std::string& name) {
  chosenListFile_ = name;
  settings_.listFile = LowerAsciiGbk(name);
  view_.ShowSettings(settings_);
  total_ = 0;
  total_ = CountLines(ListPath());
  view_.ShowTotal(total_);
}

void CrawlController::EndWalkInProgress() {
  if (walk_->Running()) Guarded([this] { Finish(); });
}

void CrawlController::Start() {
  EndWalkInProgress();
  if (!settings_.Option(CrawlOption::SearchLinks) &&
      !settings_.Option(CrawlOption::SearchPhones)) {
    view_.ShowPlainMessage(texts::kNeedSearchItem);
    return;
  }
  if (!FileExists(ListPath())) {
    view_.ShowInformation(texts::kNoListFile);
    return;
  }
  if (!IsOnline()) {
    view_.ShowInformation(texts::kNotOnline);
    return;
  }
  if (!LockStateFolder()) return;
  const LockUnlessWalking release(*this);
  if (!view_.MayEmptyResults()) return;
  walk_->Begin();
  view_.ShowTotal(total_);
  view_.ClearCounts();
  view_.ShowMessage(texts::kSearching);
  walk_->StartFromTop(ListPath());
}

void CrawlController::Stop() {
  walk_->RequestStop();
  view_.ShowMessage(texts::kStopping);
  view_.ShowCommandStates(kIdleStates);
}

void CrawlController::Continue() { Resume(std::nullopt); }

void CrawlController::ContinueFrom(int position) { Resume(position); }

void CrawlController::Resume(std::optional<int> givenPosition) {
  EndWalkInProgress();
  if (!FileExists(files_.ProgressPath())) {
    view_.ShowPlainMessage(texts::kNoProgress);
    return;
  }
  ReadProgress();
  if (!FileExists(ListPath())) {
    view_.ShowInformation(texts::kListMissing);
    return;
  }
  if (!IsOnline()) {
    view_.ShowInformation(texts::kNotOnline);
    return;
  }
  if (!LockStateFolder()) return;
  const LockUnlessWalking release(*this);
  view_.ShowTotal(total_);
  // The lists and counters of the last walk stay until a line is confirmed: a cancelled
  // prompt or a line that is no number leaves them as they were.
  view_.ShowCommandStates(kRunningStates);
  view_.ShowMessage(texts::kStarting);
  std::optional<int> position = givenPosition;
  if (!position) {
    view_.Pause(1000);
    position = AskResumeLine();
    if (!position) return;
  }
  if (!view_.MayEmptyResults()) {
    CancelResume();
    return;
  }
  view_.ClearCounts();
  walk_->Begin();
  view_.Repaint();
  walk_->ResumeAfter(ListPath(), *position);
}

std::optional<int> CrawlController::AskResumeLine() {
  const std::optional<std::string> answer = view_.AskResumeLine(
      texts::kResumeCaption, texts::kResumePrompt, IntToStr(walk_->Position()));
  if (!answer) {
    CancelResume();
    return std::nullopt;
  }
  try {
    return StrToInt(*answer);
  } catch (...) {
    view_.ShowCommandStates(kIdleStates);
    throw;
  }
}

void CrawlController::CancelResume() {
  view_.ShowMessage(texts::kResumeCancelled);
  view_.ShowCommandStates(kIdleStates);
}

bool CrawlController::IsOnline() {
  const std::vector<std::string> addresses = environment_.hostAddresses();
  const std::string last = addresses.empty() ? std::string() : addresses.back();
  // On many machines (containers, common hosts files) the host name resolves to the
  // loopback though the machine is online; a connected interface then shows it is.
  return last != "127.0.0.1" || !environment_.networkInterfaces().empty();
}

void CrawlController::WriteProgress() { files_.Write(settings_, walk_->Position(), total_); }

// What was read before a failure stays applied, and is shown either way.
bool CrawlController::ReadProgress() {
  bool found = false;
  int position = walk_->Position();
  try {
    found = files_.Read(settings_, position, total_);
  } catch (...) {
    walk_->SetPosition(position);
    view_.ShowSettings(settings_);
    throw;
  }
  walk_->SetPosition(position);
  view_.ShowSettings(settings_);
  return found;
}

void CrawlController::LoadLists() {
  try {
    files_.LoadLists(settings_);
  } catch (...) {
    view_.ShowSettings(settings_);
    throw;
  }
  view_.ShowSettings(settings_);
}

void CrawlController::SaveLists() { files_.SaveLists(settings_); }

void CrawlController::LoadNext() { walk_->LoadNext(); }
void CrawlController::PacingTick() { walk_->PacingTick(); }
void CrawlController::WatchdogTick() { walk_->WatchdogTick(); }
void CrawlController::AutosaveTick() { walk_->AutosaveTick(); }
void CrawlController::PositionSaveTick() { walk_->PositionSaveTick(); }
void CrawlController::Finish() { walk_->Finish(); }

void CrawlController::OnNavigateComplete(FrameId frame, const std::string& /*address*/) {
  walk_->OnNavigateComplete(frame);
}

void CrawlController::OnDocumentComplete(FrameId frame, const std::string& /*address*/) {
  walk_->OnDocumentComplete(frame);
}

void CrawlController::OnTextFetched(const std::string& address, int status,
                                    const std::string& body) {
  walk_->OnTextFetched(address, status, body);
}

void CrawlController::OnBytesFetched(const std::string& address, int status,
                                     const std::string& bytes) {
  walk_->OnBytesFetched(address, status, bytes);
}

void CrawlController::OnLoadAnswered(FrameId frame, const LoadAnswer& answer) {
  walk_->OnLoadAnswered(frame, answer);
}

void CrawlController::OnRevealed(const RevealAnswer& answer) { walk_->OnRevealed(answer); }

ResultList& CrawlController::Links() { return walk_->Links(); }
ResultList& CrawlController::Phones() { return walk_->Phones(); }
bool CrawlController::Running() const { return walk_->Running(); }
int CrawlController::Position() const { return walk_->Position(); }
int CrawlController::Total() const { return total_; }
int CrawlController::LinksFound() const { return walk_->LinksFound(); }
int CrawlController::PhonesFound() const { return walk_->PhonesFound(); }
int CrawlController::PagesAbandoned() const { return walk_->PagesAbandoned(); }
int CrawlController::PagesHarvestedEarly() const { return walk_->PagesHarvestedEarly(); }

void CrawlController::SetPageLog(PageLogSink* log) { walk_->SetPageLog(log); }

PagePipeline& CrawlController::Pipeline() { return walk_->Pipeline(); }

void CrawlController::SetNumberInfo(const NumberInfo* numbers) { walk_->SetNumberInfo(numbers); }

int CrawlController::PhonesDropped() const { return walk_->PhonesDropped(); }

void CrawlController::SetOnFinished(std::function<void()> onFinished) {
  onFinished_ = std::move(onFinished);
}

}  // namespace tolvarine
