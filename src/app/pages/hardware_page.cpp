// The "Hardware" page: the card type, the output device, the 44.1 kHz box, the IRQ
// and DMA choices of the ring-0 mode (hidden unless that mode is chosen) and the
// mail that sends the hardware report.
#include "app/form1.h"
#include "app/midi/midi_control.h"
#include "app/pages/pages.h"
#include "app/realtime/realtime_control.h"
#include "app/shell.h"
#include "app/web_links.h"

namespace fw {
namespace {

// The report is the mail's subject, as the mail program receives it.
void BitBtn4Click(TForm1& form) {
  if (form.platform.shell == nullptr) return;
  form.platform.shell->OpenMail(std::string(WebAddress(WebLink::Mail)), Realtime(form).hardwareReport);
}

}  // namespace

void BuildHardwareControls(TForm1& form) {
  RealtimeControl& rt = Realtime(form);
  auto& rate = form.AddCheckBox("CheckBox_AWE_44_1", "Hardware", "44.1 kHz (hi quality sound)");
  rate.SetEnabled(false);
  rate.OnClick = [&rt] { rt.CheckBox_AWE_44_1Click(); };
  form.AddComboBox("ComboBox_WDM", "Hardware").SetText("Default WDM Device");
  // The card type is chosen on the "REALTIME" page, beside Start.
  auto& card = form.AddRadioGroup("RadioGroup_NameOfSC", "REALTIME", " Your Sound Card Name ",
                                  {"Very Old Creative", "AWE32/64", "Any (SB Live, etc.)"}, 0, 3);
  card.OnClick = [&rt] { rt.RadioGroup_NameOfSCClick(); };
  auto& irq = form.AddRadioGroup("RadioGroup_IRQ", "Hardware", "IRQ",
                                 {"5", "7", "9", "10", "11", "12", "14", "15"}, 0, 3);
  irq.SetVisible(false);
  irq.OnClick = [&rt] { rt.RadioGroup_IRQClick(); };
  auto& dma8 = form.AddRadioGroup("RadioGroup_DMA8", "Hardware", "DMA 8 bit", {"0", "1", "3"}, 1);
  dma8.SetVisible(false);
  dma8.OnClick = [&rt] { rt.RadioGroup_DMA8Click(); };
  auto& dma16 = form.AddRadioGroup("RadioGroup_DMA16", "Hardware", "DMA 16 bit", {"5", "6", "7"}, 0);
  dma16.SetVisible(false);
  dma16.OnClick = [&rt] { rt.RadioGroup_DMA16Click(); };
  form.AddButton("BitBtn4", "Hardware", "Send Hardware Config to Author", ui::ButtonKind::Bitmap).OnClick =
      [&form] { BitBtn4Click(form); };
  form.AddButton(std::string(kMidiLearnButton), "Hardware", "MIDI Learn").OnClick = [&form] {
    BeginMidiLearn(form);
  };
  // Without ring-0 drivers "Any (SB Live, etc.)" is the only card type there is: it is
  // chosen now, as start-up would, so the controls that look at it agree from the start.
  if (!rt.Ring0Available()) card.SetItemIndex(2);
}

}  // namespace fw
