// The Port menu's serial devices: the list in its order, a device chosen at
// once and kept in the preferences file, refused during a test, standing for
// the COM port unless a COMn entry names another, and reopened by itself
// when the same device comes back.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/control_names.h"
#include "core/serial_catalog.h"
#include "execution/run_sequencer.h"
#include "files/preferences_file.h"
#include "link/com_device.h"
#include "program/port_devices.h"
#include "support/run_setup.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

namespace fs = std::filesystem;

const SerialDevice kFtdi{"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K-if00-port0",
                         "/dev/ttyUSB1", "FTDI FT232R USB UART"};
const SerialDevice kAcm{"/dev/serial/by-id/usb-Arduino_Uno_8573-if00", "/dev/ttyACM0",
                        "Arduino Uno"};
const SerialDevice kBuiltIn{"/dev/ttyS0", "/dev/ttyS0", ""};

TEST(SerialCatalog, AdaptersByStableNameFirstThenBuiltInPorts) {
  const auto sorted = SortedDevices({kBuiltIn, kFtdi, kAcm});
  EXPECT_EQ(sorted, (std::vector<SerialDevice>{kAcm, kFtdi, kBuiltIn}));
  EXPECT_EQ(DeviceMenuText(kFtdi), "FTDI FT232R USB UART (ttyUSB1)");
  EXPECT_EQ(DeviceMenuText(kBuiltIn), "ttyS0");
  EXPECT_EQ(DeviceListLine(kFtdi),
            "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K-if00-port0\t/dev/ttyUSB1\tFTDI "
            "FT232R USB UART");
}

TEST(ComDevice, AComEntryWinsThenTheChosenDeviceThenTheBuiltInPort) {
  TempFolder folder;
  EXPECT_EQ(ComDevicePath(folder.path(), 2), "/dev/ttyS1");
  EXPECT_EQ(ComDevicePath(folder.path(), 2, kFtdi.StableName), kFtdi.StableName);
  fs::create_symlink("/dev/null", folder.path() / "COM2");
  EXPECT_EQ(ComDevicePath(folder.path(), 2, kFtdi.StableName), folder.path() / "COM2");
}

class PortDevices : public ::testing::Test {
 protected:
  PortDevices() {
    ApplyConfigurationDefaults(p.state);
    p.state.PortNumber = 0;
    p.Wire();
    QuietTimers(p.ctx);
    WriteFlatCell(p.ctx);
  }
  TestProgram p;
};

TEST_F(PortDevices, AChoiceTakesEffectAtOnceAndIsKept) {
  ChooseSerialDevice(p.ctx, kFtdi.StableName);
  // Simulation becomes COM1, the device stands for it, the port reopened
  // without a restart and RfOff sent as Reset Comms sends it.
  EXPECT_EQ(p.state.PortNumber, 1);
  EXPECT_EQ(p.port.chosenDevice, kFtdi.StableName);
  EXPECT_TRUE(p.port.IsOpen());
  EXPECT_FALSE(p.port.opened.empty());
  EXPECT_TRUE(p.op.messages.empty());
  // Kept in the preferences file, read back at a start; MZ4800.INI keeps
  // the port number (now COM1) and nothing of the device.
  EXPECT_EQ(ReadPreferences(p.folder.path() / kPreferencesFileName).PortDevice, kFtdi.StableName);
  const std::string ini = ReadFile(p.folder.path() / "MZ4800.INI");
  EXPECT_EQ(ini.find("FTDI"), std::string::npos);
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = ini.find("\r\n", at)) != std::string::npos; at = end + 2) {
    lines.push_back(ini.substr(at, end - at));
  }
  ASSERT_EQ(lines.size(), 104u);
  EXPECT_EQ(lines[13], "1");  // line 14, the port number
}

TEST_F(PortDevices, RefusedDuringATest) {
  p.state.PortNumber = 1;
  p.port.Open(true);
  FillStandardPanel(p.ctx, {});
  Button1MouseDown(p.ctx);
  ASSERT_EQ(p.state.TestRunning, 1);
  const auto opens = p.port.opened.size();
  ChooseSerialDevice(p.ctx, kAcm.StableName);
  EXPECT_EQ(p.op.Texts().back(), "Stop the test before changing the port.");
  EXPECT_TRUE(p.state.Prefs.PortDevice.empty());
  EXPECT_TRUE(p.port.chosenDevice.empty());
  EXPECT_EQ(p.port.opened.size(), opens);
  EXPECT_FALSE(fs::exists(p.folder.path() / kPreferencesFileName));
}

TEST_F(PortDevices, ADeviceThatCannotBeOpenedSaysWhy) {
  p.port.openError = "Cannot open /dev/ttyUSB1: permission denied.";
  ChooseSerialDevice(p.ctx, kFtdi.StableName);
  EXPECT_EQ(p.op.Texts().back(), "Cannot open /dev/ttyUSB1: permission denied.");
  // The choice stays, for when the operator has fixed it.
  EXPECT_EQ(p.state.Prefs.PortDevice, kFtdi.StableName);
}

TEST_F(PortDevices, TheSameDeviceBackIsReopenedByItself) {
  ChooseSerialDevice(p.ctx, kFtdi.StableName);
  ChosenDeviceWatch watch;
  watch.Look(p.ctx, true);
  const auto opens = p.port.opened.size();
  // Pulled out: the watch does nothing (the lost instrument is reported by
  // the link supervision as always).
  p.port.Open(false);
  watch.Look(p.ctx, false);
  watch.Look(p.ctx, false);
  EXPECT_EQ(p.port.opened.size(), opens);
  // Back: reopened once, and the lamps show it at once.
  p.state.LinkUp = 0;
  p.controls.SetColour(ctl::LampComms, kRed);
  watch.Look(p.ctx, true);
  EXPECT_EQ(p.port.opened.size(), opens + 1);
  EXPECT_TRUE(p.port.IsOpen());
  EXPECT_EQ(p.state.LinkUp, 1);
  EXPECT_EQ(p.controls.ColourOf(ctl::LampComms), kButtonFace);
  EXPECT_FALSE(p.controls.Visible(ctl::ResetComms));
  watch.Look(p.ctx, true);
  EXPECT_EQ(p.port.opened.size(), opens + 1);
}

TEST_F(PortDevices, NoReopenWithoutAChosenDeviceOrDuringATest) {
  ChosenDeviceWatch watch;
  p.state.PortNumber = 1;
  watch.Look(p.ctx, false);
  watch.Look(p.ctx, true);  // a COMn link back, no device chosen: as the design
  EXPECT_TRUE(p.port.opened.empty());

  ChooseSerialDevice(p.ctx, kFtdi.StableName);
  FillStandardPanel(p.ctx, {});
  Button1MouseDown(p.ctx);
  ASSERT_EQ(p.state.TestRunning, 1);
  const auto opens = p.port.opened.size();
  watch.Look(p.ctx, false);
  watch.Look(p.ctx, true);
  EXPECT_EQ(p.port.opened.size(), opens);
}

}  // namespace
}  // namespace mz::test
