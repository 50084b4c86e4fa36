// The "Record" page.
#include "app/form1.h"
#include "app/pages/pages.h"

namespace fw {
namespace {

void CheckBox_record_cleanClick(TForm1& form) {
  form.engine.params.RecordClean.store(form.Box("CheckBox_record_clean").Checked() ? 1 : 0);
}

// The chain reads this box on every block: record after the output conversion,
// with the played file, instead of before it.
void CheckBox_Write_WAV_LiveClick(TForm1& form) {
  form.engine.params.WriteWavLive.store(form.Box("CheckBox_Write_WAV_Live").Checked() ? 1 : 0);
}

}  // namespace

void BuildRecordControls(TForm1& form) {
  form.AddCheckBox("CheckBox_record_clean", "Record", "record clean").OnClick = [&form] {
    CheckBox_record_cleanClick(form);
  };
  form.AddCheckBox("CheckBox_Write_WAV_Live", "Record",
                   "Record playing back wav file +  live input (mic or line-in)")
      .OnClick = [&form] { CheckBox_Write_WAV_LiveClick(form); };
}

}  // namespace fw
