// fretwerk-cli render: a sound file through the effect chain, headless. The window's
// logic (TForm1 over an engine and a window-thread loop) is set up as the program
// does, then the input is fed block by block through one of the chain's drivers.
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/linux_system_services.h"
#include "app/presets/preset_operations.h"
#include "app/session_end.h"
#include "app/startup/headless_start.h"
#include "app/startup/headless_window.h"
#include "audio/chain_io.h"
#include "audio/realtime_chain.h"
#include "audio/realtime_shared.h"
#include "audio/virtual/recording_output_library.h"
#include "audio/wave_in_chain.h"
#include "audio/wave_input.h"
#include "cli/commands.h"
#include "cli/control_setting.h"
#include "cli/render_stream.h"
#include "cli/riff_command.h"
#include "core/denormals.h"
#include "engine/chain.h"
#include "engine/engine.h"
#include "files/io_error.h"
#include "files/sound_file.h"
#include "ui/clock.h"
#include "ui/scripted_dialogs.h"
#include "ui/window_loop.h"

namespace fw::cli {
namespace {

class RenderError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct RenderOptions {
  std::string driver = "wavein";
  std::optional<int> block;
  int rate = 22050;
  std::string presetDir;
  std::string preset;
  std::vector<std::string> settings;
  std::optional<int> cardType;
  std::optional<std::uint64_t> seed;
  std::string input;
  std::string output;
};

// One line on stderr: notes never stop the render.
void Note(const std::string& text) { std::cerr << "fretwerk-cli render: note: " << text << "\n"; }

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

// --preset-dir, else the program directory as the window and run find it: beside the
// program, the user's data directory, the installed share directory.
std::string ChooseProgramDirectory(const RenderOptions& options) {
  std::error_code error;
  if (!options.presetDir.empty()) {
    if (std::filesystem::is_directory(options.presetDir, error)) return options.presetDir;
    throw RenderError(std::filesystem::exists(options.presetDir, error)
                          ? "preset directory " + options.presetDir + " is not a directory"
                          : "preset directory not found: " + options.presetDir);
  }
  const ProgramDirectoryInputs inputs = CurrentProgramDirectoryInputs();
  const std::string directory = ResolveProgramDirectory(inputs);
  if (std::filesystem::exists(directory + "clear.pre", error)) return directory;
  throw RenderError("the fixed presets (clear.pre) are in none of " + ProgramDirectoryPlaces(inputs) +
                    "; name their directory with --preset-dir DIR");
}

// The wave-input device of a render: buffers come back through AddBuffer.
class RenderWaveInput final : public WaveInput {
 public:
  std::int32_t AddBuffer(WaveInHeader* header, std::uint32_t headerSize) noexcept override {
    (void)header, (void)headerSize;
    ++buffersReturned;
    return 0;
  }
  long long buffersReturned = 0;
};

// Everything a render drives: the window's logic over its engine, and the output
// library its blocks go to.
struct RenderWindow {
  RecordingOutputLibrary output;
  HeadlessWindow headless;
  Engine& engine;
  TForm1& form;
  ui::WindowLoop& loop;
  ui::FakeClock& clock;
  std::size_t messagesShown = 0;

  RenderWindow(const std::string& programDirectory, std::size_t outputSamples)
      : output(outputSamples),
        headless(output, programDirectory),
        engine(*headless.engine),
        form(*headless.form),
        loop(headless.loop),
        clock(headless.clock) {}

  // Message boxes become notes; an error display ends the render.
  void ReportDialogs() {
    const ui::ScriptedDialogs& dialogs = headless.dialogs;
    for (; messagesShown < dialogs.messages.size(); ++messagesShown) {
      Note("message: " + OneLine(dialogs.messages[messagesShown]));
    }
    if (!dialogs.errors.empty()) throw RenderError(OneLine(dialogs.errors.front()));
  }
};

// --preset FILE: "load preset by name" on the full path (or a name in the preset
// directory, with or without ".pre").
void LoadPresetFile(TForm1& form, const std::string& preset) {
  if (const std::string problem = PresetArgumentProblem(form, preset); !problem.empty()) {
    throw RenderError(problem);
  }
  if (const std::string warning = PresetArgumentWarning(form, preset); !warning.empty())
    std::cerr << "fretwerk-cli render: warning: " << warning << "\n";
  LoadPresetFromPath(form, ResolvePresetArgument(form, preset));
}

// The start-up of the headless window, before any --set: the activation sequence
// with the preset directory as the program directory, the sample rate, then the
// preset. The start-up and preset features plug in here.
void PrepareForm(RenderWindow& window, const RenderOptions& options) {
  window.headless.Start(options.rate);
  window.ReportDialogs();
  if (!options.preset.empty()) window.form.RunCommand([&] { LoadPresetFile(window.form, options.preset); });
  window.ReportDialogs();
}

// Feeds the input in blocks of n (the last one zero-padded) and keeps, from each
// block's output, the frames that stand for input samples.
template <class ProcessBlock>
void FeedBlocks(RenderWindow& window, EngineRateInput& input, FileRateOutput& output, int n, int channels,
                ProcessBlock process) {
  std::vector<std::int16_t> block(static_cast<std::size_t>(n));
  std::vector<std::int16_t> out;
  const double msPerSample = 1000.0 / window.engine.params.EngineSampleRate.load();
  std::int64_t clockMs = 0;
  for (std::size_t start = 0;;) {
    std::fill(block.begin(), block.end(), std::int16_t{0});
    const std::size_t take = input.Take(block.data(), block.size());
    if (take == 0) return;
    out.clear();
    process(block, out);
    output.Put(out.data(), std::min(take, out.size() / static_cast<std::size_t>(channels)));
    // The window thread runs between blocks: the 0x1400 handler lowers the volume
    // before the next block, and timers see the block's duration pass.
    start += take;
    const auto endMs = static_cast<std::int64_t>(static_cast<double>(start) * msPerSample);
    window.loop.AdvanceBy(endMs - clockMs, window.clock);
    clockMs = endMs;
  }
}

void RenderWaveIn(RenderWindow& window, EngineRateInput& input, FileRateOutput& output, int n) {
  Engine& engine = window.engine;
  ChainIo& io = window.form.io;
  RenderWaveInput device;
  engine.params.WaveInBlockLength.store(n);
  io.waveIn.device = &device;
  io.waveIn.running.store(1);
  window.output.setup_b_size(n);
  WaveInBufferArea& area = io.waveIn.area;
  const int buffers = WaveInBufferArea::kBufferCount * WaveInBufferArea::kBufferLength / n;
  int next = 0;
  FeedBlocks(window, input, output, n, 1, [&](const std::vector<std::int16_t>& block, auto& out) {
    const int b = next;
    next = next + 1 == buffers ? 0 : next + 1;
    std::int16_t* data = area.samples + static_cast<std::ptrdiff_t>(b) * n;
    std::copy(block.begin(), block.end(), data);
    WaveInHeader& header = area.headers[b % WaveInBufferArea::kBufferCount];
    header.data = data;
    header.bufferLength = static_cast<std::uint32_t>(n * 2);
    header.bytesRecorded = header.bufferLength;
    header.user = static_cast<std::uintptr_t>(b);
    window.output.played.clear();
    ProcessWaveInBlock(engine, io, 0, MM_WIM_DATA, 0, &header, 0);
    out.assign(window.output.played.begin(), window.output.played.end());
  });
  io.waveIn.running.store(0);
  io.waveIn.device = nullptr;
}

void RenderDirect(RenderWindow& window, EngineRateInput& input, FileRateOutput& output, int n) {
  Engine& engine = window.engine;
  FeedBlocks(window, input, output, n, 1, [&](const std::vector<std::int16_t>& block, auto& out) {
    out = block;
    ProcessDirectBlock(engine, n, out.data());
  });
}

// The realtime driver writes stereo frames, unless card type 1 has it take 256 mono
// samples.
int RealtimeChannels(const Engine& engine, int n) {
  return n == 128 || engine.params.CardType.load() != 1 ? 2 : 1;
}

// The shared block holds 128 stereo frames (input on the left, 0 on the right) or
// 256 mono samples; the output is what the driver writes back into it.
void RenderRealtime(RenderWindow& window, EngineRateInput& input, FileRateOutput& output, int n) {
  Engine& engine = window.engine;
  engine.params.RealtimeBlockLength.store(n);
  const bool stereoInput = n == 128;
  const int channels = RealtimeChannels(engine, n);
  RealtimeShared& shared = window.form.io.realtime;
  FeedBlocks(window, input, output, n, channels, [&](const std::vector<std::int16_t>& block, auto& out) {
    for (int i = 0; i < n; ++i) {
      if (stereoInput) {
        shared.SetSample(2 * i, block[static_cast<std::size_t>(i)]);
        shared.SetSample(2 * i + 1, 0);
      } else {
        shared.SetSample(i, block[static_cast<std::size_t>(i)]);
      }
    }
    shared.ready.store(1);
    RealtimeProcessSharedBlock(engine, shared);
    const int written = channels == 2 ? 256 : n;
    for (int i = 0; i < written; ++i) out.push_back(shared.Sample(i));
  });
}

int DefaultBlock(const std::string& driver, const Engine& engine) {
  if (driver == "direct") return 184;
  if (driver == "realtime") return engine.params.RealtimeBlockLength.load();
  return 220;
}

constexpr int kMaxBlock = 1001;

int ChooseBlock(const RenderOptions& options, const Engine& engine) {
  if (!options.block) return DefaultBlock(options.driver, engine);
  const int requested = *options.block;
  if (options.driver == "realtime") {
    if (requested != 128 && requested != 256)
      throw RenderError("--block: the realtime driver takes 128 or 256");
    return requested;
  }
  const int limited = std::clamp(requested, 1, kMaxBlock);
  if (limited != requested)
    Note("--block " + std::to_string(requested) + " limited to " + std::to_string(limited));
  return limited;
}

// --set in order, then --card-type.
void ApplySettings(RenderWindow& window, const RenderOptions& options) {
  for (const std::string& setting : options.settings) {
    ApplyControlSetting(window.form, setting, Note);
    window.ReportDialogs();
  }
  if (options.cardType) {
    const int limited = std::clamp(*options.cardType, 0, 2);
    if (limited != *options.cardType) Note("--card-type limited to " + std::to_string(limited));
    window.engine.params.CardType.store(limited);
  }
}

void Render(const RenderOptions& options) {
  if (const std::string problem = OutputNameProblem(options.output); !problem.empty())
    throw RenderError(problem);
  const std::string presetDir = ChooseProgramDirectory(options);

  MonoSoundReader reader(options.input);
  for (const std::string& note : reader.Notes()) Note(note);
  // Room for the block the output library is handed, so playing never allocates.
  RenderWindow window(presetDir, kMaxBlock);
  Engine& engine = window.engine;

  // Seeded before the activation sequence, which fills the dither table from it.
  if (options.seed) engine.dither.random.Seed(*options.seed);
  PrepareForm(window, options);
  // From here a --set may have started a take: however the render ends, the take is
  // finished as its Stop button does.
  bool ended = false;
  try {
    ApplySettings(window, options);
    // A sound file at another rate goes to the engine rate and comes back at its own
    // rate, with its own length; a .raw file carries no rate and is taken as the engine's.
    const int rate = engine.params.EngineSampleRate.load();
    const int fileRate = reader.SampleRate() != 0 ? reader.SampleRate() : rate;
    std::cout << "rates: input " << fileRate << " Hz, engine " << rate << " Hz, output " << fileRate << " Hz"
              << std::endl;
    EngineRateInput input(reader, fileRate, rate);
    const int n = ChooseBlock(options, engine);
    const bool realtime = options.driver == "realtime";
    FileRateOutput output(options.output, realtime ? RealtimeChannels(engine, n) : 1, rate, fileRate);
    FlushDenormalsOnThisThread();  // as every thread that runs a driver does
    if (options.driver == "direct") {
      RenderDirect(window, input, output, n);
    } else if (realtime) {
      RenderRealtime(window, input, output, n);
    } else {
      RenderWaveIn(window, input, output, n);
    }
    ended = true;
    EndSession(window.form);
    window.ReportDialogs();
    output.Finish(input.FileFrames());
  } catch (...) {
    if (!ended) EndSession(window.form);
    throw;
  }
}

}  // namespace

void AddRenderCommand(CLI::App& app) {
  auto options = std::make_shared<RenderOptions>();
  CLI::App* render =
      app.add_subcommand("render", "Render a sound file through the effect chain (stereo is mixed to mono)");
  render->add_option("--driver", options->driver, "Chain driver")
      ->check(CLI::IsMember({"wavein", "direct", "realtime"}));
  render->add_option("--block", options->block, "Block length in samples (realtime: 128 or 256)");
  render
      ->add_option("--rate", options->rate,
                   "Engine sample rate (default 22050); a sound file at another rate is converted to it "
                   "and back")
      ->check(CLI::IsMember({22050, 44100}));
  render->add_option("--preset-dir", options->presetDir,
                     "Program directory holding the fixed presets (default: found as the window finds it)");
  render->add_option("--preset", options->preset, "Preset file to load");
  render->add_option("--set", options->settings, "Set a control: NAME=VALUE (repeatable, applied in order)");
  render->add_option("--card-type", options->cardType, "CardType: 0, 1 or 2");
  render->add_option("--seed", options->seed, "Seed of the dither generator");
  render
      ->add_option("INPUT", options->input,
                   "Input: .raw (16-bit little-endian at the engine rate) or a sound file")
      ->required();
  render->add_option("OUTPUT", options->output, "Output: .wav, .au, .flac, .ogg (by the name) or .raw")
      ->required();
  render->callback([options] {
    try {
      Render(*options);
    } catch (const SettingError& error) {
      // A wrong --set ends as it does in run and preset set.
      std::cerr << "fretwerk-cli render: " << OneLine(error.what()) << "\n";
      throw CLI::RuntimeError(2);
    } catch (const std::exception& error) {
      std::cerr << "fretwerk-cli render: " << OneLine(error.what()) << "\n";
      throw CLI::RuntimeError(1);
    }
  });
  AddRiffCommand(app);
}

}  // namespace fw::cli
