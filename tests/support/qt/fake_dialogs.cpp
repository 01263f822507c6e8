#include "tests/support/qt/fake_dialogs.h"

namespace tolvarine::testing {
namespace {

// The next scripted answer; none (cancel) when the script has run out.
template <typename T>
std::optional<T> Next(std::deque<std::optional<T>>& queue) {
  if (queue.empty() || !queue.front().has_value()) {
    if (!queue.empty()) queue.pop_front();
    return std::nullopt;
  }
  T answer = std::move(*queue.front());
  queue.pop_front();
  return answer;
}

}  // namespace

std::vector<ShownDialog> FakeDialogs::Shown(const QString& kind) const {
  std::vector<ShownDialog> result;
  for (const ShownDialog& d : shown) {
    if (d.kind == kind) result.push_back(d);
  }
  return result;
}

void FakeDialogs::Information(QWidget*, const QString& text) {
  shown.push_back({QStringLiteral("information"), QStringLiteral("信息"), text, {}, nullptr});
}

void FakeDialogs::Plain(QWidget*, const QString& caption, const QString& text) {
  shown.push_back({QStringLiteral("plain"), caption, text, {}, nullptr});
}

bool FakeDialogs::Confirm(QWidget*, const QString& text) {
  shown.push_back({QStringLiteral("confirm"), QStringLiteral("确认"), text, {}, nullptr});
  if (confirms.empty()) return false;
  const bool answer = confirms.front();
  confirms.pop_front();
  return answer;
}

SaveChoice FakeDialogs::AskSave(QWidget*, const QString& text) {
  shown.push_back({QStringLiteral("ask-save"), QStringLiteral("确认"), text, {}, nullptr});
  if (saveChoices.empty()) return SaveChoice::Cancel;
  const SaveChoice answer = saveChoices.front();
  saveChoices.pop_front();
  return answer;
}

void FakeDialogs::Error(QWidget*, const QString& text) {
  shown.push_back({QStringLiteral("error"), ApplicationTitle(), text, {}, nullptr});
  if (whileErrorOpen) {
    auto during = std::move(whileErrorOpen);
    whileErrorOpen = nullptr;
    during();
  }
}

std::optional<QString> FakeDialogs::Input(QWidget*, const QString& caption,
                                          const QString& prompt, const QString& initial) {
  ShownDialog d{QStringLiteral("input"), caption, prompt, {}, nullptr};
  d.request.selectedFile = initial;  // the initial value
  shown.push_back(d);
  return Next(inputs);
}

std::optional<QString> FakeDialogs::OpenFile(QWidget*, const FileDialogRequest& request) {
  shown.push_back({QStringLiteral("open"), request.title, {}, request, nullptr});
  return Next(openFiles);
}

std::optional<QStringList> FakeDialogs::OpenFiles(QWidget*, const FileDialogRequest& request) {
  shown.push_back({QStringLiteral("open-many"), request.title, {}, request, nullptr});
  return Next(openFileLists);
}

std::optional<QString> FakeDialogs::SaveFile(QWidget*, const FileDialogRequest& request) {
  shown.push_back({QStringLiteral("save"), request.title, {}, request, nullptr});
  return Next(saveFiles);
}

void FakeDialogs::ShowModal(QWidget* window) {
  shown.push_back({QStringLiteral("modal"), {}, {}, {}, window});
}

}  // namespace tolvarine::testing
