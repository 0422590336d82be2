// Replays inputs through a fuzz target without libFuzzer, so that any compiler builds
// the targets and the test run checks their invariants on the seed corpus.
// Usage: fuzz_<name>_replay FILE|FOLDER...  (a folder's regular files, in name order)
// Every input is fed once to LLVMFuzzerTestOneInput; a broken invariant aborts. The
// closing line on stderr counts the inputs; no input at all is a failure, so that an
// empty or misplaced corpus cannot pass unseen.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size);

namespace {
bool ReadFile(const std::filesystem::path& Path, std::string& Bytes) {
  std::ifstream in(Path, std::ios::binary);
  if (!in) return false;
  Bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}
}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const fs::path arg(argv[i]);
    std::error_code ec;
    if (fs::is_directory(arg, ec)) {
      std::vector<fs::path> files;
      for (const fs::directory_entry& e : fs::directory_iterator(arg, ec))
        if (e.is_regular_file()) files.push_back(e.path());
      if (ec) {
        std::fprintf(stderr, "cannot list %s: %s\n", argv[i], ec.message().c_str());
        return 2;
      }
      std::sort(files.begin(), files.end());
      inputs.insert(inputs.end(), files.begin(), files.end());
    } else if (fs::is_regular_file(arg, ec)) {
      inputs.push_back(arg);
    } else {
      std::fprintf(stderr, "no such input: %s\n", argv[i]);
      return 2;
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "no inputs to replay\n");
    return 2;
  }
  size_t bytes = 0;
  std::string data;
  for (const fs::path& p : inputs) {
    if (!ReadFile(p, data)) {
      std::fprintf(stderr, "cannot read %s\n", p.c_str());
      return 2;
    }
    // A copy of exactly Size bytes, so that a read past the input shows under ASan.
    // An empty input still gets a valid pointer, as libFuzzer gives it.
    std::vector<uint8_t> copy(data.begin(), data.end());
    static uint8_t none = 0;
    LLVMFuzzerTestOneInput(copy.empty() ? &none : copy.data(), copy.size());
    bytes += data.size();
  }
  std::fprintf(stderr, "replayed %zu inputs (%zu bytes)\n", inputs.size(), bytes);
  return 0;
}
