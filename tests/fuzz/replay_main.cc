// Runs a fuzzer's properties over the files given, without libFuzzer: the
// seed corpus and kept regression inputs become an ordinary test.
#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size);

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::FILE* file = std::fopen(argv[i], "rb");
    if (file == nullptr) {
      std::fprintf(stderr, "cannot open %s\n", argv[i]);
      return 1;
    }
    std::vector<std::uint8_t> bytes;
    for (int c; (c = std::fgetc(file)) != EOF;)
      bytes.push_back(static_cast<std::uint8_t>(c));
    std::fclose(file);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("%d passed, 0 failed\n", argc - 1);
  return 0;
}
