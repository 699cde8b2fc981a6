// Runs a fuzz target's input function once on each given file, and on every file inside each
// given folder, so the seed corpus checks the properties in every build, without libFuzzer. A
// violated property aborts with the file named just before it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Inputs(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const fs::path given(argv[i]);
    if (!fs::is_directory(given)) {
      inputs.push_back(given);
      continue;
    }
    std::vector<fs::path> inside;
    for (const fs::directory_entry& entry : fs::directory_iterator(given)) {
      if (entry.is_regular_file()) inside.push_back(entry.path());
    }
    std::sort(inside.begin(), inside.end());
    inputs.insert(inputs.end(), inside.begin(), inside.end());
  }
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<fs::path> inputs = Inputs(argc, argv);
  // An empty or mistyped corpus path must not pass as a clean replay.
  if (inputs.empty()) {
    std::fprintf(stderr, "usage: %s FILE_OR_FOLDER... (no input found)\n", argv[0]);
    return 2;
  }
  for (const fs::path& input : inputs) {
    std::fprintf(stderr, "replaying %s\n", input.string().c_str());
    std::ifstream in(input, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", input.string().c_str());
      return 1;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::fprintf(stderr, "%zu inputs replayed\n", inputs.size());
  return 0;
}
