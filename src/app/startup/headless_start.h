#pragma once
// The start of a run without a window (fretwerk-cli render and run): the engine's
// start values, one activation of the main window (which loads "/clear.pre" from the
// program directory) and then, optionally, a preset chosen on the command line.
#include <string>

namespace fw {

class TForm1;

// preset: empty for none; a path, or a name in the program directory with or
// without ".pre" ("dist1", "solo1.pre"). Throws IoError when the default preset
// or the chosen one cannot be read.
void StartHeadless(TForm1& form, const std::string& preset);

// Where a preset named on the command line is looked for, in order.
std::string ResolvePresetArgument(const TForm1& form, const std::string& preset);

// Empty when the preset can be loaded; otherwise what is wrong, naming the files
// looked for (missing) or the directory given in place of a file.
std::string PresetArgumentProblem(const TForm1& form, const std::string& preset);

// Empty for a preset record; otherwise a warning that the file found is not one (a
// sound file, a text, an empty file) and loads as whatever its bytes say.
std::string PresetArgumentWarning(const TForm1& form, const std::string& preset);

}  // namespace fw
