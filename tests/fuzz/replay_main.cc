// Runs a fuzzer's properties over the files given, without libFuzzer: the
// seed corpus and kept regression inputs become an ordinary test.
#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size);

namespace {

// All of `file`'s bytes.
std::vector<std::uint8_t> read_all(std::FILE* file) {
  std::vector<std::uint8_t> bytes;
  for (int c; (c = std::fgetc(file)) != EOF;)
    bytes.push_back(static_cast<std::uint8_t>(c));
  return bytes;
}

}  // namespace

#ifdef __wasi__
// The WebAssembly build's programs run under test in the page's own host,
// which gives a module neither arguments nor files: one input comes on
// standard input, and the test hands each file over so and checks the
// count of bytes that arrived.
int main() {
  std::vector<std::uint8_t> bytes = read_all(stdin);
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  std::printf("%zu bytes: passed\n", bytes.size());
  return 0;
}
#else
int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::FILE* file = std::fopen(argv[i], "rb");
    if (file == nullptr) {
      std::fprintf(stderr, "cannot open %s\n", argv[i]);
      return 1;
    }
    std::vector<std::uint8_t> bytes = read_all(file);
    std::fclose(file);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("%d passed, 0 failed\n", argc - 1);
  return 0;
}
#endif
