// pipeline/RunObserver.h - how a check run talks to whoever started it.
//
// The run calls these from its own thread; a GUI forwards them to its UI
// thread (and waits for the answers), the CLI answers them directly.
#pragma once

#include <string>

#include "pipeline/PackReport.h"

namespace fc::pipeline {

// The message boxes a run may show, with their titles and icons:
enum class MessageKind {
  Information,  // "提示信息", information icon, OK (e.g. no data file of the date)
  Plain,        // no title of its own, OK (the query session's open failure)
  Error,        // a run that failed: its cause, error icon, OK
};

class RunObserver {
 public:
  virtual ~RunObserver() = default;
  // StateStr: every status text, as the run makes it.
  virtual void status(const std::string& text) = 0;
  // How far the run's current phase is: which listed file of how many it is
  // checking (1-based), then how many of the passed tables have had their
  // data rules answered (called from the rule threads, one call at a time),
  // then which archive of how many it is packing.
  virtual void progress(int current, int total) { (void)current; (void)total; }
  // How long one phase of the run took, for whoever measures runs: "listing"
  // (listing, archive intake, structure and date checks), "check KIND" (one
  // existing file's part of it), "copying" (a group's tables into lchkdir),
  // "session" (opening the query session), "rules KIND" (one table's data
  // rules) and "packing". Phases repeat per file and per group.
  virtual void timed(const std::string& phase, double seconds) { (void)phase; (void)seconds; }
  // "文件结构和数据检查完成,是否生成zip压缩文件?" with the checks' verdict
  // (question.text()) - true for Yes.
  virtual bool askPack(const PackQuestion& question) = 0;
  // A modal message; returns when the operator has closed it.
  virtual void message(MessageKind kind, const std::string& text) = 0;
  // After packing: what was written and what was not (an Information message by default).
  virtual void packed(const PackReport& report) { message(MessageKind::Information, PackSummaryText(report)); }
};

// A run nobody watches: it shows nothing and packs nothing.
class QuietObserver : public RunObserver {
 public:
  void status(const std::string&) override {}
  bool askPack(const PackQuestion&) override { return false; }
  void message(MessageKind, const std::string&) override {}
};

}  // namespace fc::pipeline
