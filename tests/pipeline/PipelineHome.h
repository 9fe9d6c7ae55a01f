// pipeline/PipelineHome.h - a throw-away application home with a source and an
// output directory, the shipped data files, and helpers that write submission
// tables by the interface layouts. Shared by the pipeline tests.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "naming/InterfaceLayouts.h"
#include "pipeline/RunObserver.h"
#include "pipeline/Sample.h"
#include "settings/AppHome.h"
#include "store/Store.h"
#include "support/TempDir.h"

namespace fc::test {

struct PipelineHome {
  TempDir root;
  settings::AppHome home{root / "home", FC_SOURCE_DATA_DIR};
  std::filesystem::path source = root / "in";
  std::filesystem::path output = root / "out";
  naming::InterfaceLayouts layouts =
      naming::InterfaceLayouts::load(home.data / "rulesets" / "interface-1" / "layouts.csv");

  PipelineHome() {
    for (const auto& dir : {home.home, home.workdir(), source, output}) std::filesystem::create_directories(dir);
  }

  // A table of `kind` with `records` at `file` (company 100001, date 20080808).
  std::filesystem::path table(const std::string& kind, const std::filesystem::path& file,
                              const std::vector<pipeline::SampleRecord>& records = {{}},
                              const std::string& shortenedField = "") const {
    ruleset::WriteLayoutTable(*layouts.find(kind), file, records, "100001", "20080808", shortenedField);
    return file;
  }

  std::unique_ptr<store::Store> openStore() const { return store::Store::open(home.home, home.data); }

  std::string sourceDir() const { return source.string() + "/"; }
};

// Remembers everything a run says; answers the packaging question with `pack`.
struct RecordingObserver : pipeline::RunObserver {
  bool pack = false;
  int packQuestions = 0;
  pipeline::PackQuestion lastPackQuestion;
  std::vector<std::string> statuses;
  std::vector<std::pair<pipeline::MessageKind, std::string>> messages;
  std::vector<std::pair<int, int>> progressCalls;
  std::vector<std::string> phases;  // timed phases, in the order reported

  void status(const std::string& text) override { statuses.push_back(text); }
  void progress(int current, int total) override { progressCalls.emplace_back(current, total); }
  bool askPack(const pipeline::PackQuestion& question) override {
    ++packQuestions;
    lastPackQuestion = question;
    return pack;
  }
  void message(pipeline::MessageKind kind, const std::string& text) override { messages.emplace_back(kind, text); }
  void timed(const std::string& phase, double seconds) override {
    EXPECT_GE(seconds, 0.0) << phase;
    phases.push_back(phase);
  }

  bool saidStatus(const std::string& text) const {
    for (const std::string& s : statuses)
      if (s == text) return true;
    return false;
  }
};

}  // namespace fc::test
