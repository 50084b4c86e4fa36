#pragma once
// The effect parameter block read by the chain drivers. Every field is a relaxed
// 32-bit word: the window thread writes it, the audio side reads it on the next block.
// The switches say which stages the chain runs; every value a stage reads lives with
// that stage (src/tone, src/engine/*), so a stage is handed nothing but itself.
//
// The block is made of four groups so that each party can be handed only the words
// it owns: the stage switches and values (control handlers), the record hand-shake
// (the recorder), the file hand-shake (the file reader) and the driver configuration
// (the audio modes).
#include "core/word.h"

namespace fw {

// Gains, stage switches and the values the chain itself reads.
struct StageParams {
  FloatWord InputGain{1.0f};
  FloatWord LiveInputFactor{1.001f};
  FloatWord OutputGain{1.0f};
  FloatWord WavFileGain{1.0f};

  IntWord PreEqOn{0};
  IntWord PostEqOn{1};
  IntWord HiPassOn{0};
  IntWord HiPreOn{0};
  FloatWord SoftDistortionOn{0.0f};  // the chain tests it for equality with 1.0
  IntWord Fvc1On{0};
  IntWord DistortionType{0};
  IntWord LowBoostOn{0};
  IntWord TubeOn{0};
  IntWord LowPass2On{0};
  IntWord FlangerOn{1};
  IntWord EchoOn{0};
  IntWord ReverbOn{0};

  // State of the two window check boxes the drivers consult on every block
  // ("Effects" and "Record playing back wav file + live input"); their click
  // handlers keep these words in step so the audio side never touches a control.
  IntWord WavViaEffects{0};
  IntWord WriteWavLive{0};
};

// The record taps and the recorder.
struct RecordHandshake {
  IntWord RecordClean{0};
  IntWord RecordActive{0};
  IntWord RecordRingSize{0};
  IntWord RecordIndex{0};
  IntWord RecordFull{0};
};

// The file mix-in and the file reader.
struct FileHandshake {
  IntWord FileBlockCounter{0};
  IntWord FileRefillRequest{0};
  // Samples per refill, half the file buffer: set by the audio mode's start (11000 or
  // 11040), forced to 10240 by the file timers for the older card kinds. Window thread only.
  IntWord FileReadChunk{11000};
};

// What the audio mode sets up for the driver it runs.
struct DriverConfig {
  IntWord WaveInBlockLength{220};
  IntWord RealtimeBlockLength{128};
  IntWord CardType{0};
  // The engine sample rate: 22050 or 44100 (the equaliser designs and wave formats use it).
  IntWord EngineSampleRate{22050};
  // The WaveIn driver's overload latch: at most one overload reported until the
  // window has stepped the volume down and cleared it.
  IntWord OverloadLatch{0};
};

struct EngineParams : StageParams, RecordHandshake, FileHandshake, DriverConfig {};

}  // namespace fw
