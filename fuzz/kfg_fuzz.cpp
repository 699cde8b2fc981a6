// Loads arbitrary .KFG files into an in-memory panel and saves them again. Properties: a short
// file changes nothing; the saved image equals the loaded one except where the re-display rules
// change a value on purpose (odd volt steps, TRaum's whole degrees); a channel without a known
// quantity makes the save fail with the conversion error instead of writing garbage.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/errors.h"
#include "core/operator.h"
#include "core/quantity_catalogue.h"
#include "fuzz/property.h"
#include "procedures/load_configuration.h"
#include "procedures/save_configuration.h"
#include "storage/kfg_file.h"

namespace {

using quorvex::fuzz::Fail;

class SilentOperator : public quorvex::Operator {
 public:
  void ShowStatus(std::string_view) override {}
  void MessageBox(std::string_view, std::string_view, quorvex::BoxIcon) override {}
  void SetWaitCursor(bool) override {}
  void ProcessPendingEvents() override {}
  void AddDebugLine(std::string_view) override {}
  std::optional<std::string> AskOpenFileName(const quorvex::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<std::string> AskSaveFileName(const quorvex::FileDialogRequest&) override {
    return std::nullopt;
  }
};

// One scratch folder for the whole run, removed again when the fuzzer exits. It lies in memory
// (/dev/shm) where there is such a folder: every run saves atomically, and the fsyncs of that
// save on a disk took longer than all the rest of a run together.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::error_code ignored;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ignored)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::string pattern = (base / "kfg_fuzz_XXXXXX").string();
    const char* made = mkdtemp(pattern.data());
    if (made == nullptr) Fail("no temporary folder");
    path_ = made;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

const std::string& Folder() {
  static const ScratchFolder folder;
  return folder.Path();
}

std::string Snapshot(const quorvex::ChannelPanel& panel) {
  std::string s;
  for (int n = 1; n <= 8; ++n) {
    for (const char* stem :
         {"ComboBox", "EinheitBox", "Edit", "BereichEdit", "MessEdit", "ELabel"}) {
      s += panel.Text(quorvex::ComponentName(stem, n)) + "|";
    }
  }
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const std::string in = Folder() + "/in.kfg";
  const std::string out = Folder() + "/out.kfg";
  {
    std::ofstream f(in, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }

  quorvex::MemoryPanel panel;
  for (int n = 1; n <= 8; ++n) {
    quorvex::FillQuantityList(panel, quorvex::ComponentName("ComboBox", n));
    quorvex::FillUnitList(panel, quorvex::ComponentName("EinheitBox", n));
    panel.SetText(quorvex::ComponentName("MessEdit", n), "1");
  }
  quorvex::AppContext ctx;
  ctx.texts = quorvex::EnglishTextSet();
  SilentOperator op;

  const std::string before = Snapshot(panel);
  try {
    quorvex::LoadKfgFile(panel, op, ctx, in);
  } catch (const quorvex::FileError& e) {
    if (size >= quorvex::kConfigImageSize) Fail("a full-length file failed to load");
    if (std::string(e.what()) != "Read beyond end of file") Fail("short file message");
    if (Snapshot(panel) != before) Fail("a short file changed the panel");
    return 0;
  }
  if (size < quorvex::kConfigImageSize) Fail("a short file loaded");

  bool everyQuantityKnown = true;
  for (int n = 1; n <= 8; ++n) {
    if (quorvex::QuantityName(data[quorvex::ChannelOffset(n)]).empty()) everyQuantityKnown = false;
  }
  try {
    quorvex::SaveKfgFile(panel, op, ctx, out);
  } catch (const quorvex::ConversionError&) {
    if (everyQuantityKnown) Fail("save failed although every channel has a quantity");
    return 0;
  }
  if (!everyQuantityKnown) Fail("saved a channel without quantity");

  const quorvex::ConfigImage saved = quorvex::ReadKfgImage(out);
  if (saved[0] != data[0]) Fail("KonfigByte changed");
  for (int n = 1; n <= 8; ++n) {
    const std::size_t at = quorvex::ChannelOffset(n);
    const bool volts = (data[0] >> (n - 1)) & 1;
    if (saved[at] != data[at]) Fail("GasByte changed");
    for (std::size_t k = at + 1; k <= at + 2; ++k) {
      // A volt step is 0.05 V but the display has one decimal: odd steps move to an even
      // neighbour, and 255 (12.75 V, shown as 12.8) wraps to 0 like any value past the byte.
      const int diff = (saved[k] - data[k]) & 0xFF;
      if (volts ? (saved[k] % 2 != 0 || (diff != 0 && diff != 1 && diff != 0xFF)) : diff != 0) {
        Fail("offset or range changed beyond the display's resolution");
      }
    }
    const int word = data[at + 3] << 8 | data[at + 4];
    const int savedWord = saved[at + 3] << 8 | saved[at + 4];
    if (quorvex::QuantityName(data[at]) == "TRaum") {
      // Tenths of a degree shown in whole degrees, halves away from zero; 6553.5 wraps.
      const int expected = ((word + 5) / 10 * 10) & 0xFFFF;
      if (savedWord != expected) Fail("TRaum word not the whole-degree value");
    } else if (savedWord != word) {
      Fail("measurement range word changed");
    }
  }
  return 0;
}
