#include "tests/hostile/walk_probe.h"

#include <cstdio>
#include <stdexcept>
#include <utility>

namespace tolvarine::testing {

const char* OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::Loading:
      return "loading";
    case Outcome::Harvested:
      return "harvested";
    case Outcome::HarvestFailed:
      return "harvest failed";
    case Outcome::Abandoned:
      return "abandoned";
  }
  return "?";
}

// Passes every read to the pane's document and notes how the harvest of the current
// visit went.
class WalkProbe::Reader : public PageDocument {
 public:
  explicit Reader(WalkProbe& probe) : probe_(probe) {}

  int LinksLength() override {
    return Read([](PageDocument& d) { return d.LinksLength(); });
  }
  std::string LinkItem(int index) override {
    return Read([index](PageDocument& d) { return d.LinkItem(index); });
  }
  std::string BodyOuterText() override {
    std::string text = Read([](PageDocument& d) { return d.BodyOuterText(); });
    if (Visit* v = probe_.Current()) v->text = text.substr(0, 64 * 1024);
    return text;
  }
  // The phone extractor reads the markup last: the harvest is then complete.
  std::string BodyOuterHtml() override {
    std::string html = Read([](PageDocument& d) { return d.BodyOuterHtml(); });
    if (Visit* v = probe_.Current(); v && v->outcome == Outcome::Loading) {
      v->outcome = Outcome::Harvested;
      v->endMs = probe_.clock_.elapsed();
    }
    return html;
  }

 private:
  template <class F>
  auto Read(F read) -> decltype(read(std::declval<PageDocument&>())) {
    try {
      PageDocument* document = probe_.inner_.Document();
      if (document == nullptr) throw std::runtime_error("no document");
      return read(*document);
    } catch (const std::exception& e) {
      if (Visit* v = probe_.Current(); v && v->outcome == Outcome::Loading) {
        v->outcome = Outcome::HarvestFailed;
        v->failure = e.what();
        v->endMs = probe_.clock_.elapsed();
      }
      throw;
    }
  }

  WalkProbe& probe_;
};

WalkProbe::WalkProbe(WebPageBrowser& inner)
    : inner_(inner), reader_(std::make_unique<Reader>(*this)) {
  clock_.start();
  inner_.SetListener(this);
}

WalkProbe::~WalkProbe() { inner_.SetListener(nullptr); }

void WalkProbe::Navigate(const std::string& address) {
  if (Visit* v = Current(); v && v->outcome == Outcome::Loading) {
    v->outcome = Outcome::Abandoned;
    v->endMs = clock_.elapsed();
  }
  Visit visit;
  visit.address = address;
  visit.startMs = clock_.elapsed();
  visits_.push_back(std::move(visit));
  inner_.Navigate(address);
}

PageDocument* WalkProbe::Document() {
  return inner_.Document() == nullptr ? nullptr : reader_.get();
}

void WalkProbe::OnNavigateComplete(FrameId frame, const std::string& address) {
  if (listener_) listener_->OnNavigateComplete(frame, address);
}

void WalkProbe::OnDocumentComplete(FrameId frame, const std::string& address) {
  if (Visit* v = Current(); v && v->completeMs < 0) v->completeMs = clock_.elapsed();
  if (listener_) listener_->OnDocumentComplete(frame, address);
}

std::string WalkProbe::Table() const {
  std::string table = "  #  loaded ms  complete ms  end ms  outcome         address\n";
  char line[512];
  int n = 0;
  for (const Visit& v : visits_) {
    std::snprintf(line, sizeof line, "%3d  %9lld  %11lld  %6lld  %-14s  %s%s%s\n", ++n,
                  static_cast<long long>(v.startMs), static_cast<long long>(v.completeMs),
                  static_cast<long long>(v.endMs), OutcomeName(v.outcome), v.address.c_str(),
                  v.failure.empty() ? "" : "  -- ", v.failure.c_str());
    table += line;
  }
  return table;
}

}  // namespace tolvarine::testing
