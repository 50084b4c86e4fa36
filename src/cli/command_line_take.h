#pragma once
// run --record FILE: a take of what the player hears (or the dry input), started as
// the Record page starts one. An AU name is recorded as it stands; a WAV name is
// recorded as AU beside it and converted when the session has finished the take. A
// name that exists gets a number instead of being replaced.
#include <string>

namespace fw {
class TForm1;
}

namespace fw::cli {

class CommandLineTake {
 public:
  // Refuses (with the reason) a name that is neither .au nor .wav.
  static std::string NameProblem(const std::string& file);

  // Sets the record-clean box, the name and clicks Start Record. False when the take
  // did not start.
  bool Start(TForm1& form, const std::string& file, bool clean);
  // After the session has finished the take: a WAV take is written from it. Returns
  // the problem, empty when the file is complete.
  std::string Finish();

  // The file the user gets.
  const std::string& File() const { return file_; }

 private:
  std::string file_;
  std::string recorded_;  // the AU file the Record page writes
};

// The status bar's "Recorded=N" with its unit and the file: "Recorded=N samples
// (S s) to FILE"; any other text as it stands.
std::string StatusWithUnits(const TForm1& form, const std::string& status);

}  // namespace fw::cli
