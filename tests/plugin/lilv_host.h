#pragma once
// A small LV2 host over lilv, loading the plugin the way hosts do: the world finds the
// bundle in the build tree, and an instance runs with a URID map, a log and, when the
// test asks for one, a worker that runs each job at once or when the test says so.
#include <lilv/lilv.h>
#include <lv2/log/log.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace fw::test {

class LilvHostWorld {
 public:
  LilvHostWorld();
  ~LilvHostWorld();
  LilvHostWorld(const LilvHostWorld&) = delete;
  LilvHostWorld& operator=(const LilvHostWorld&) = delete;

  LilvWorld* world = nullptr;
  const LilvPlugin* plugin = nullptr;  // nullptr when the bundle was not found
  LV2_URID_Map map{};
  LV2_URID_Unmap unmap{};

 private:
  std::map<std::string, LV2_URID> ids_;
  std::vector<std::string> uris_;
  friend LV2_URID MapUri(LV2_URID_Map_Handle, const char*);
  friend const char* UnmapUri(LV2_URID_Unmap_Handle, LV2_URID);
};

enum class Worker { None, Immediate, Deferred };

// Host samples are 16-bit values over 32768, so a render compares exactly.
struct Played {
  std::vector<std::int16_t> left;
  std::vector<std::int16_t> right;
};

class PluginHost {
 public:
  PluginHost(LilvHostWorld& world, double rate, Worker worker = Worker::Immediate);
  ~PluginHost();
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  bool Loaded() const { return instance_ != nullptr; }
  void Set(const std::string& symbol, float value) { values_.at(Index(symbol)) = value; }
  float Get(const std::string& symbol) const { return values_.at(Index(symbol)); }

  // One run() over input[0..frames), the outputs appended to played.
  void Run(const float* input, std::uint32_t frames, Played& played);
  // The whole input in host blocks of random length (1 to 4096); before each block,
  // beforeBlock(first sample of the block) may move ports.
  template <class BeforeBlock>
  Played Play(const std::vector<std::int16_t>& input, std::mt19937& random, BeforeBlock beforeBlock);
  Played Play(const std::vector<std::int16_t>& input, std::mt19937& random) {
    return Play(input, random, [](std::size_t) {});
  }
  void RunDeferredWork();

  LilvState* Save();
  void Restore(const LilvState* state);
  void LoadPreset(const std::string& name);

  std::string log;  // what the plugin wrote to the host's log
  // run() inside the allocation and lock detector's scope.
  bool watchRealtime = false;

 private:
  std::uint32_t Index(const std::string& symbol) const;

  LilvHostWorld& world_;
  LilvInstance* instance_ = nullptr;
  Worker worker_;
  LV2_Log_Log logFeature_{};
  LV2_Worker_Schedule schedule_{};
  std::vector<LV2_Feature> featureData_;
  std::vector<const LV2_Feature*> features_;
  // Deferred jobs, each its size and bytes, in room reserved up front: scheduling
  // runs inside run() and may not allocate.
  std::vector<std::uint8_t> deferred_ = std::vector<std::uint8_t>(1 << 16);
  std::size_t deferredUsed_ = 0;
  std::vector<float> values_;  // one value per port; audio ports use the buffers below
  std::vector<float> input_, left_, right_;

  friend LV2_Worker_Status ScheduleWork(LV2_Worker_Schedule_Handle, uint32_t, const void*);
  friend int HostLog(LV2_Log_Handle, LV2_URID, const char*, va_list);
  friend void SetPortValue(const char*, void*, const void*, uint32_t, uint32_t);
  friend const void* GetPortValue(const char*, void*, uint32_t*, uint32_t*);
};

template <class BeforeBlock>
Played PluginHost::Play(const std::vector<std::int16_t>& input, std::mt19937& random,
                        BeforeBlock beforeBlock) {
  Played played;
  std::uniform_int_distribution<std::uint32_t> length(1, 4096);
  std::vector<float> block;
  for (std::size_t start = 0; start < input.size();) {
    const std::uint32_t n =
        std::min<std::uint32_t>(length(random), static_cast<std::uint32_t>(input.size() - start));
    beforeBlock(start);
    block.resize(n);
    for (std::uint32_t i = 0; i < n; ++i) block[i] = static_cast<float>(input[start + i]) / 32768.0f;
    Run(block.data(), n, played);
    start += n;
  }
  return played;
}

}  // namespace fw::test
