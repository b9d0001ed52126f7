// A fresh folder for one test, removed with everything in it when the test ends.
#ifndef TABLEMEND_TESTS_UNIT_SCRATCH_FOLDER_H
#define TABLEMEND_TESTS_UNIT_SCRATCH_FOLDER_H

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace tablemend {

struct ScratchFolder {
  std::filesystem::path path;

  ScratchFolder() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    do {
      path = std::filesystem::temp_directory_path() /
             ("tablemend-unit-" + std::to_string(random() % 1000000000));
    } while (!std::filesystem::create_directory(path));
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }

  std::string PathOf(std::string_view name) const { return (path / name).string(); }

  void Write(std::string_view name, std::string_view bytes) const {
    std::ofstream file(PathOf(name), std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  std::string Read(std::string_view name) const {
    std::ifstream file(PathOf(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
};

}  // namespace tablemend

#endif
