#pragma once
// fretwerk joined to the tests' JACK server as a user sets it up: library mode with the
// activation's designs, its ports left for the test to connect.
#include <memory>
#include <string>

#include "app/session.h"
#include "support/chain_setup.h"
#include "support/engine_fixture.h"
#include "support/fake_system_services.h"

namespace fw::test {

struct JackForm {
  SessionAudio audio;
  LiveAudio* live = nullptr;
  FakeSystemServices system;
  std::unique_ptr<FormFixture> f;

  // False, with the reason in `error`, when fretwerk could not join the server.
  bool Open(std::string& error) {
    LiveAudioChoice choice;
    choice.backend = "jack";
    choice.connectJackPorts = false;
    if (!audio.Open(AudioChoice{}, choice, "", error)) return false;
    live = audio.live.get();
    const Platform platform = SessionPlatform({nullptr, &system, nullptr}, audio);
    f = std::make_unique<FormFixture>(platform);
    Form().Group("RadioGroup_NameOfSC").SetItemIndex(2);
    DesignChainAsActivationWould(Form());
    return true;
  }

  TForm1& Form() { return *f->form; }

  // Start, then the half second the start sequence waits before it runs.
  void Start() {
    Form().Btn("Button_RUN_RT").Click();
    f->loop.AdvanceBy(500, f->clock);
  }
};

}  // namespace fw::test
