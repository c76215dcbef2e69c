// A run as both front ends build it: the run over a browser and timers, its
// recorder over the harvest store, engines.ini read over the built-in engine
// rows, and the state store over the front end's settings controls. The
// window and brivano-run differ only in what they give it and in how they
// listen.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "files/file_interfaces.h"
#include "files/program_files.h"
#include "files/settings_store.h"
#include "search/engine_table.h"
#include "search/local_address.h"
#include "search/run_interfaces.h"
#include "search/search_run.h"
#include "store/store_recorder.h"
#include "visit/page_fetcher.h"
#include "visit/site_visits.h"

namespace brivano {

struct RunParts {
  RunHost& host;
  PageBrowser& browser;
  TimerFactory& timers;
  SettingsControls& settings;
  UserFeedback& feedback;  // the state save's boxes
  ProgramFiles files;
  EngineTable engines = DefaultEngineTable();  // before engines.ini
  NetworkLookups network;
  // The program its runs in the store go by.
  std::string program = "brivano";
  // Says what is wrong with the store (UTF-8), once.
  StoreRecorder::Report reportStore;
  std::function<int(int most)> randomSeconds;  // the run's; random when empty
  // Fetches the result sites' pages for 访问网站; none: no visits. It
  // outlives the wiring.
  PageFetcher* fetcher = nullptr;
  std::function<long long()> nowMs;  // a steady clock for the visits; the system's when empty
};

class RunWiring {
 public:
  explicit RunWiring(RunParts parts);
  ~RunWiring();
  RunWiring(const RunWiring&) = delete;
  RunWiring& operator=(const RunWiring&) = delete;

  SearchRun& Run() { return run_; }
  StoreRecorder& Recorder() { return recorder_; }
  StateStore& State() { return state_; }
  SiteVisits& Visits() { return visits_; }
  // What is wrong with engines.ini (UTF-8); empty when nothing is. The
  // built-in rows serve meanwhile.
  const std::string& EngineProblem() const { return engineProblem_; }

  // The run of this program a crash cut short, once (see StoreRecorder);
  // nothing when it had neither values nor pages.
  std::optional<UnfinishedRun> TakeCrashedRun();
  // Puts its values back into the buyer list, each with its page, for the
  // next run to go on with; returns the line to go on from.
  std::int32_t Recover(const UnfinishedRun& crashed);

 private:
  std::string engineProblem_;
  StoreRecorder recorder_;
  SearchRun run_;
  StateStore state_;
  SiteVisits visits_;
};

}  // namespace brivano
